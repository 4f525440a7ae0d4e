#pragma once
// How dialog data exchange reads an integer that the user typed. Platform-free, so that the
// host tests check the same rule that the dialogs apply.
#include <cctype>
#include <cstdint>
#include <optional>
#include <string_view>

// Optional white space, optional sign, digits, optional white space. Anything else, or a
// value outside 32 bits, is not a number.
inline std::optional<int32_t> ParseDialogInt(std::string_view text) {
    std::size_t at = 0;
    const auto space = [&] {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    };
    space();
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    const std::size_t digits = at;
    int64_t value = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
        value = value * 10 + (text[at++] - '0');
        if (value > int64_t(INT32_MAX) + 1) return std::nullopt;
    }
    if (at == digits) return std::nullopt;
    space();
    if (at != text.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return int32_t(value);
}
