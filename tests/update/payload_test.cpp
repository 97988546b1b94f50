// Tests of the payload footer (both layouts), of what a file carries behind its executable
// image, and of packing, reading and checking payloads appended to a file.
#include <gtest/gtest.h>

#include "executable_fixtures.h"
#include "platform/files.h"
#include "temp_folder.h"
#include "text/error.h"
#include "update/packed_file.h"
#include "update/payload.h"
#include "update/payload_footer.h"

namespace kelv {
namespace {

std::string Pattern(std::size_t size, unsigned seed) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 131 + seed) % 251);
  return s;
}

// The file's last min(size, kPayloadFooterSize) bytes, as the reader takes them.
FooterReading Decode(const std::string& file) {
  const std::size_t n = std::min(file.size(), kPayloadFooterSize);
  return DecodePayloadFooter(std::string_view(file).substr(file.size() - n), file.size());
}

TEST(PayloadFooter, BothLayoutsRoundTrip) {
  for (std::uint32_t version : {2u, 1u}) {
    SCOPED_TRACE(version);
    PayloadFooter f;
    f.version = version;
    f.baseSize = 100;
    f.entries = {{"VERS", 100, 30, Sha256Of("vers")}, {"MWEB", 130, 0, Sha256Of("")}};
    const std::string bytes = EncodePayloadFooter(f);
    ASSERT_EQ(bytes.size(), PayloadFooterSize(version));
    const std::string file = Pattern(130, 1) + bytes;
    FooterReading r = Decode(file);
    ASSERT_EQ(r.state, FooterReading::kValid) << r.problem;
    EXPECT_EQ(r.footer.version, version);
    EXPECT_EQ(r.footer.baseSize, 100u);
    ASSERT_EQ(r.footer.entries.size(), 2u);
    EXPECT_EQ(r.footer.entries[0].name, "VERS");
    EXPECT_EQ(r.footer.entries[0].offset, 100u);
    EXPECT_EQ(r.footer.entries[0].length, 30u);
    EXPECT_EQ(r.footer.entries[1].name, "MWEB");
    if (version == 2) {
      EXPECT_EQ(r.footer.entries[0].digest, Sha256Of("vers"));
    } else {
      EXPECT_FALSE(r.footer.entries[0].digest) << "layout 1 stores no digest";
    }
    // A file one byte shorter: the payload reaches into the footer.
    EXPECT_EQ(Decode(file.substr(1)).state, FooterReading::kInvalid);
  }
}

TEST(PayloadFooter, AbsentOrInvalid) {
  PayloadFooter f;
  f.baseSize = 10;
  f.entries = {{"VERS", 10, 20, Sha256Of("x")}};
  const std::string good = Pattern(30, 2) + EncodePayloadFooter(f);
  ASSERT_EQ(Decode(good).state, FooterReading::kValid);

  EXPECT_EQ(Decode("").state, FooterReading::kAbsent);
  EXPECT_EQ(Decode("KELVPAK1").state, FooterReading::kAbsent);
  EXPECT_EQ(Decode(good.substr(0, good.size() - 1)).state, FooterReading::kAbsent);
  // Any byte of a layout 2 footer changed, the magic's aside, fails its own check or its
  // version.
  for (std::size_t at = 30; at < good.size() - 8; ++at) {
    std::string bad = good;
    bad[at] ^= 0x01;
    const FooterReading r = Decode(bad);
    ASSERT_EQ(r.state, FooterReading::kInvalid) << "byte " << at;
  }
  EXPECT_EQ(Decode(good.substr(good.size() - 100)).problem, "the file is shorter than its footer");

  // Layout 1 has no check of its own: its fields are checked one by one.
  auto v1 = [](std::uint64_t base, std::vector<PayloadEntry> entries, std::size_t before) {
    PayloadFooter old;
    old.version = 1;
    old.baseSize = base;
    old.entries = std::move(entries);
    return Pattern(before, 3) + EncodePayloadFooter(old);
  };
  struct Case { const char* what; std::string file; };
  std::string tooMany = v1(0, {}, 0);
  PutNumber(tooMany, kPayloadFooterSizeV1 - 16, 5, 4);
  std::string unknown = v1(0, {}, 0);
  PutNumber(unknown, kPayloadFooterSizeV1 - 12, 3, 4);
  std::string control = v1(0, {{"VERS", 0, 1, {}}}, 1);
  control[1 + 1] = '\n';
  const Case cases[] = {
      {"too many entries", tooMany},
      {"unknown version", unknown},
      {"a control character in a name", control},
      {"the base reaches into the footer", v1(11, {}, 10)},
      {"an entry before the base", v1(5, {{"VERS", 4, 1, {}}}, 10)},
      {"an entry into the footer", v1(0, {{"VERS", 5, 6, {}}}, 10)},
      {"an offset near the top", v1(0, {{"VERS", ~std::uint64_t{0}, 2, {}}}, 10)},
      {"a length near the top", v1(0, {{"VERS", 2, ~std::uint64_t{0} - 1, {}}}, 10)},
      {"a name twice", v1(0, {{"VERS", 0, 1, {}}, {"VERS", 1, 1, {}}}, 10)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Decode(c.file).state, FooterReading::kInvalid) << c.what;
  }

  f.entries = {{"TOOLONGNAME", 0, 0, Sha256Of("")}};
  EXPECT_THROW(EncodePayloadFooter(f), KelvError);
  f.entries = {{"VERS", 0, 0, std::nullopt}};
  EXPECT_THROW(EncodePayloadFooter(f), KelvError) << "layout 2 needs every digest";
  f.entries.assign(kMaxPayloads + 1, PayloadEntry{"A", 0, 0, Sha256Of("")});
  EXPECT_THROW(EncodePayloadFooter(f), KelvError);
  f.entries.clear();
  f.version = 3;
  EXPECT_THROW(EncodePayloadFooter(f), KelvError);
}

// An ELF image with payloads and a footer of the given layout behind it.
std::string PackedImage(std::uint32_t version, const std::string& vers) {
  std::string file = Elf64Fixture().bytes;
  PayloadFooter f;
  f.version = version;
  f.baseSize = file.size();
  f.entries = {{"VERS", file.size(), vers.size(), Sha256Of(vers)}};
  return file + vers + EncodePayloadFooter(f);
}

TEST(PackedFile, WhatAFileCarriesBehindItsImage) {
  const std::string vers = Pattern(5000, 4);
  const std::string image = Elf64Fixture().bytes;
  const std::string packed = PackedImage(2, vers);
  struct Case {
    const char* what;
    std::string file;
    bool footer;
    const char* damage;  // a part of the reason, or "" for a whole file
  };
  std::string flipped = packed;
  flipped[packed.size() - 100] ^= 0x20;
  const Case cases[] = {
      {"packed", packed, true, ""},
      {"packed before digests", PackedImage(1, vers), true, ""},
      {"never packed", image, false, ""},
      {"not an executable, no footer", Pattern(3000, 5), false, ""},
      {"cut inside the payload", packed.substr(0, image.size() + 1000), false,
       "1000 bytes after its executable image"},
      {"cut inside the footer", packed.substr(0, packed.size() - 10), false,
       "after its executable image"},
      {"a footer byte changed", flipped, false, "payload footer is damaged"},
      {"cut inside the image", image.substr(0, image.size() - 1), false, "cut short"},
      {"bytes appended to a packed file", packed + "junk", false, "after its executable image"},
      // A Windows installer carries its payloads as resources: bytes after its image are
      // left by resource editors, and only a file cut short is damaged.
      {"bytes after a PE image", Pe32PlusFixture().bytes + "symbols", false, ""},
      {"a PE image cut short", Pe32PlusFixture().bytes.substr(0, 0x300), false, "cut short"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const PackedFile f = InspectPackedFile(MemoryReader(c.file), c.file.size());
    EXPECT_EQ(f.footer.has_value(), c.footer);
    if (*c.damage == '\0') {
      EXPECT_EQ(f.damage, "");
    } else {
      EXPECT_NE(f.damage.find(c.damage), std::string::npos) << f.damage;
    }
  }
}

std::string ReadWhole(const PayloadSource& src, const char* name, std::size_t* chunks = nullptr) {
  std::string out;
  std::size_t n = 0;
  EXPECT_TRUE(src.Read(name, [&](const char* d, std::size_t size) {
    EXPECT_LE(size, std::size_t{1} << 20);
    out.append(d, size);
    ++n;
    return true;
  }));
  if (chunks) *chunks = n;
  return out;
}

PayloadCheck CheckOf(const PayloadSource& src, const char* name) {
  return ReadAndCheck(src, name, [](const char*, std::size_t) { return true; }).check;
}

TEST(AppendedPayloads, PackReadCheckAndRepack) {
  TempFolder dir;
  const std::string installer = Pattern(5000, 1);
  const std::string vers = Pattern((3u << 20) + 17, 2);  // several chunks
  const std::string mweb = Pattern(10, 3);
  WriteFileReplacing(dir.Path("inst"), installer);
  WriteFileReplacing(dir.Path("vers"), vers);
  WriteFileReplacing(dir.Path("mweb"), mweb);

  AppendPayloads(dir.Path("inst"), {{"VERS", dir.Path("vers")}, {"MWEB", dir.Path("mweb")}},
                 dir.Path("packed"));
  const std::string packed = *ReadFileBytes(dir.Path("packed"));
  EXPECT_EQ(packed.substr(0, installer.size()), installer) << "the installer comes first";
  AppendedPayloads src(dir.Path("packed"));
  EXPECT_EQ(src.Damage(), "");
  EXPECT_EQ(src.Names(), (std::vector<std::string>{"VERS", "MWEB"}));
  EXPECT_EQ(src.Size("VERS"), std::optional<std::uint64_t>(vers.size()));
  EXPECT_EQ(src.StoredDigest("VERS"), Sha256Of(vers));
  std::size_t chunks = 0;
  EXPECT_EQ(ReadWhole(src, "VERS", &chunks), vers);
  EXPECT_EQ(chunks, 4u);
  EXPECT_EQ(ReadWhole(src, "MWEB"), mweb);
  EXPECT_EQ(CheckOf(src, "VERS"), PayloadCheck::kIntact);
  EXPECT_EQ(CheckOf(src, "OTRO"), PayloadCheck::kDamaged);
  EXPECT_FALSE(src.Size("OTRO"));
  EXPECT_FALSE(src.Read("OTRO", [](const char*, std::size_t) { return true; }));

  // One byte of the package changed on disk: the footer still reads, the digest does not
  // match, and a sink that stops is told apart.
  std::string flipped = packed;
  flipped[installer.size() + 12345] ^= 0x01;
  WriteFileReplacing(dir.Path("flipped"), flipped);
  AppendedPayloads damaged(dir.Path("flipped"));
  EXPECT_EQ(CheckOf(damaged, "VERS"), PayloadCheck::kDamaged);
  EXPECT_EQ(CheckOf(damaged, "MWEB"), PayloadCheck::kIntact);
  const PayloadReading stopped =
      ReadAndCheck(damaged, "VERS", [](const char*, std::size_t) { return false; });
  EXPECT_EQ(stopped.check, PayloadCheck::kSinkStopped);

  // Without digests: the layout of earlier packers, read unchecked.
  AppendPayloads(dir.Path("inst"), {{"VERS", dir.Path("vers")}}, dir.Path("old"), StoreDigests::kNo);
  EXPECT_EQ(*FileSize(dir.Path("old")), installer.size() + vers.size() + kPayloadFooterSizeV1);
  AppendedPayloads old(dir.Path("old"));
  EXPECT_FALSE(old.StoredDigest("VERS"));
  EXPECT_EQ(CheckOf(old, "VERS"), PayloadCheck::kNoDigest);

  // Packing a packed installer again replaces its payloads instead of stacking them, from
  // either layout.
  for (const char* from : {"packed", "old"}) {
    SCOPED_TRACE(from);
    AppendPayloads(dir.Path(from), {{"MWEB", dir.Path("vers")}}, dir.Path("again"));
    AppendedPayloads again(dir.Path("again"));
    EXPECT_FALSE(again.Size("VERS"));
    EXPECT_EQ(ReadWhole(again, "MWEB"), vers);
    EXPECT_EQ(*FileSize(dir.Path("again")), installer.size() + vers.size() + kPayloadFooterSize);
  }

  // A file without payloads, and one that does not exist, have none.
  EXPECT_FALSE(AppendedPayloads(dir.Path("inst")).Size("VERS"));
  EXPECT_FALSE(AppendedPayloads(dir.Path("missing")).Size("VERS"));
  EXPECT_TRUE(AppendedPayloads(dir.Path("missing")).Names().empty());
}

TEST(AppendedPayloads, FailedPackLeavesNoOutput) {
  TempFolder dir;
  WriteFileReplacing(dir.Path("inst"), "MZ");
  WriteFileReplacing(dir.Path("vers"), "data");
  // An executable cut short, as a damaged download: refused as an installer to pack.
  const std::string image = Elf64Fixture().bytes;
  WriteFileReplacing(dir.Path("cut"), image.substr(0, image.size() - 1));
  struct Case { std::vector<PayloadFile> payloads; std::string installer; std::string output; };
  const Case cases[] = {
      {{{"VERS", dir.Path("missing")}}, dir.Path("inst"), dir.Path("out")},
      {{{"VERS", dir.Path("vers")}}, dir.Path("missing"), dir.Path("out")},
      {{{"NAMETOOLONG", dir.Path("vers")}}, dir.Path("inst"), dir.Path("out")},
      {{{"VERS", dir.Path("vers")}}, dir.Path("inst"), dir.Path("no-folder/out")},
      {{{"VERS", dir.Path("vers")}}, dir.Path("cut"), dir.Path("out")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.installer + " " + c.output + " " + c.payloads[0].path);
    EXPECT_THROW(AppendPayloads(c.installer, c.payloads, c.output), KelvError);
    EXPECT_FALSE(PathExists(c.output));
    EXPECT_FALSE(PathExists(c.output + ".part"));
  }
}

}  // namespace
}  // namespace kelv
