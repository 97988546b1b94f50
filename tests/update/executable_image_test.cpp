// Tests of where an executable's image ends: built images of each kind, the test program's
// own file (ELF on Linux, PE under Wine), and files cut short, lengthened or made up.
#include <gtest/gtest.h>

#include "executable_fixtures.h"
#include "platform/files.h"
#include "update/executable_image.h"

namespace kelv {
namespace {

std::optional<std::uint64_t> EndOf(const std::string& bytes) {
  std::optional<ExecutableImage> image = FindExecutableImage(MemoryReader(bytes), bytes.size());
  if (!image) return std::nullopt;
  return image->end;
}

TEST(ExecutableImage, EndsWhereItsHeadersSay) {
  for (const ImageFixture& f : {Elf64Fixture(), Elf32BigEndianFixture(), Pe32PlusFixture()}) {
    SCOPED_TRACE(f.name);
    const std::uint64_t size = f.bytes.size();
    EXPECT_EQ(EndOf(f.bytes), size);
    EXPECT_EQ(EndOf(f.bytes + std::string(1000, 'x')), size) << "bytes after the image";
    // Cut short anywhere after the first headers: the end still lies beyond the file.
    for (std::size_t cut : {size - 1, size / 2}) {
      SCOPED_TRACE(cut);
      const std::optional<std::uint64_t> end = EndOf(f.bytes.substr(0, cut));
      ASSERT_TRUE(end);
      EXPECT_GT(*end, cut);
    }
  }
}

TEST(ExecutableImage, ThisProgramsOwnFile) {
  const std::string self = *ReadFileBytes(ExecutablePath());
  std::optional<ExecutableImage> image = FindExecutableImage(MemoryReader(self), self.size());
  ASSERT_TRUE(image);
#ifdef _WIN32
  // A COFF symbol table may follow the image of a program built with its symbols.
  EXPECT_EQ(image->kind, ExecutableKind::kPe);
  EXPECT_LE(image->end, self.size());
#else
  EXPECT_EQ(image->kind, ExecutableKind::kElf);
  EXPECT_EQ(image->end, self.size());
#endif
  const std::uint64_t cut = image->end - 1;
  EXPECT_GT(EndOf(self.substr(0, cut)), cut);
}

TEST(ExecutableImage, OtherFilesAndHeadersThatReachFarAway) {
  for (const std::string& other : {std::string(), std::string("MZ"), std::string(100, '\0'),
                                   std::string("\x7F" "ELF") + std::string(100, '\x03'),
                                   std::string("#!/bin/sh\nexit 0\n") + std::string(100, ' ')}) {
    EXPECT_FALSE(EndOf(other)) << other.substr(0, 8);
  }
  // Offsets and sizes near the top of the number range: no overflow, the image reaches past
  // the file.
  std::string elf = Elf64Fixture().bytes;
  PutNumber(elf, 304 + 64 + 24, ~std::uint64_t{0} - 5, 8);
  EXPECT_GT(*EndOf(elf), elf.size());
  std::string pe = Pe32PlusFixture().bytes;
  PutNumber(pe, 88 + 240 + 20, 0xFFFFFFFF, 4);
  EXPECT_GT(*EndOf(pe), pe.size());
  // A symbol table pointer left stale by a resource editor does not count.
  pe = Pe32PlusFixture().bytes;
  PutNumber(pe, 76, 0xFFFFFFF0, 4);
  EXPECT_EQ(EndOf(pe), pe.size());
  // A section table that lies beyond the file counts with its full size.
  elf = Elf64Fixture().bytes;
  PutNumber(elf, 40, 1u << 20, 8);
  EXPECT_EQ(EndOf(elf), (1u << 20) + 3 * 64);
}

}  // namespace
}  // namespace kelv
