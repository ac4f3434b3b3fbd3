#include "away/transcript.h"

#include <algorithm>
#include <unordered_map>

#include "aol/bounds.h"
#include "aol/window_model.h"

namespace qm::away {

Hwnd FindTranscript(Platform& platform, aol::InputVariant variant) {
    const Hwnd room = aol::FindChatRoom(platform);
    if (!room) return 0;
    Hwnd transcript = platform.FindWindowEx(room, 0, aol::kRichReadOnlyClass);
    // The late layout without its read-only transcript has none we could
    // tell from the input box.
    if (!transcript && variant == aol::InputVariant::A) transcript = platform.FindWindowEx(room, 0, aol::kRichClass);
    if (transcript && transcript == aol::FindChatInput(platform, variant)) return 0;
    return transcript;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(from, i - from));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        from = i + 1;
    }
    if (from < text.size()) lines.push_back(text.substr(from));
    return lines;
}

namespace {

// The prefix function of `s`: for each position, the length of the longest
// proper border of s[0..i].
std::vector<std::size_t> Borders(const std::vector<long>& s) {
    std::vector<std::size_t> border(s.size(), 0);
    for (std::size_t i = 1; i < s.size(); ++i) {
        std::size_t k = border[i - 1];
        while (k > 0 && s[i] != s[k]) k = border[k - 1];
        if (s[i] == s[k]) ++k;
        border[i] = k;
    }
    return border;
}

}  // namespace

// Linear in the lines (a busy room's transcript holds thousands): the lines
// become numbers, and the overlap is found with prefix functions.
std::vector<std::string> NewLines(const std::vector<std::string>& before, const std::vector<std::string>& now) {
    if (before.empty() || now.empty()) return now;
    std::unordered_map<std::string, long> ids;
    auto id = [&ids](const std::string& line) { return ids.emplace(line, static_cast<long>(ids.size())).first->second; };
    std::vector<long> p, r;
    for (const std::string& line : before) p.push_back(id(line));
    for (const std::string& line : now) r.push_back(id(line));

    // The whole of `before` within `now`: where it first ends.
    std::vector<long> s = p;
    s.push_back(-1);
    s.insert(s.end(), r.begin(), r.end());
    std::vector<std::size_t> border = Borders(s);
    for (std::size_t i = p.size() + 1; i < s.size(); ++i)
        if (border[i] == p.size()) {
            const std::size_t end = i - p.size();  // lines of `now` up to the match's end
            return std::vector<std::string>(now.begin() + static_cast<std::ptrdiff_t>(end), now.end());
        }

    // Otherwise the longest start of `now` that ends `before` (its oldest
    // lines trimmed meanwhile).
    s = r;
    s.push_back(-1);
    s.insert(s.end(), p.begin(), p.end());
    const std::size_t kept = Borders(s).back();
    return std::vector<std::string>(now.begin() + static_cast<std::ptrdiff_t>(kept), now.end());
}

std::vector<std::string> TranscriptWatch::Read(aol::InputVariant variant) {
    const Hwnd window = FindTranscript(platform_, variant);
    if (!window) return {};
    const std::optional<std::string> text = platform_.GetTextTail(window, bounds::kMaxTextRead);
    if (!text) return {};
    std::vector<std::string> lines = SplitLines(*text);
    auto before = std::find_if(seen_.begin(), seen_.end(), [window](const Seen& s) { return s.window == window; });
    std::vector<std::string> fresh;
    if (started_) fresh = NewLines(before != seen_.end() ? before->lines : std::vector<std::string>{}, lines);
    started_ = true;
    if (before != seen_.end()) seen_.erase(before);
    if (seen_.size() >= kTranscriptsRemembered) seen_.erase(seen_.begin());
    seen_.push_back(Seen{window, std::move(lines)});
    return fresh;
}

}  // namespace qm::away
