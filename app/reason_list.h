// A list of idle reasons as a list box holds them: ordered texts, unsorted,
// duplicates allowed, and a current position (an entry, or -1 for none).
// The live list of the main window and the editor's working copy are both
// of this kind.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm {

class ReasonList {
public:
    // The count is a signed 16-bit number.
    static constexpr int kMaxCount = 32767;

    int ListCount() const { return static_cast<int>(items_.size()); }
    // The current position; -1 for none.
    int ListIndex() const { return index_; }
    // False, with the position unchanged, for a position outside
    // -1 .. ListCount() - 1.
    bool SetListIndex(int index);
    // The entry at the position; "" for none.
    std::string Text() const;
    const std::string& List(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    const std::vector<std::string>& Items() const { return items_; }

    // Appends an entry; false, with nothing added, when the list is full.
    bool AddItem(std::string text);
    // Removes that entry; the list then has no position.
    void RemoveItem(int index);
    // No entries, no position.
    void Clear();
    // The other list's entries in place of its own; no position.
    void CopyItemsFrom(const ReasonList& other);
    // Moves the position to the first entry that equals `text` exactly
    // (letter case counting); false, with the position unchanged, when none
    // does.
    bool SelectMatching(std::string_view text);

private:
    std::vector<std::string> items_;
    int index_ = -1;
};

}  // namespace qm
