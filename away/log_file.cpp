#include "away/log_file.h"

#include <cstdio>

namespace qm::away {

std::string LogFile(Platform& platform) { return platform.ProgramFolder() + "\\quillmoor.log"; }

std::string DateTimeText(const LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

std::string ClockText(const LocalTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", t.hour, t.minute);
    return text;
}

bool AppendToLog(Platform& platform, const std::string& path, const std::string& lines) {
    // Twice the most we write: a file that reads that long is not one of
    // ours, and is not cut.
    const std::size_t readable = 2 * kLogMostBytes;
    std::optional<std::string> old = platform.ReadFile(path, readable);
    if (!old) {
        if (platform.FileExists(path)) return false;  // there, but unreadable
        old = std::string();
    }
    if (old->size() >= readable) return false;
    // A last line without its end (the user's editing) is ended first.
    if (!old->empty() && old->back() != '\n') *old += "\r\n";
    std::string bytes = *old + lines;
    if (bytes.size() > kLogMostBytes) {
        // The newest half, from a line's start.
        const std::size_t from = bytes.find("\r\n", bytes.size() - kLogMostBytes / 2);
        bytes.erase(0, from == std::string::npos ? bytes.size() : from + 2);
    }
    // All or nothing: a write that fails leaves the old file.
    return platform.WriteFile(path, bytes);
}

}  // namespace qm::away
