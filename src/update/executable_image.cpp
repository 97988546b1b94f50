// Where an executable's own image ends in its file: ELF and PE headers read with every
// offset and length checked against the file's size (all OSes).
#include "update/executable_image.h"

#include <algorithm>
#include <limits>
#include <string>

namespace kelv {
namespace {

constexpr std::uint64_t kFar = std::numeric_limits<std::uint64_t>::max();
// More table entries than this make a file this code does not measure.
constexpr std::uint64_t kMaxTableEntries = 1u << 16;

std::uint64_t AddFar(std::uint64_t a, std::uint64_t b) { return b > kFar - a ? kFar : a + b; }
std::uint64_t MulFar(std::uint64_t a, std::uint64_t b) {
  return a != 0 && b > kFar / a ? kFar : a * b;
}

// The furthest end of the regions seen so far; a region whose end overflows reaches past
// any file.
class Reach {
 public:
  void Add(std::uint64_t offset, std::uint64_t size) { end_ = std::max(end_, AddFar(offset, size)); }
  std::uint64_t End() const { return end_; }

 private:
  std::uint64_t end_ = 0;
};

// size bytes at offset when they all lie within the file.
std::optional<std::string> ReadWithin(const ReadBytesAt& read, std::uint64_t fileSize,
                                      std::uint64_t offset, std::size_t size) {
  if (offset > fileSize || size > fileSize - offset) return std::nullopt;
  std::string bytes(size, '\0');
  if (size > 0 && !read(offset, size, &bytes[0])) return std::nullopt;
  return bytes;
}

// An unsigned number of width bytes at `at` of bytes, in the given byte order.
std::uint64_t Number(const std::string& bytes, std::size_t at, int width, bool bigEndian) {
  std::uint64_t value = 0;
  for (int i = 0; i < width; ++i) {
    const auto b = static_cast<unsigned char>(bytes[at + (bigEndian ? i : width - 1 - i)]);
    value = (value << 8) | b;
  }
  return value;
}

std::uint64_t Le(const std::string& bytes, std::size_t at, int width) {
  return Number(bytes, at, width, false);
}

// The positions of the fields of an ELF file's headers, for one class (32 or 64 bit).
struct ElfLayout {
  // The ELF header's size and its fields e_phoff, e_shoff, e_phentsize, e_phnum,
  // e_shentsize and e_shnum.
  std::size_t headerSize, phoff, shoff, phentsize, phnum, shentsize, shnum;
  int offWidth;  // width of file offsets and sizes
  // A program header's size and its fields p_offset and p_filesz.
  std::size_t phEntry, pOffset, pFilesz;
  // A section header's size and its fields sh_type, sh_offset, sh_size and sh_info.
  std::size_t shEntry, shType, shOffset, shSize, shInfo;
};
const ElfLayout kElf32{52, 28, 32, 42, 44, 46, 48, 4, 32, 4, 16, 40, 4, 16, 20, 28};
const ElfLayout kElf64{64, 32, 40, 54, 56, 58, 60, 8, 56, 8, 32, 64, 4, 24, 32, 44};

constexpr std::uint64_t kShtNull = 0;
constexpr std::uint64_t kShtNobits = 8;
constexpr std::uint64_t kPnXnum = 0xFFFF;

std::optional<std::uint64_t> ElfImageEnd(const ReadBytesAt& read, std::uint64_t fileSize,
                                         const std::string& ident) {
  const char cls = ident[4];
  const char order = ident[5];
  if ((cls != 1 && cls != 2) || (order != 1 && order != 2)) return std::nullopt;
  const ElfLayout& l = cls == 2 ? kElf64 : kElf32;
  const bool be = order == 2;
  std::optional<std::string> h = ReadWithin(read, fileSize, 0, l.headerSize);
  if (!h) return std::nullopt;
  auto field = [&](const std::string& b, std::size_t at, int width) {
    return Number(b, at, width, be);
  };
  const std::uint64_t phoff = field(*h, l.phoff, l.offWidth);
  const std::uint64_t shoff = field(*h, l.shoff, l.offWidth);
  const std::uint64_t phentsize = field(*h, l.phentsize, 2);
  const std::uint64_t shentsize = field(*h, l.shentsize, 2);
  std::uint64_t phnum = field(*h, l.phnum, 2);
  std::uint64_t shnum = field(*h, l.shnum, 2);

  // With very many entries the real counts are kept in the first section header.
  if (shoff != 0 && shentsize >= l.shEntry && (shnum == 0 || phnum == kPnXnum)) {
    if (std::optional<std::string> first = ReadWithin(read, fileSize, shoff, l.shEntry)) {
      if (shnum == 0) shnum = field(*first, l.shSize, l.offWidth);
      if (phnum == kPnXnum) phnum = field(*first, l.shInfo, 4);
    }
  }
  if (phnum > kMaxTableEntries || shnum > kMaxTableEntries) return std::nullopt;
  if ((phnum > 0 && phentsize < l.phEntry) || (shnum > 0 && shentsize < l.shEntry)) {
    return std::nullopt;
  }

  Reach reach;
  reach.Add(0, l.headerSize);
  if (phnum > 0) reach.Add(phoff, MulFar(phnum, phentsize));
  if (shnum > 0) reach.Add(shoff, MulFar(shnum, shentsize));
  // The tables' entries, where the tables are there to be read.
  for (std::uint64_t i = 0; i < phnum; ++i) {
    std::optional<std::string> e = ReadWithin(read, fileSize, AddFar(phoff, i * phentsize), l.phEntry);
    if (!e) break;
    reach.Add(field(*e, l.pOffset, l.offWidth), field(*e, l.pFilesz, l.offWidth));
  }
  for (std::uint64_t i = 0; i < shnum; ++i) {
    std::optional<std::string> e = ReadWithin(read, fileSize, AddFar(shoff, i * shentsize), l.shEntry);
    if (!e) break;
    const std::uint64_t type = field(*e, l.shType, 4);
    if (type == kShtNull || type == kShtNobits) continue;
    reach.Add(field(*e, l.shOffset, l.offWidth), field(*e, l.shSize, l.offWidth));
  }
  return reach.End();
}

constexpr std::size_t kCoffHeaderSize = 24;  // "PE\0\0" and the COFF file header
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kCertificateDirectory = 4;

std::optional<std::uint64_t> PeImageEnd(const ReadBytesAt& read, std::uint64_t fileSize,
                                        const std::string& dos) {
  const std::uint64_t peAt = Le(dos, 0x3C, 4);
  std::optional<std::string> coff = ReadWithin(read, fileSize, peAt, kCoffHeaderSize);
  if (!coff || coff->compare(0, 4, std::string("PE\0\0", 4)) != 0) return std::nullopt;
  const std::uint64_t sections = Le(*coff, 6, 2);
  const std::uint64_t optionalSize = Le(*coff, 20, 2);
  const std::uint64_t optionalAt = peAt + kCoffHeaderSize;
  std::optional<std::string> opt =
      ReadWithin(read, fileSize, optionalAt, static_cast<std::size_t>(optionalSize));
  if (!opt || optionalSize < 64) return std::nullopt;
  const std::uint64_t magic = Le(*opt, 0, 2);
  if (magic != 0x10B && magic != 0x20B) return std::nullopt;

  // A COFF symbol table is left out: it is deprecated in images, and resource editors move
  // it without updating its pointer.
  Reach reach;
  reach.Add(0, Le(*opt, 60, 4));  // SizeOfHeaders
  // The certificate table's "address" is a file offset.
  const std::size_t directories = magic == 0x20B ? 112 : 96;
  const std::size_t certificate = directories + 8 * kCertificateDirectory;
  if (optionalSize >= certificate + 8 && Le(*opt, directories - 4, 4) > kCertificateDirectory) {
    const std::uint64_t size = Le(*opt, certificate + 4, 4);
    if (size > 0) reach.Add(Le(*opt, certificate, 4), size);
  }
  const std::uint64_t tableAt = optionalAt + optionalSize;
  reach.Add(tableAt, sections * kSectionHeaderSize);
  for (std::uint64_t i = 0; i < sections; ++i) {
    std::optional<std::string> s =
        ReadWithin(read, fileSize, tableAt + i * kSectionHeaderSize, kSectionHeaderSize);
    if (!s) break;
    const std::uint64_t rawSize = Le(*s, 16, 4);
    if (rawSize > 0) reach.Add(Le(*s, 20, 4), rawSize);
  }
  return reach.End();
}

}  // namespace

std::optional<ExecutableImage> FindExecutableImage(const ReadBytesAt& read, std::uint64_t fileSize) {
  std::optional<std::string> start = ReadWithin(read, fileSize, 0, 64);
  if (!start) return std::nullopt;
  std::optional<std::uint64_t> end;
  ExecutableKind kind;
  if (start->compare(0, 4, "\x7F" "ELF") == 0) {
    kind = ExecutableKind::kElf;
    end = ElfImageEnd(read, fileSize, *start);
  } else if (start->compare(0, 2, "MZ") == 0) {
    kind = ExecutableKind::kPe;
    end = PeImageEnd(read, fileSize, *start);
  }
  if (!end) return std::nullopt;
  return ExecutableImage{kind, *end};
}

}  // namespace kelv
