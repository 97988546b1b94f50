// What a file carries behind its executable image (all OSes): the payloads a valid footer
// lists, nothing at all, or bytes that make it a damaged installer. The installer reads its
// own file this way on Linux, and the packer reads the files it packs and checks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "update/executable_image.h"
#include "update/payload_footer.h"

namespace kelv {

struct PackedFile {
  std::uint64_t size = 0;                 // the file's size in bytes
  std::optional<ExecutableImage> image;   // its executable image, when known
  std::optional<PayloadFooter> footer;    // set when the file ends in a valid footer
  std::string damage;                     // why the file is damaged; empty when it is not
};

// Inspects a file of fileSize bytes through read:
// - a valid footer at its end: the payloads it lists, each within the file;
// - an invalid footer: damaged;
// - no footer, and an ELF image that ends before the file does (bytes after the image that
//   no footer accounts for, as in a packed installer cut short), or an image of either kind
//   that ends after it (the file itself cut short): damaged;
// - otherwise no payloads (an installer that was never packed). A PE file with bytes after
//   its image counts as such: Windows installers carry their payloads as resources, and
//   resource editors (UpdateResource among them) leave bytes there that the headers no
//   longer describe.
// Every offset and length is checked against fileSize before it is read.
PackedFile InspectPackedFile(const ReadBytesAt& read, std::uint64_t fileSize);

// The same for the file at path; nullopt when it cannot be opened or read.
std::optional<PackedFile> InspectPackedFile(const std::string& path);

}  // namespace kelv
