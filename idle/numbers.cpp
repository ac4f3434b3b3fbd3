#include "idle/numbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

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
    // The text is checked above to be plain decimal, so strtod reads exactly
    // it (the program never leaves the "C" locale).  std::from_chars would do
    // the same but links a large piece of the runtime into the executable.
    const std::string number(text.substr(mantissa, end - mantissa));
    // Too small rounds to 0; too large reads as infinity and cannot be held.
    const double value = std::strtod(number.c_str(), nullptr);
    Scan scan;
    scan.length = end;
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
