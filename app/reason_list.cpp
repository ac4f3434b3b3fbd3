#include "app/reason_list.h"

#include <algorithm>

namespace qm {

bool ReasonList::SetListIndex(int index) {
    if (index < -1 || index >= ListCount()) return false;
    index_ = index;
    return true;
}

std::string ReasonList::Text() const { return index_ < 0 ? std::string() : items_[static_cast<std::size_t>(index_)]; }

bool ReasonList::AddItem(std::string text) {
    if (ListCount() >= kMaxCount) return false;
    items_.push_back(std::move(text));
    return true;
}

void ReasonList::RemoveItem(int index) {
    if (index < 0 || index >= ListCount()) return;
    items_.erase(items_.begin() + index);
    index_ = -1;
}

void ReasonList::Clear() {
    items_.clear();
    index_ = -1;
}

void ReasonList::CopyItemsFrom(const ReasonList& other) {
    items_ = other.items_;
    index_ = -1;
}

bool ReasonList::SelectMatching(std::string_view text) {
    auto it = std::find(items_.begin(), items_.end(), text);
    if (it == items_.end()) return false;
    index_ = static_cast<int>(it - items_.begin());
    return true;
}

}  // namespace qm
