#include "reasons/reasons_file.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace qm::reasons {
namespace {

// The file's bytes as far as they can be read and are not beyond the limit;
// when not all of it came, only its whole lines.  nullopt when nothing
// could be read.
std::optional<std::string> ReadWholeLines(Platform& platform, const std::string& path) {
    std::optional<std::string> bytes;
    bool whole = false;
    for (std::size_t want = kFirstReadBytes;;) {
        std::optional<std::string> got = platform.ReadFile(path, want);
        if (!got) break;
        bytes = std::move(got);
        if (bytes->size() < want) {
            whole = true;
            break;
        }
        if (want > kMaxFileBytes) break;
        // One byte over the limit tells a file of exactly the limit from a
        // larger one.
        want = want >= kMaxFileBytes ? kMaxFileBytes + 1 : std::min(want * 2, kMaxFileBytes);
    }
    if (bytes && !whole) {
        bytes->resize(std::min(bytes->size(), kMaxFileBytes));
        const std::size_t lastEnd = bytes->rfind('\n');
        bytes->resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
    }
    return bytes;
}

}  // namespace

void LoadReasons(Platform& platform, const std::string& path, ReasonList& list) {
    const std::optional<std::string> bytes = ReadWholeLines(platform, path);
    if (!bytes) return;
    const std::string_view text = *bytes;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!list.AddItem(std::string(line))) return;
        platform.ProcessEvents();
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
}

bool SaveReasons(Platform& platform, const std::string& path, const ReasonList& list) {
    std::string bytes;
    for (const std::string& reason : list.Items()) bytes += reason + "\r\n";
    return platform.WriteFile(path, bytes);
}

}  // namespace qm::reasons
