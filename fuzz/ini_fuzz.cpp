// The INI reader and writer on any bytes: neither fails, a value written
// reads back as the profile services give it, and every other line of the
// file is kept byte for byte.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/ini.h"

namespace {

std::vector<std::string_view> LinesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        lines.push_back(text.substr(0, nl == std::string_view::npos ? text.size() : nl + 1));
        text.remove_prefix(lines.back().size());
    }
    return lines;
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// A name the profile services can store and find again.
bool Storable(const std::string& name, char forbidden) {
    if (name.empty() || Blank(name.front()) || Blank(name.back())) return false;
    for (char c : name)
        if (c == '\0' || c == '\n' || c == '\r' || c == forbidden) return false;
    return name.front() != '[' && name.front() != ';';
}

// What a read gives of a stored value: blanks around it and one pair of
// enclosing quotes dropped.
std::string AsRead(std::string value) {
    std::size_t b = 0, e = value.size();
    while (b < e && Blank(value[b])) ++b;
    while (e > b && Blank(value[e - 1])) --e;
    value = value.substr(b, e - b);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

// The old line as it stands in the new file: a last line without a line end
// gets one when something is added after it.
bool Kept(std::string_view old, std::string_view now) {
    if (now == old) return true;
    if (old.back() == '\n' || now.substr(0, old.size()) != old) return false;
    const std::string_view end = now.substr(old.size());
    return end == "\r\n" || end == "\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string section = in.ConsumeRandomLengthString(40);
    const std::string key = in.ConsumeRandomLengthString(40);
    const std::string value = in.ConsumeRandomLengthString(200);
    const std::size_t buffer = in.ConsumeIntegralInRange<std::size_t>(0, 2048);
    const std::string content = in.ConsumeRemainingBytesAsString();

    const std::string before = qm::ini::Read(content, section, key, buffer);
    if (buffer > 0 && before.size() > buffer - 1) std::abort();

    const std::string after = qm::ini::Write(content, section, key, value);
    bool plainValue = true;
    for (char c : value)
        if (c == '\0' || c == '\n' || c == '\r') plainValue = false;
    if (!Storable(section, ']') || !Storable(key, '=') || !plainValue) return 0;
    if (qm::ini::Read(after, section, key, value.size() + 2) != AsRead(value)) std::abort();

    // The files differ in one place only: at most one old line (the entry
    // rewritten) gives way to at most two new ones (an entry, and a section
    // before it); every other line is kept byte for byte.
    const std::vector<std::string_view> old = LinesOf(content), now = LinesOf(after);
    std::size_t same = 0, tail = 0;
    while (same < old.size() && same < now.size() && Kept(old[same], now[same])) ++same;
    while (tail < old.size() - same && tail < now.size() - same &&
           Kept(old[old.size() - 1 - tail], now[now.size() - 1 - tail]))
        ++tail;
    if (old.size() - same - tail > 1 || now.size() - same - tail > 2) std::abort();
    return 0;
}
