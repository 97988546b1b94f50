// Fuzz target: reading the end of a file that may be a packed installer. Any file can be
// renamed and run, so the input is a whole file of any bytes; the seeds are installers
// packed by empaquetar (both footer layouts, ELF and PE, one cut short).
//
// Checked: nothing crashes, and nothing is read outside the file (the reader aborts on
// such a read); a file with a valid footer is not damaged, its payloads lie between the
// installer's own bytes and the footer, and its footer encodes and decodes to the same
// entries.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "update/packed_file.h"
#include "update/payload_footer.h"

namespace {

bool SameEntries(const kelv::PayloadFooter& a, const kelv::PayloadFooter& b) {
  if (a.version != b.version || a.baseSize != b.baseSize || a.entries.size() != b.entries.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.entries.size(); ++i) {
    const kelv::PayloadEntry& x = a.entries[i];
    const kelv::PayloadEntry& y = b.entries[i];
    if (x.name != y.name || x.offset != y.offset || x.length != y.length || x.digest != y.digest) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const kelv::ReadBytesAt read = [&](std::uint64_t offset, std::size_t n, char* into) {
    if (offset > size || n > size - offset) std::abort();  // a read outside the file
    std::memcpy(into, data + offset, n);
    return true;
  };
  const kelv::PackedFile file = kelv::InspectPackedFile(read, size);
  if (!file.footer) return 0;
  if (!file.damage.empty()) std::abort();
  const kelv::PayloadFooter& footer = *file.footer;
  const std::size_t footerSize = kelv::PayloadFooterSize(footer.version);
  if (footerSize == 0 || footerSize > size || footer.baseSize > size - footerSize) std::abort();
  for (const kelv::PayloadEntry& e : footer.entries) {
    if (e.offset < footer.baseSize || e.offset > size - footerSize ||
        e.length > size - footerSize - e.offset) {
      std::abort();
    }
  }
  // The footer written again reads back the same, in a file of the same size.
  std::string again(size - footerSize, '\0');
  again += kelv::EncodePayloadFooter(footer);
  const std::size_t tail = std::min<std::size_t>(again.size(), kelv::kPayloadFooterSize);
  const kelv::FooterReading back =
      kelv::DecodePayloadFooter(std::string_view(again).substr(again.size() - tail), again.size());
  if (back.state != kelv::FooterReading::kValid || !SameEntries(back.footer, footer)) std::abort();
  return 0;
}
