#include "away/mentions.h"

#include <algorithm>

#include "platform/text.h"

namespace qm::away {
namespace {

bool WordByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           static_cast<unsigned char>(c) >= 0x80;  // a letter of the code page
}

// Our lines that may still show in the transcript: a few announcements'
// worth.
constexpr std::size_t kPostedKept = 32;

}  // namespace

ChatLine ParseLine(const std::string& line) {
    const std::size_t colon = line.find(":\t");
    if (colon == std::string::npos || colon == 0) return {"", line};
    return {line.substr(0, colon), line.substr(colon + 2)};
}

std::string FoldScreenName(const std::string& name) {
    std::string folded;
    for (char c : name)
        if (WordByte(c)) folded += c;
    return ToLowerAscii(folded);
}

bool NamesWord(const std::string& text, const std::string& name) {
    if (name.empty() || name.size() > text.size()) return false;
    const std::string haystack = ToLowerAscii(text), needle = ToLowerAscii(name);
    for (std::size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) {
        const std::size_t end = at + needle.size();
        // Only a letter or digit of the name itself needs a word edge: a
        // name ending in punctuation ends there.
        const bool startEdge = at == 0 || !WordByte(needle.front()) || !WordByte(haystack[at - 1]);
        const bool endEdge = end == haystack.size() || !WordByte(needle.back()) || !WordByte(haystack[end]);
        if (startEdge && endEdge) return true;
    }
    return false;
}

std::string WithoutMarkup(const std::string& line) {
    std::string shown;
    bool inTag = false;
    for (char c : line) {
        if (c == '<') inTag = true;
        if (!inTag) shown += c;
        if (c == '>') inTag = false;
    }
    return shown;
}

void Mentions::SetNames(std::vector<std::string> names) {
    std::erase_if(names, [](const std::string& name) { return FoldScreenName(name).empty(); });
    names_ = std::move(names);
}

void Mentions::Posted(const std::string& line) {
    posted_.push_back(line);
    if (posted_.size() > kPostedKept) posted_.erase(posted_.begin());
}

bool Mentions::Own(const ChatLine& line) const {
    const std::string who = FoldScreenName(line.who);
    if (!who.empty())
        for (const std::string& name : names_)
            if (FoldScreenName(name) == who) return true;
    // Ours as sent, or as the client shows it with the markup rendered away.
    return std::any_of(posted_.begin(), posted_.end(), [&](const std::string& posted) {
        return line.text == posted || line.text == WithoutMarkup(posted);
    });
}

bool Mentions::ForUser(const std::string& raw) const {
    const ChatLine line = ParseLine(raw);
    if (Own(line)) return false;
    const std::string lower = ToLowerAscii(line.text);
    for (const std::string& name : names_) {
        // Addressed: "name:" first, blanks before it allowed.
        const std::size_t first = lower.find_first_not_of(" \t");
        if (first != std::string::npos && lower.compare(first, name.size(), ToLowerAscii(name)) == 0 &&
            lower.compare(first + name.size(), 1, ":") == 0)
            return true;
        if (NamesWord(line.text, name)) return true;
        // A screen name written without its blanks ("joeblow" for "Joe Blow").
        const std::string folded = FoldScreenName(name);
        if (folded != ToLowerAscii(name) && NamesWord(line.text, folded)) return true;
    }
    return false;
}

}  // namespace qm::away
