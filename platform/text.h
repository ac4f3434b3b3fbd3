// Byte-string helpers.  Texts are ANSI bytes; letter case folds ASCII letters
// only, so high bytes such as 0xB7 pass through untouched.
#pragma once

#include <string>
#include <string_view>

namespace qm {

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
inline char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string ToLowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

inline std::string ToUpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = UpperAscii(c);
    return out;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

inline bool ContainsNoCase(std::string_view text, std::string_view pattern) {
    return ToLowerAscii(text).find(ToLowerAscii(pattern)) != std::string::npos;
}

}  // namespace qm
