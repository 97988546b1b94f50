// Tests of the database password read from a Jet database's first page: the real Jet 4
// fixture (no password), copies given a password by an independent writer (protect_mdb.py),
// and headers that are not Jet 3 or Jet 4 ones.
#include <gtest/gtest.h>

#include <string>

#include "connector/jet_header.h"
#include "platform/files.h"

namespace kelv {
namespace {

// The first page of the fixture named by the environment variable, or "" where there is none.
std::string FirstPageOf(const char* variable) {
  const std::string path = GetEnv(variable).value_or("");
  if (path.empty()) return std::string();
  return ReadFileBytes(path).value_or("").substr(0, 4096);
}

TEST(JetHeader, PasswordsOfRealHeaders) {
  const std::string plain = FirstPageOf("KELV_TEST_MDB");
  if (plain.empty()) GTEST_SKIP() << "no Jet database here: the Linux build fetches one";
  // The fixture has no password: its 40 password bytes unmask to zeros.
  EXPECT_EQ(JetDatabasePassword(plain), std::string());
  EXPECT_EQ(JetDatabasePassword(FirstPageOf("KELV_TEST_MDB_PROTECTED")),
            GetEnv("KELV_TEST_MDB_PASSWORD").value_or("?"));
  EXPECT_EQ(JetDatabasePassword(FirstPageOf("KELV_TEST_JET3_HEADER")), std::string("Clave"));
}

TEST(JetHeader, OtherBytesAreNoJetHeader) {
  std::string page(kJetHeaderBytes, '\0');
  page.replace(4, 15, "Standard Jet DB");
  page[0x14] = 1;
  EXPECT_TRUE(JetDatabasePassword(page).has_value());
  EXPECT_FALSE(JetDatabasePassword(page.substr(0, kJetHeaderBytes - 1)));  // too short
  EXPECT_FALSE(JetDatabasePassword(""));
  std::string ace = page;
  ace.replace(4, 15, "Standard ACE DB");
  EXPECT_FALSE(JetDatabasePassword(ace));
  std::string later = page;
  later[0x14] = 2;  // the format Access 2007 writes
  EXPECT_FALSE(JetDatabasePassword(later));
}

}  // namespace
}  // namespace kelv
