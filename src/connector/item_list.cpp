// ItemList: ordered entries with a folded-key hash index (all OSes).
#include "connector/item_list.h"

#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {

namespace {

[[noreturn]] void NoSuchEntry() {
  throw KelvError(kErrSubscript, "ItemList", "El subíndice está fuera del intervalo");
}

}  // namespace

const ItemList::Entry& ItemList::At(std::size_t position) const {
  if (position < 1 || position > entries_.size()) NoSuchEntry();
  return entries_[position - 1];
}

const ItemList::Entry& ItemList::At(std::string_view key) const {
  const std::size_t position = PositionOf(key);
  if (position == 0) NoSuchEntry();
  return entries_[position - 1];
}

std::size_t ItemList::PositionOf(std::string_view key) const {
  const auto found = index_.find(FoldCase(key));
  return found == index_.end() ? 0 : found->second + 1;
}

void ItemList::Add(Variant item, std::optional<std::string> key) {
  if (key) {
    std::string folded = FoldCase(*key);
    if (index_.count(folded)) {
      throw KelvError(kErrDuplicateKey, "ItemList",
                      "Esta clave ya está asociada a un elemento de esta colección");
    }
    index_.emplace(std::move(folded), entries_.size());
  }
  entries_.push_back(Entry{std::move(key), std::move(item)});
}

void ItemList::Remove(std::size_t position) {
  if (position < 1 || position > entries_.size()) NoSuchEntry();
  const std::size_t at = position - 1;
  if (entries_[at].key) index_.erase(FoldCase(*entries_[at].key));
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
  if (at < entries_.size()) {
    for (auto& [folded, i] : index_) {
      if (i > at) --i;
    }
  }
}

void ItemList::Remove(std::string_view key) {
  const std::size_t position = PositionOf(key);
  if (position == 0) NoSuchEntry();
  Remove(position);
}

}  // namespace kelv
