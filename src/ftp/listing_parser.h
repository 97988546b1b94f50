// Parsers of remote folder listings: MLSD facts, the Unix "ls -l" forms and the DOS/IIS
// form, and the search-mask match that picks entries (all OSes, pure: text in, records out).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "ftp/find_data.h"

namespace kelv {

enum class ListingFormat { Mlsd, List };

// One MLSD line ("type=file;size=600;modify=20261209233800; name"). Entries of type cdir and
// pdir, and lines without a name, give nullopt. Folders get the directory attribute, files
// the normal one, or read-only when a perm fact lacks both 'w' and 'a'. The three file times
// are the modify fact (UTC); a create fact sets the creation time.
std::optional<FindData> ParseMlsdLine(std::string_view line);

// One LIST line in the Unix form ("-rw-r--r-- 1 user group 600 Dec  9 23:38 a name") or the
// DOS/IIS form ("12-09-26  11:38PM  <DIR>  a name"). Names keep their inner blanks; a
// symbolic link's " -> target" is dropped. Dates with a time but no year belong to the most
// recent year that does not put them more than a day after today (nowUtc is a file time);
// all times are taken as UTC. Totals, "." and "..", and lines of neither form give nullopt.
std::optional<FindData> ParseListLine(std::string_view line, std::uint64_t nowUtc);

// Every entry of a whole listing text (lines end in LF or CR LF), in listing order.
std::vector<FindData> ParseListing(std::string_view text, ListingFormat format,
                                   std::uint64_t nowUtc);

// True when name matches the search mask: '*' stands for any run of characters, '?' for one
// character, everything else for itself with letter case told apart. An empty mask, "*" and
// "*.*" match every name.
bool MatchesSearchMask(std::string_view name, std::string_view mask);

}  // namespace kelv
