#pragma once
// A font object in the shape of the platform's standard OLE font: a face name, a
// size in points and a weight, with the GDI font made from them on demand. Controls
// that share one font hold the same object (std::shared_ptr), never a copy.

#include "UniqueHandle.h"

#include <string>

namespace win {

class StdFont {
public:
    static constexpr LONG kNormal = FW_NORMAL;
    static constexpr LONG kBold = FW_BOLD;

    StdFont(std::string name, double points, LONG weight = kNormal);

    [[nodiscard]] const std::string& Name() const noexcept { return m_name; }
    void Name(std::string name);
    [[nodiscard]] double Size() const noexcept { return m_points; }
    void Size(double points);
    [[nodiscard]] LONG Weight() const noexcept { return m_weight; }
    void Weight(LONG weight);

    // The GDI font for the screen's resolution, made on first use and again after
    // a property changed. Owned by this object; 0 only if the system refused it.
    [[nodiscard]] HFONT hFont() const;

    // The LOGFONT the GDI font is made from, at the given resolution.
    [[nodiscard]] LOGFONTA LogFont(int dpiY) const;

private:
    std::string m_name;
    double m_points;
    LONG m_weight;
    mutable unique_hfont m_font;
};

}  // namespace win
