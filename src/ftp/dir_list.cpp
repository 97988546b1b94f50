// The remote directory listing: cDirItem records in a cDirList keyed by file name
// (all OSes).
#include "ftp/dir_list.h"

#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {

cDirItem& cDirList::Add(std::int32_t lAttrib, double dtCreationTime, double dtLastAccessTime,
                        double dtLastWriteTime, std::int32_t lFileSize,
                        std::string_view sFilename) {
  std::string key = FoldCase(sFilename);
  if (byKey_.count(key)) {
    throw KelvError(kErrDuplicateKey, "cDirList",
                    "This key is already associated with an element of this collection: " +
                        std::string(sFilename));
  }
  auto item = std::make_unique<cDirItem>();
  const auto bits = static_cast<std::uint32_t>(lAttrib);
  item->ReadOnly = bits & 1;
  item->Hidden = bits & 2;
  item->System = bits & 4;
  item->Directory = bits & 16;
  item->Archive = bits & 32;
  item->Normal = bits & 128;
  item->Temporary = bits & 256;
  item->Compressed = bits & 2048;
  item->Offline = bits & 4096;
  item->CreationTime = dtCreationTime;
  item->LastAccessTime = dtLastAccessTime;
  item->LastWriteTime = dtLastWriteTime;
  item->FileSize = lFileSize;
  item->Filename = std::string(sFilename);
  items_.push_back(std::move(item));
  byKey_.emplace(std::move(key), items_.size() - 1);
  return *items_.back();
}

void cDirList::Clear() {
  items_.clear();
  byKey_.clear();
}

cDirItem& cDirList::Item(std::int32_t Index) const {
  if (Index < 1 || static_cast<std::size_t>(Index) > items_.size()) {
    throw KelvError(kErrSubscript, "cDirList",
                    "Subscript out of range: " + std::to_string(Index));
  }
  return *items_[static_cast<std::size_t>(Index) - 1];
}

cDirItem& cDirList::Item(std::string_view Index) const {
  auto it = byKey_.find(FoldCase(Index));
  if (it == byKey_.end()) {
    throw KelvError(kErrInvalidArgument, "cDirList",
                    "Invalid procedure call or argument: no entry named " + std::string(Index));
  }
  return *items_[it->second];
}

std::int32_t cDirList::Count() const { return static_cast<std::int32_t>(items_.size()); }

}  // namespace kelv
