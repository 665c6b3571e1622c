#include "StdFont.h"

#include "Int32Math.h"
#include "Units.h"

#include <cstring>

namespace win {

StdFont::StdFont(std::string name, double points, LONG weight)
    : m_name(std::move(name)), m_points(points), m_weight(weight) {}

void StdFont::Name(std::string name) {
    m_name = std::move(name);
    m_font.reset();
}

void StdFont::Size(double points) {
    m_points = points;
    m_font.reset();
}

void StdFont::Weight(LONG weight) {
    m_weight = weight;
    m_font.reset();
}

LOGFONTA StdFont::LogFont(int dpiY) const {
    LOGFONTA lf{};
    // A negative height asks for the character height (em size) rather than the
    // cell height, which is how point sizes are defined. Rounding the negated size,
    // not negating the rounded one, keeps a height of -2^31 from overflowing.
    lf.lfHeight = RoundHalfEven(-(m_points * dpiY / 72.0));
    lf.lfWeight = m_weight;
    lf.lfCharSet = ANSI_CHARSET;
    std::strncpy(lf.lfFaceName, m_name.c_str(), LF_FACESIZE - 1);
    return lf;
}

HFONT StdFont::hFont() const {
    if (!m_font) {
        const LOGFONTA lf = LogFont(ScreenDpi().y);
        m_font.reset(::CreateFontIndirectA(&lf));
    }
    return m_font.get();
}

}  // namespace win
