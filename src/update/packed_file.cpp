// What a file carries behind its executable image: the footer, the image's end, and the
// verdict drawn from both (all OSes).
#include "update/packed_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/files.h"

namespace kelv {

PackedFile InspectPackedFile(const ReadBytesAt& read, std::uint64_t fileSize) {
  PackedFile file;
  file.size = fileSize;
  file.image = FindExecutableImage(read, fileSize);

  const std::size_t tailSize =
      static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kPayloadFooterSize));
  std::string tail(tailSize, '\0');
  FooterReading footer;
  if (tailSize == 0 || read(fileSize - tailSize, tailSize, &tail[0])) {
    footer = DecodePayloadFooter(tail, fileSize);
  }
  if (footer.state == FooterReading::kValid) {
    file.footer = std::move(footer.footer);
  } else if (footer.state == FooterReading::kInvalid) {
    file.damage = "its payload footer is damaged: " + footer.problem;
  } else if (file.image && file.image->kind == ExecutableKind::kElf &&
             file.image->end < fileSize) {
    file.damage = "it carries " + std::to_string(fileSize - file.image->end) +
                  " bytes after its executable image but no valid payload footer"
                  " (cut short or damaged)";
  } else if (file.image && file.image->end > fileSize) {
    file.damage = "it is shorter than its own executable image (cut short)";
  }
  return file;
}

std::optional<PackedFile> InspectPackedFile(const std::string& path) {
  const std::optional<std::uintmax_t> size = FileSize(path);
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  if (!size || !in) return std::nullopt;
  bool readable = true;
  const ReadBytesAt read = [&](std::uint64_t offset, std::size_t n, char* into) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    readable = readable && static_cast<bool>(in.read(into, static_cast<std::streamsize>(n)));
    return readable;
  };
  PackedFile file = InspectPackedFile(read, *size);
  if (!readable) return std::nullopt;
  return file;
}

}  // namespace kelv
