// Parsers of remote folder listings: MLSD facts, the Unix "ls -l" forms and the DOS/IIS
// form, a reader that takes a listing as it arrives, and the search-mask match that picks
// entries (all OSes, pure: text in, records out).
//
// Listings come from servers that may be broken or hostile, so every number is read with
// its range checked, names are held to what the Windows find record can carry, and lines
// are held to a fixed length: an entry that breaks any of these is skipped, like any line
// that cannot be read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ftp/find_data.h"

namespace kelv {

enum class ListingFormat { Mlsd, List };

// The longest entry name kept, in characters (the find record holds 260 with the closing
// NUL); entries with longer names are skipped.
inline constexpr std::size_t kMaxListingName = 259;

// The longest listing line read, in bytes; a longer line is skipped whole.
inline constexpr std::size_t kMaxListingLine = 8192;

// One MLSD line ("type=file;size=600;modify=20261209233800; name"). Entries of type cdir and
// pdir, lines without a name, and lines whose size fact is not a number of at most 64 bits
// give nullopt. Folders get the directory attribute, files the normal one, or read-only when
// a perm fact lacks both 'w' and 'a'. The three file times are the modify fact (UTC), or 0
// when it is absent or cannot be read; a create fact sets the creation time.
//
// In every form a name ends at its first NUL, and an entry whose name is then empty, "." or
// "..", or longer than kMaxListingName characters, gives nullopt.
std::optional<FindData> ParseMlsdLine(std::string_view line);

// One LIST line in the Unix form ("-rw-r--r-- 1 user group 600 Dec  9 23:38 a name") or the
// DOS/IIS form ("12-09-26  11:38PM  <DIR>  a name"). Names keep their inner blanks; a
// symbolic link's " -> target" is dropped. Dates with a time but no year belong to the most
// recent year that does not put them more than a day after today (nowUtc is a file time);
// all times are taken as UTC. Totals, lines of neither form, and lines whose size or day does
// not fit its range give nullopt.
std::optional<FindData> ParseListLine(std::string_view line, std::uint64_t nowUtc);

// Reads a listing as it arrives, in pieces of any size: each line (ending in LF or CR LF)
// is read as soon as it is complete, and only the unfinished line is kept, up to
// kMaxListingLine bytes. Each entry goes to onEntry in listing order.
class ListingReader {
 public:
  using EntryHandler = std::function<void(FindData&&)>;

  ListingReader(ListingFormat format, std::uint64_t nowUtc, EntryHandler onEntry);

  // Takes the next bytes of the listing.
  void Feed(std::string_view bytes);
  // Reads the last line when the listing does not end with a line end.
  void Finish();

 private:
  void ReadLine(std::string_view line);

  ListingFormat format_;
  std::uint64_t nowUtc_;
  EntryHandler onEntry_;
  std::string partial_;
  bool skipping_ = false;  // the rest of an overlong line is being passed over
};

// Every entry of a whole listing text, in listing order (a ListingReader fed at once).
std::vector<FindData> ParseListing(std::string_view text, ListingFormat format,
                                   std::uint64_t nowUtc);

// True when name matches the search mask: '*' stands for any run of characters, '?' for one
// character, everything else for itself with letter case told apart. An empty mask, "*" and
// "*.*" match every name.
bool MatchesSearchMask(std::string_view name, std::string_view mask);

}  // namespace kelv
