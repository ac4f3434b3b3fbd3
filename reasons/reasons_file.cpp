#include "reasons/reasons_file.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace qm::reasons {
namespace {

// The file's bytes as far as they can be read and are not beyond the limit;
// when not all of it came, only its whole lines.  nullopt when nothing
// could be read.
std::optional<std::string> ReadWholeLines(Platform& platform, const std::string& path, bool* wholeFile) {
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
    *wholeFile = whole;
    return bytes;
}

}  // namespace

Loaded LoadReasons(Platform& platform, const std::string& path, ReasonList& list) {
    bool whole = false;
    const std::optional<std::string> bytes = ReadWholeLines(platform, path, &whole);
    if (!bytes) return {0, false};
    const std::string_view text = *bytes;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!list.AddItem(std::string(line))) return {start, false};
        platform.ProcessEvents();
        start = end == std::string_view::npos ? text.size() : end + 1;
    }
    return {start, whole};
}

std::optional<Loaded> SaveReasons(Platform& platform, const std::string& path, const ReasonList& list,
                                  const Loaded& loaded) {
    std::string bytes;
    for (const std::string& reason : list.Items()) bytes += reason + "\r\n";
    const std::size_t listBytes = bytes.size();
    if (!loaded.whole) {
        // One byte over the limit tells a file of exactly the limit from a
        // larger one.
        const std::optional<std::string> old = platform.ReadFile(path, kMaxKeptBytes + 1);
        if (!old || old->size() > kMaxKeptBytes) return std::nullopt;
        if (old->size() > loaded.bytes) bytes.append(*old, loaded.bytes, std::string::npos);
    }
    if (!platform.WriteFile(path, bytes)) return std::nullopt;
    return Loaded{listBytes, loaded.whole};
}

}  // namespace qm::reasons
