// Small executable images built byte by byte for the tests of the image and payload readers
// (all OSes): an ELF64 little-endian, an ELF32 big-endian and a PE32+ file, each with the
// offset where its image ends.
#pragma once

#include <cstdint>
#include <string>

#include "update/executable_image.h"

namespace kelv {

struct ImageFixture {
  const char* name;
  std::string bytes;  // exactly the image: it ends where its headers say
};

// Writes value into bytes at `at`, width bytes, in the given byte order.
inline void PutNumber(std::string& bytes, std::size_t at, std::uint64_t value, int width,
                      bool bigEndian = false) {
  for (int i = 0; i < width; ++i) {
    const int shift = 8 * (bigEndian ? width - 1 - i : i);
    bytes[at + i] = static_cast<char>((value >> shift) & 0xFF);
  }
}

// ELF64, little-endian: a program header covering the first 200 bytes, a PROGBITS section
// at 200 of 100 bytes, a NOBITS section that takes no file bytes, the section table at 304.
inline ImageFixture Elf64Fixture() {
  std::string b(304 + 3 * 64, '\0');
  b.replace(0, 4, "\x7F" "ELF");
  b[4] = 2;
  b[5] = 1;
  b[6] = 1;
  PutNumber(b, 32, 64, 8);   // e_phoff
  PutNumber(b, 40, 304, 8);  // e_shoff
  PutNumber(b, 54, 56, 2);   // e_phentsize
  PutNumber(b, 56, 1, 2);    // e_phnum
  PutNumber(b, 58, 64, 2);   // e_shentsize
  PutNumber(b, 60, 3, 2);    // e_shnum
  PutNumber(b, 64 + 8, 0, 8);     // p_offset
  PutNumber(b, 64 + 32, 200, 8);  // p_filesz
  const std::size_t s1 = 304 + 64, s2 = 304 + 128;
  PutNumber(b, s1 + 4, 1, 4);  // PROGBITS
  PutNumber(b, s1 + 24, 200, 8);
  PutNumber(b, s1 + 32, 100, 8);
  PutNumber(b, s2 + 4, 8, 4);  // NOBITS
  PutNumber(b, s2 + 24, 300, 8);
  PutNumber(b, s2 + 32, 100000, 8);
  return {"ELF64 little-endian", b};
}

// ELF32, big-endian: the section table first (at 52), then one section of 40 bytes at 200.
inline ImageFixture Elf32BigEndianFixture() {
  std::string b(240, '\0');
  b.replace(0, 4, "\x7F" "ELF");
  b[4] = 1;
  b[5] = 2;
  b[6] = 1;
  PutNumber(b, 32, 52, 4, true);  // e_shoff
  PutNumber(b, 46, 40, 2, true);  // e_shentsize
  PutNumber(b, 48, 2, 2, true);   // e_shnum
  const std::size_t s1 = 52 + 40;
  PutNumber(b, s1 + 4, 1, 4, true);
  PutNumber(b, s1 + 16, 200, 4, true);
  PutNumber(b, s1 + 20, 40, 4, true);
  return {"ELF32 big-endian", b};
}

// PE32+: headers up to 0x200, two sections to 0x380, a COFF symbol table of two symbols and
// a string table of 8 bytes to 0x3AC (which do not count), and a certificate table at 0x3B0
// to 0x3D0.
inline ImageFixture Pe32PlusFixture() {
  std::string b(0x3D0, '\0');
  b.replace(0, 2, "MZ");
  PutNumber(b, 0x3C, 64, 4);
  b.replace(64, 4, std::string("PE\0\0", 4));
  PutNumber(b, 68, 0x8664, 2);
  PutNumber(b, 70, 2, 2);       // sections
  PutNumber(b, 76, 0x380, 4);   // symbol table
  PutNumber(b, 80, 2, 4);       // symbols
  PutNumber(b, 84, 240, 2);     // optional header size
  const std::size_t opt = 88;
  PutNumber(b, opt, 0x20B, 2);
  PutNumber(b, opt + 60, 0x200, 4);  // SizeOfHeaders
  PutNumber(b, opt + 108, 16, 4);    // data directories
  PutNumber(b, opt + 112 + 32, 0x3B0, 4);  // certificate table: file offset, size
  PutNumber(b, opt + 112 + 36, 0x20, 4);
  const std::size_t table = opt + 240;
  PutNumber(b, table + 16, 0x100, 4);
  PutNumber(b, table + 20, 0x200, 4);
  PutNumber(b, table + 40 + 16, 0x80, 4);
  PutNumber(b, table + 40 + 20, 0x300, 4);
  PutNumber(b, 0x380 + 36, 8, 4);  // string table length
  return {"PE32+", b};
}

// A reader over bytes in memory.
inline ReadBytesAt MemoryReader(const std::string& bytes) {
  return [&bytes](std::uint64_t offset, std::size_t size, char* into) {
    if (offset > bytes.size() || size > bytes.size() - offset) return false;
    bytes.copy(into, size, static_cast<std::size_t>(offset));
    return true;
  };
}

}  // namespace kelv
