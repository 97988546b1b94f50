// Fuzz target: the remote listing readers (MLSD facts, Unix and DOS LIST lines) on arbitrary
// bytes, read whole and as they would arrive in pieces.
//
// The first byte picks the form (low bit: MLSD or LIST) and the size of the pieces (the
// other bits); the rest is the listing. Checked: nothing crashes; reading in pieces gives
// the same entries as reading at once; every entry's name is one the find record can carry
// (not empty, not "." or "..", no NUL, at most 259 characters); and the search-mask match
// takes any name and mask.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "ftp/file_time.h"
#include "ftp/listing_parser.h"
#include "text/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const kelv::ListingFormat format =
      (data[0] & 1) ? kelv::ListingFormat::List : kelv::ListingFormat::Mlsd;
  const std::size_t piece = (data[0] >> 1) + 1;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::uint64_t now = kelv::CivilToFileTime(2026, 12, 9, 23, 0, 0);

  const std::vector<kelv::FindData> whole = kelv::ParseListing(text, format, now);
  std::vector<kelv::FindData> pieces;
  kelv::ListingReader reader(format, now, [&](kelv::FindData&& d) { pieces.push_back(d); });
  for (std::size_t pos = 0; pos < text.size(); pos += piece) reader.Feed(text.substr(pos, piece));
  reader.Finish();

  if (pieces.size() != whole.size()) std::abort();
  for (std::size_t i = 0; i < whole.size(); ++i) {
    const kelv::FindData& d = whole[i];
    if (d.name != pieces[i].name || d.size != pieces[i].size ||
        d.lastWriteTime != pieces[i].lastWriteTime || d.attributes != pieces[i].attributes) {
      std::abort();
    }
    if (d.name.empty() || d.name == "." || d.name == ".." ||
        d.name.find('\0') != std::string::npos || kelv::CharCount(d.name) > kelv::kMaxListingName) {
      std::abort();
    }
    kelv::MatchesSearchMask(d.name, text.substr(0, 8));
  }
  return 0;
}
