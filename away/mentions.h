// Which transcript lines are said to the user: those that name them (the
// screen name or the handle, as a whole word in any letter case) or are
// addressed to them ("name:" first), and never their own.
#pragma once

#include <string>
#include <vector>

namespace qm::away {

// A transcript line: who said it ("" when the line names nobody) and what.
// The client writes "NAME:" and a tab before what was said.
struct ChatLine {
    std::string who, text;
};
ChatLine ParseLine(const std::string& line);

// Screen names are told apart by letters and digits alone: "Joe Blow" is
// "joeblow".
std::string FoldScreenName(const std::string& name);

// `name` stands in `text` as a whole word (no letter or digit right before or
// after it), any letter case.  An empty name stands nowhere.
bool NamesWord(const std::string& text, const std::string& name);

// The names that stand for the user (screen name, handle), and the lines of
// ours that must never count.
class Mentions {
public:
    void SetNames(std::vector<std::string> names);
    // A line we posted (as sent, markup and all).
    void Posted(const std::string& line);

    // The line is said by the user (or is one of ours): never kept.
    bool Own(const ChatLine& line) const;
    // The line is someone else's and names or addresses the user.
    bool ForUser(const std::string& line) const;

private:
    std::vector<std::string> names_;
    std::vector<std::string> posted_;  // the newest last, bounded
};

// The line with the announcement markup (anything between "<" and ">")
// left out, as the client shows it.
std::string WithoutMarkup(const std::string& line);

}  // namespace qm::away
