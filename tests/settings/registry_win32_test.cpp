// Tests of LeerRegistro against the real registry, with values written by reg.exe (Windows).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/wide_text.h"
#include "settings/registry.h"

namespace kelv {
namespace {

// Runs reg.exe with the given arguments and waits for it; its exit code.
DWORD RunReg(const std::string& args) {
  std::wstring command = L"reg.exe " + Utf8ToWide(args);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &si, &pi)) {
    return 0xFFFFFFFF;
  }
  WaitForSingleObject(pi.hProcess, 120000);
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

// The bytes as reg.exe wants REG_BINARY data: two hex digits each.
std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 15]);
  }
  return out;
}

constexpr const char* kKey = "HKLM\\Software\\KelvTest";

class RealRegistry : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    struct Add { const char* name; const char* type; std::string data; };
    const Add adds[] = {
        {"Name", "REG_SZ", "abc"},
        {"Accents", "REG_SZ", "se\u00f1or \u20ac"},
        {"Empty", "REG_SZ", ""},
        {"Expand", "REG_EXPAND_SZ", "%SystemRoot%\\x"},
        {"Bin0", "REG_BINARY", "616200"},
        {"Bin", "REG_BINARY", "6162"},
        {"Flag", "REG_DWORD", "1"},
        {"Neg", "REG_DWORD", "0xFFFFFFFF"},
        {"Multi", "REG_MULTI_SZ", "a\\0b"},
        {"Fits", "REG_SZ", std::string(1023, 'f')},
        {"TooLong", "REG_SZ", std::string(1024, 't')},
        {"Bin1024", "REG_BINARY", Hex(std::string(1024, 'b'))},
        {"Bin1025", "REG_BINARY", Hex(std::string(1025, 'b'))},
    };
    for (const Add& a : adds) {
      std::string args = std::string("add ") + kKey + " /v " + a.name + " /t " + a.type + " /d \"" + a.data + "\" /f";
      ASSERT_EQ(RunReg(args), 0u) << args;
    }
  }
  static void TearDownTestSuite() { RunReg(std::string("delete ") + kKey + " /f"); }
};

TEST_F(RealRegistry, ReadsValuesOfEveryType) {
  struct Case { std::string key, name, want; std::int32_t type; };
  const std::string key = "Software\\KelvTest";
  const Case cases[] = {
      {key, "Name", "abc", kRegSz},
      {"SOFTWARE\\kelvtest", "NAME", "abc", kRegSz},
      {key, "Accents", "se\u00f1or \u20ac", kRegSz},
      {key, "Empty", "", kRegSz},
      {key, "Expand", "%SystemRoot%\\x", kRegExpandSz},
      {key, "Bin0", "ab", kRegBinary},
      {key, "Bin", "ab", kRegBinary},
      {key, "Flag", "1", kRegDword},
      {key, "Neg", "-1", kRegDword},
      {key, "Multi", "", kRegMultiSz},
      {key, "Fits", std::string(1023, 'f'), kRegSz},
      {key, "TooLong", "", kRegSz},
      {key, "Bin1024", std::string(1024, 'b'), kRegBinary},
      {key, "Bin1025", "", kRegBinary},
      {key, "Missing", "", -7},
      {"Software\\KelvTestMissing", "Name", "", -7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key + " / " + c.name);
    std::int32_t type = -7;
    EXPECT_EQ(LeerRegistro(kHkeyLocalMachine, c.key, type, c.name), c.want);
    EXPECT_EQ(type, c.type);
  }
  std::int32_t type = kRegSz;
  EXPECT_EQ(LeerRegistro(kHkeyCurrentUser, key, type, "Name"), "");  // another root
}

}  // namespace
}  // namespace kelv
