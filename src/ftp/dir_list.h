// The remote directory listing: cDirItem records in a cDirList keyed by file name
// (all OSes).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelv {

// One entry of a remote folder: its attribute flags, time stamps (date values: days since
// 30 Dec 1899 00:00 local time, the fraction being the time of day), size and name.
struct cDirItem {
  bool ReadOnly = false;    // attribute bit 1
  bool Hidden = false;      // attribute bit 2
  bool System = false;      // attribute bit 4
  bool Directory = false;   // attribute bit 16
  bool Archive = false;     // attribute bit 32
  bool Normal = false;      // attribute bit 128
  bool Temporary = false;   // attribute bit 256
  bool Compressed = false;  // attribute bit 2048
  bool Offline = false;     // attribute bit 4096
  double CreationTime = 0;
  double LastAccessTime = 0;
  double LastWriteTime = 0;
  std::int32_t FileSize = 0;  // low 32 bits of the size
  std::string Filename;
};

// An ordered list of cDirItem records, each under its Filename as key; keys are unique and
// compared without regard to letter case. Items keep their address while they are in the
// list, so the references handed out stay valid until Clear or destruction.
class cDirList {
 public:
  using Items = std::vector<std::unique_ptr<cDirItem>>;

  // Enumerates the items in list order, as cDirItem&.
  class Enumerator {
   public:
    explicit Enumerator(Items::const_iterator it) : it_(it) {}
    cDirItem& operator*() const { return **it_; }
    cDirItem* operator->() const { return it_->get(); }
    Enumerator& operator++() { ++it_; return *this; }
    bool operator==(const Enumerator& o) const { return it_ == o.it_; }
    bool operator!=(const Enumerator& o) const { return it_ != o.it_; }

   private:
    Items::const_iterator it_;
  };

  // A range over the items in list order (for range-for).
  struct Range {
    Enumerator b, e;
    Enumerator begin() const { return b; }
    Enumerator end() const { return e; }
  };

  // Creates a record with the nine flags taken from the bits of lAttrib and the other values
  // copied, appends it under the key sFilename and returns it. A name already present (in
  // any letter case) throws KelvError(kErrDuplicateKey) and adds nothing.
  cDirItem& Add(std::int32_t lAttrib, double dtCreationTime, double dtLastAccessTime,
                double dtLastWriteTime, std::int32_t lFileSize, std::string_view sFilename);

  // Removes every entry.
  void Clear();

  // The entry at 1-based position Index; a position outside 1..Count throws
  // KelvError(kErrSubscript).
  cDirItem& Item(std::int32_t Index) const;

  // The entry whose name equals Index in any letter case; an absent name throws
  // KelvError(kErrInvalidArgument).
  cDirItem& Item(std::string_view Index) const;

  // The number of entries.
  std::int32_t Count() const;

  // Enumerates the entries in list order.
  Range NewEnum() const { return Range{begin(), end()}; }
  Enumerator begin() const { return Enumerator(items_.begin()); }
  Enumerator end() const { return Enumerator(items_.end()); }

 private:
  Items items_;
  std::unordered_map<std::string, std::size_t> byKey_;  // folded name -> position (0-based)
};

}  // namespace kelv
