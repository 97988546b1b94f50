// Tests of LeerRegistro over a registry file named by KELV_REGISTRY (Linux).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "settings/registry.h"
#include "settings/registry_value.h"
#include "test_folder.h"

namespace kelv {
namespace {

class RegistryFile : public ::testing::Test {
 protected:
  void SetUp() override { setenv("KELV_REGISTRY", path_.c_str(), 1); }
  void TearDown() override { unsetenv("KELV_REGISTRY"); }

  // Writes text as regedit 5 does: UTF-16LE after a byte-order mark.
  void Write(const std::string& text) {
    std::ofstream(path_, std::ios::binary) << "\xFF\xFE" << Utf16LeFromUtf8(text);
  }

  std::string Read(std::uint32_t root, const std::string& key, const std::string& name,
                   std::int32_t* typeOut = nullptr) {
    std::int32_t type = kRegSz;
    std::string text = LeerRegistro(root, key, type, name);
    if (typeOut) *typeOut = type;
    return text;
  }

  TestFolder dir_;
  std::string path_ = dir_.File("registry.reg");
};

TEST_F(RegistryFile, ReadsValuesAsTheRegistryWould) {
  const std::string key = "SOFTWARE\\Brandel Software\\Kelv Personal";
  Write("Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\" + key + "]\r\n"
        "\"PathAplicacion\"=\"C:\\\\Kelv Personal\"\r\n"
        "\"BaseGral\"=\"D:\\\\Datos se\u00f1or\"\r\n"
        "\"Empty\"=\"\"\r\n"
        "\"Flag\"=dword:00000001\r\n"
        "\"Bin0\"=hex:61,62,00\r\n"
        "\"Bin\"=hex:61,62\r\n"
        "\"Multi\"=hex(7):61,00,00,00,00,00\r\n"
        "\"Fits\"=\"" + std::string(1023, 'f') + "\"\r\n"
        "\"TooLong\"=\"" + std::string(1024, 't') + "\"\r\n"
        "[HKEY_CURRENT_USER\\Software\\ODBC\\ODBC.INI\\Nomina]\r\n"
        "\"Driver\"=\"user\"\r\n");
  struct Case { std::uint32_t root; std::string key, name, want; std::int32_t type; };
  const Case cases[] = {
      {kHkeyLocalMachine, key, "PathAplicacion", "C:\\Kelv Personal", kRegSz},
      {kHkeyLocalMachine, "software\\brandel software\\KELV PERSONAL", "basegral", "D:\\Datos se\u00f1or", kRegSz},
      {kHkeyLocalMachine, key, "Empty", "", kRegSz},
      {kHkeyLocalMachine, key, "Flag", "1", kRegDword},
      {kHkeyLocalMachine, key, "Bin0", "ab", kRegBinary},
      {kHkeyLocalMachine, key, "Bin", "ab", kRegBinary},
      {kHkeyLocalMachine, key, "Multi", "", kRegMultiSz},
      {kHkeyLocalMachine, key, "Fits", std::string(1023, 'f'), kRegSz},
      {kHkeyLocalMachine, key, "TooLong", "", kRegSz},
      {kHkeyLocalMachine, key, "Missing", "", -7},
      {kHkeyLocalMachine, "SOFTWARE\\Missing", "PathAplicacion", "", -7},
      {kHkeyCurrentUser, "Software\\ODBC\\ODBC.INI\\Nomina", "Driver", "user", kRegSz},
      {kHkeyLocalMachine, "Software\\ODBC\\ODBC.INI\\Nomina", "Driver", "", -7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key + " / " + c.name);
    std::int32_t type = -7;
    std::string got = LeerRegistro(c.root, c.key, type, c.name);
    EXPECT_EQ(got, c.want);
    EXPECT_EQ(type, c.type);
  }
}

TEST_F(RegistryFile, FileIsReadAfreshAndMayBeMissingOrBroken) {
  EXPECT_EQ(Read(kHkeyLocalMachine, "K", "V"), "");  // no file: an empty registry
  Write("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=\"one\"\r\n");
  EXPECT_EQ(Read(kHkeyLocalMachine, "K", "V"), "one");
  // Windows-1252 bytes without a byte-order mark.
  std::ofstream(path_, std::ios::binary | std::ios::trunc)
      << "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\K]\r\n\"V\"=\"Espa\xF1" "a\"\r\n";
  EXPECT_EQ(Read(kHkeyLocalMachine, "K", "V"), "Espa\u00f1a");

  std::string garbage;
  for (int i = 0; i < 100000; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256));
  std::ofstream(path_, std::ios::binary | std::ios::trunc) << garbage;
  EXPECT_EQ(Read(kHkeyLocalMachine, "K", "V"), "");

  std::filesystem::remove(path_);
  std::filesystem::create_directory(path_);  // unreadable: a folder
  EXPECT_EQ(Read(kHkeyLocalMachine, "K", "V"), "");
}

}  // namespace
}  // namespace kelv
