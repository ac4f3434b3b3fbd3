#include "idle/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace qm::idle {
namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }
bool Digit(char c) { return c >= '0' && c <= '9'; }

// The longest number at the start of `text` (no blanks before it): its
// value and its length, or a length of 0 when there is none.
struct Scan {
    double value = 0;
    std::size_t length = 0;
    bool overflow = false;
};

Scan ScanNumber(std::string_view text) {
    std::size_t at = 0;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    const std::size_t mantissa = at;
    std::size_t digits = 0;
    while (at < text.size() && Digit(text[at])) ++at, ++digits;
    if (at < text.size() && text[at] == '.') {
        ++at;
        while (at < text.size() && Digit(text[at])) ++at, ++digits;
    }
    if (digits == 0) return {};
    std::size_t end = at;
    // An exponent counts only when it has digits: "1e" is 1 followed by "e".
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t e = at + 1;
        if (e < text.size() && (text[e] == '-' || text[e] == '+')) ++e;
        if (e < text.size() && Digit(text[e])) {
            while (e < text.size() && Digit(text[e])) ++e;
            end = e;
        }
    }
    double value = 0;
    const std::from_chars_result r =
        std::from_chars(text.data() + mantissa, text.data() + end, value, std::chars_format::general);
    Scan scan;
    scan.length = end;
    if (r.ec == std::errc::result_out_of_range) {
        // Too small rounds to 0; too large cannot be held.
        const double magnitude = std::strtod(std::string(text.substr(mantissa, end - mantissa)).c_str(), nullptr);
        if (std::isinf(magnitude)) scan.overflow = true;
        value = 0;
    }
    if (!std::isfinite(value)) scan.overflow = true;
    scan.value = negative ? -value : value;
    return scan;
}

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && Blank(text[at])) ++at;
    return at;
}

}  // namespace

std::optional<double> StrictNumber(std::string_view text) {
    const std::size_t start = SkipBlanks(text, 0);
    const Scan scan = ScanNumber(text.substr(start));
    if (scan.length == 0 || scan.overflow) return std::nullopt;
    if (SkipBlanks(text, start + scan.length) != text.size()) return std::nullopt;
    return scan.value;
}

std::optional<double> LeadingNumber(std::string_view text) {
    const Scan scan = ScanNumber(text.substr(SkipBlanks(text, 0)));
    if (scan.overflow) return std::nullopt;
    return scan.value;
}

std::string NumberText(double value) {
    value += 0.0;  // no "-0"
    if (std::trunc(value) == value && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

std::optional<std::string> PlusOne(std::optional<double> number) {
    if (!number || !std::isfinite(*number + 1)) return std::nullopt;
    return NumberText(*number + 1);
}

}  // namespace qm::idle
