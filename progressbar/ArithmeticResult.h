#pragma once
// The arithmetic errors of a progress bar's range and paint, and a value-or-error
// result that carries them back to the caller instead of an exception.

#include <optional>
#include <variant>

enum class ArithmeticError { Overflow, DivisionByZero, InvalidOperation };

template <typename T>
class ArithmeticResult {
public:
    ArithmeticResult(T value) noexcept : m_value(value) {}
    ArithmeticResult(ArithmeticError error) noexcept : m_error(error) {}

    [[nodiscard]] bool has_value() const noexcept { return !m_error; }
    explicit operator bool() const noexcept { return has_value(); }
    // Meaningful only when has_value(); a default value otherwise.
    [[nodiscard]] const T& operator*() const noexcept { return m_value; }
    [[nodiscard]] const T* operator->() const noexcept { return &m_value; }
    // Meaningful only when !has_value().
    [[nodiscard]] ArithmeticError error() const noexcept { return m_error.value_or(ArithmeticError{}); }

private:
    T m_value{};
    std::optional<ArithmeticError> m_error;
};

// Success or the error that stopped an operation.
using ArithmeticStatus = ArithmeticResult<std::monostate>;

[[nodiscard]] inline ArithmeticStatus Succeeded() noexcept {
    return std::monostate{};
}
