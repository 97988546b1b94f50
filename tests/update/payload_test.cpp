// Tests of the payload footer and of packing and reading payloads appended to a file.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "temp_folder.h"
#include "text/error.h"
#include "update/payload.h"
#include "update/payload_footer.h"

namespace kelv {
namespace {

TEST(PayloadFooter, RoundTripAndRejectsWhatDoesNotFitTheFile) {
  PayloadFooter f;
  f.baseSize = 100;
  f.entries = {{"VERS", 100, 30}, {"MWEB", 130, 0}};
  const std::string bytes = EncodePayloadFooter(f);
  ASSERT_EQ(bytes.size(), kPayloadFooterSize);
  const std::uint64_t fileSize = 130 + kPayloadFooterSize;
  std::optional<PayloadFooter> back = DecodePayloadFooter(bytes, fileSize);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->baseSize, 100u);
  ASSERT_EQ(back->entries.size(), 2u);
  EXPECT_EQ(back->entries[0].name, "VERS");
  EXPECT_EQ(back->entries[0].offset, 100u);
  EXPECT_EQ(back->entries[0].length, 30u);
  EXPECT_EQ(back->entries[1].name, "MWEB");

  EXPECT_FALSE(DecodePayloadFooter(bytes, fileSize - 1));  // the payload reaches the footer
  std::string noMagic = bytes;
  noMagic.back() = 'X';
  EXPECT_FALSE(DecodePayloadFooter(noMagic, fileSize));
  EXPECT_FALSE(DecodePayloadFooter(std::string(kPayloadFooterSize, '\0'), fileSize));
  EXPECT_FALSE(DecodePayloadFooter(bytes.substr(1), fileSize));

  f.entries = {{"TOOLONGNAME", 0, 0}};
  EXPECT_THROW(EncodePayloadFooter(f), KelvError);
  f.entries.assign(kMaxPayloads + 1, PayloadEntry{"A", 0, 0});
  EXPECT_THROW(EncodePayloadFooter(f), KelvError);
}

std::string Pattern(std::size_t size, unsigned seed) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 131 + seed) % 251);
  return s;
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

TEST(AppendedPayloads, PackReadAndRepack) {
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
  EXPECT_EQ(src.Size("VERS"), std::optional<std::uint64_t>(vers.size()));
  std::size_t chunks = 0;
  EXPECT_EQ(ReadWhole(src, "VERS", &chunks), vers);
  EXPECT_EQ(chunks, 4u);
  EXPECT_EQ(ReadWhole(src, "MWEB"), mweb);
  EXPECT_FALSE(src.Size("OTRO"));
  EXPECT_FALSE(src.Read("OTRO", [](const char*, std::size_t) { return true; }));

  // Packing a packed installer again replaces its payloads instead of stacking them.
  AppendPayloads(dir.Path("packed"), {{"MWEB", dir.Path("vers")}}, dir.Path("again"));
  AppendedPayloads again(dir.Path("again"));
  EXPECT_FALSE(again.Size("VERS"));
  EXPECT_EQ(ReadWhole(again, "MWEB"), vers);
  EXPECT_EQ(*FileSize(dir.Path("again")), installer.size() + vers.size() + kPayloadFooterSize);

  // A file without payloads, and one that does not exist, have none.
  EXPECT_FALSE(AppendedPayloads(dir.Path("inst")).Size("VERS"));
  EXPECT_FALSE(AppendedPayloads(dir.Path("missing")).Size("VERS"));
}

TEST(AppendedPayloads, FailedPackLeavesNoOutput) {
  TempFolder dir;
  WriteFileReplacing(dir.Path("inst"), "MZ");
  WriteFileReplacing(dir.Path("vers"), "data");
  struct Case { std::vector<PayloadFile> payloads; std::string installer; std::string output; };
  const Case cases[] = {
      {{{"VERS", dir.Path("missing")}}, dir.Path("inst"), dir.Path("out")},
      {{{"VERS", dir.Path("vers")}}, dir.Path("missing"), dir.Path("out")},
      {{{"NAMETOOLONG", dir.Path("vers")}}, dir.Path("inst"), dir.Path("out")},
      {{{"VERS", dir.Path("vers")}}, dir.Path("inst"), dir.Path("no-folder/out")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output + " " + c.payloads[0].path);
    EXPECT_THROW(AppendPayloads(c.installer, c.payloads, c.output), KelvError);
    EXPECT_FALSE(PathExists(c.output));
    EXPECT_FALSE(PathExists(c.output + ".part"));
  }
}

}  // namespace
}  // namespace kelv
