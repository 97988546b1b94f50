// ItemList: the ordered keyed sequence behind ColDatosSimplesAA (all OSes).
//
// Entries keep insertion order and are addressed by 1-based position or by key; keys are
// optional, unique, and compared in any letter case (FoldCase). Look-ups by key use a hash
// index, so large lists stay fast.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "connector/variant.h"

namespace kelv {

class ItemList {
 public:
  struct Entry {
    std::optional<std::string> key;  // as the caller wrote it
    Variant item;
  };

  std::size_t Count() const { return entries_.size(); }

  // The entry at 1-based position; throws KelvError(kErrSubscript) when there is none.
  const Entry& At(std::size_t position) const;
  // The entry with key (any letter case); throws KelvError(kErrSubscript) when absent.
  const Entry& At(std::string_view key) const;
  // The 1-based position of key, or 0 when absent.
  std::size_t PositionOf(std::string_view key) const;

  // Appends item, under key when given. A key already present (any letter case) throws
  // KelvError(kErrDuplicateKey) and changes nothing.
  void Add(Variant item, std::optional<std::string> key = std::nullopt);

  // Removes the entry at 1-based position, or with key; throws KelvError(kErrSubscript)
  // when there is none.
  void Remove(std::size_t position);
  void Remove(std::string_view key);

  // Enumeration in order.
  std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
  std::vector<Entry>::const_iterator end() const { return entries_.end(); }

 private:
  std::vector<Entry> entries_;
  // Folded key -> 0-based index into entries_.
  std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace kelv
