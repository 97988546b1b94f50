// Tests of the cipher object: key order, buffers and byte files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "settings/crypto_drelo.h"
#include "test_folder.h"
#include "text/error.h"
#include "text/utf8.h"

namespace kelv {
namespace {

TEST(CryptoDrelo, KeyOrder) {
  using namespace std::string_literals;
  const std::string zeros(7, '\0');
  struct Case { std::string key, want; };
  const Case cases[] = {
      {"\x01", "\x01\x01\x01\x01\x01\x01\x01"},
      {"\x01\x02", "\x01\x01\x01\x01\x01\x01\x01"},          // key byte 0 only
      {"\x01\x02\x04", "\x02\x01\x02\x01\x02\x01\x02"},      // 1, 0, 1, 0 ...
      {"\x01\x02\x04\x08", "\x02\x04\x01\x02\x04\x01\x02"},  // 1, 2, 0, ...; byte 3 unused
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key.size());
    EXPECT_EQ(XorBuffer(c.key, zeros), c.want);
    clsCryptoDrelo crypto;
    crypto.Password(c.key);
    crypto.InBuffer(CipherBuffer::FromBytes(zeros));
    crypto.Encrypt();
    EXPECT_EQ(crypto.OutBuffer().Bytes(), c.want);
  }
  EXPECT_EQ(XorBuffer("abc", ""), "");
}

TEST(CryptoDrelo, EncryptDecryptRoundTrip) {
  clsCryptoDrelo crypto;
  EXPECT_EQ(crypto.Status(), 0);
  crypto.Password("QqRrSs86420975");
  const std::string text = "[Host]\r\nservidor\r\n[/Host]\r\n[Permisos]\r\nContrase\u00f1a \u20ac\r\n[/Permisos]";
  crypto.InBuffer(CipherBuffer::FromText(text));
  crypto.Encrypt();
  EXPECT_EQ(crypto.Status(), 0);
  EXPECT_FALSE(crypto.OutBuffer().IsText());
  const std::string cipher = crypto.OutBuffer().Bytes();
  EXPECT_EQ(cipher.size(), CharCount(text));  // one byte per character
  EXPECT_EQ(cipher[0], static_cast<char>('[' ^ 'q'));

  crypto.InBuffer(CipherBuffer::FromBytes(cipher));
  crypto.Decrypt();
  EXPECT_TRUE(crypto.OutBuffer().IsText());
  EXPECT_EQ(crypto.OutBuffer().Text(), text);

  crypto.Password("another key");
  crypto.Decrypt();
  EXPECT_NE(crypto.OutBuffer().Text(), text);
  EXPECT_EQ(crypto.Status(), 0);
  EXPECT_EQ(crypto.EncDesEnc("ab", true, true, 1, "  "), "AB");
}

TEST(CryptoDrelo, EmptyPasswordFailsAndKeepsOutBuffer) {
  clsCryptoDrelo crypto;
  crypto.Password("k");
  crypto.InBuffer(CipherBuffer::FromText("abc"));
  crypto.Encrypt();
  const std::string before = crypto.OutBuffer().Bytes();
  crypto.Password("");
  for (bool encrypt : {true, false}) {
    try {
      encrypt ? crypto.Encrypt() : crypto.Decrypt();
      ADD_FAILURE() << "no error";
    } catch (const KelvError& e) {
      EXPECT_EQ(e.Number(), kErrSubscript);
    }
    EXPECT_EQ(crypto.OutBuffer().Bytes(), before);
  }
  EXPECT_EQ(crypto.Status(), 0);
}

TEST(CryptoDreloFile, ReadsAndWritesBytes) {
  TestFolder dir;
  clsCryptoDrelo crypto;
  const std::string path = dir.File("ConfBase.cfg");
  EXPECT_EQ(crypto.LeerArchBinario(path), "");
  EXPECT_FALSE(PathExists(path));  // reading creates nothing

  crypto.GuardoArchBinario(path, "");
  EXPECT_FALSE(PathExists(path));  // empty data writes nothing

  const std::string twenty = std::string("\0\x01\xFF\r\n", 5) + std::string(15, 'x');
  crypto.GuardoArchBinario(path, twenty);
  EXPECT_EQ(crypto.LeerArchBinario(path), twenty);
  crypto.GuardoArchBinario(path, "");
  EXPECT_EQ(crypto.LeerArchBinario(path), twenty);  // left untouched
  crypto.GuardoArchBinario(path, "0123456789");
  EXPECT_EQ(crypto.LeerArchBinario(path), "0123456789");
  EXPECT_EQ(FileSize(path).value_or(0), 10u);
  EXPECT_EQ(crypto.Status(), 0);
}

TEST(CryptoDreloFile, WriteFailuresReachTheCallerAndKeepTheOldFile) {
  TestFolder dir;
  clsCryptoDrelo crypto;
  const std::string path = dir.File("ro.cfg");
  crypto.GuardoArchBinario(path, "old");
  ASSERT_TRUE(SetReadOnly(path, true));
  EXPECT_THROW(crypto.GuardoArchBinario(path, "new"), KelvError);
  SetReadOnly(path, false);
  EXPECT_EQ(crypto.LeerArchBinario(path), "old");

  EXPECT_THROW(crypto.GuardoArchBinario(dir.File("missing") + "/x.cfg", "new"), KelvError);
  std::filesystem::create_directory(std::filesystem::u8path(dir.File("folder.cfg")));
  EXPECT_THROW(crypto.GuardoArchBinario(dir.File("folder.cfg"), "new"), KelvError);
  EXPECT_EQ(crypto.LeerArchBinario(dir.File("folder.cfg")), "");
}

}  // namespace
}  // namespace kelv
