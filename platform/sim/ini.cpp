#include "platform/sim/ini.h"

#include <string_view>
#include <vector>

#include "platform/text.h"

namespace qm::ini {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// One line of the file: where it starts, its text without the line end, and
// where the next line starts.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;   // end of the text, before CR LF / LF
    std::size_t next = 0;  // start of the following line
    enum Kind { Other, Section, Entry } kind = Other;
    std::string_view name;   // section name or entry key
    std::string_view value;  // entry value, untrimmed
};

std::vector<Line> Parse(std::string_view content) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        Line line;
        line.begin = pos;
        std::size_t nl = content.find('\n', pos);
        line.next = nl == std::string_view::npos ? content.size() : nl + 1;
        line.end = nl == std::string_view::npos ? content.size() : nl;
        if (line.end > line.begin && content[line.end - 1] == '\r') --line.end;
        std::string_view text = Trim(content.substr(line.begin, line.end - line.begin));
        if (!text.empty() && text.front() == '[') {
            std::size_t close = text.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                line.kind = Line::Section;
                line.name = Trim(text.substr(1, close - 1));
            }
        } else if (!text.empty()) {
            // A line without '=' is an entry without a value: it reads as ""
            // and a write gives it one.
            std::size_t eq = text.find('=');
            line.kind = Line::Entry;
            line.name = Trim(text.substr(0, eq));
            if (eq != std::string_view::npos) line.value = text.substr(eq + 1);
        }
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

struct Found {
    int section = -1;    // index of the section line
    int lastEntry = -1;  // index of the section's last entry line
    int entry = -1;      // index of the matching entry line
};

Found Find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Found f;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const Line& line = lines[i];
        if (line.kind == Line::Section) {
            if (f.section >= 0) break;  // only the first matching section counts
            if (EqualsNoCase(line.name, Trim(section))) f.section = f.lastEntry = i;
        } else if (f.section >= 0 && line.kind == Line::Entry) {
            f.lastEntry = i;
            if (f.entry < 0 && EqualsNoCase(line.name, key)) f.entry = i;
        }
    }
    return f;
}

}  // namespace

std::string Read(const std::string& content, const std::string& section, const std::string& key,
                 std::size_t bufferSize) {
    if (bufferSize == 0) return "";
    std::vector<Line> lines = Parse(content);
    Found f = Find(lines, section, Trim(key));
    if (f.entry < 0) return "";
    std::string_view value = Trim(lines[f.entry].value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, bufferSize - 1));
}

std::string Write(const std::string& content, const std::string& section, const std::string& key,
                  const std::string& value) {
    std::vector<Line> lines = Parse(content);
    Found f = Find(lines, section, Trim(key));
    if (f.entry >= 0) {
        const Line& line = lines[f.entry];
        std::string out = content.substr(0, line.begin);
        out += line.name;
        out += '=';
        out += value;
        out += content.substr(line.end);
        return out;
    }
    std::string entry = key + "=" + value + "\r\n";
    if (f.section >= 0) {
        const Line& last = lines[f.lastEntry];
        std::string out = content.substr(0, last.next);
        // The last line had no line end (a lone CR is none).
        if (last.next == 0 || content[last.next - 1] != '\n') out += "\r\n";
        out += entry;
        out += content.substr(last.next);
        return out;
    }
    std::string out = content;
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    out += "[" + section + "]\r\n" + entry;
    return out;
}

}  // namespace qm::ini
