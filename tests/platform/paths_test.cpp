// Tests of path joining with the native separator.
#include <gtest/gtest.h>

#include "platform/paths.h"

namespace kelv {
namespace {

TEST(Paths, JoinPutsExactlyOneSeparator) {
  const std::string s(1, kPathSep);
  EXPECT_EQ(JoinSep("App", "Utiles"), "App" + s + "Utiles");
  EXPECT_EQ(JoinSep("App" + s, "Utiles"), "App" + s + "Utiles");
  EXPECT_EQ(JoinSep("", "Utiles"), s + "Utiles");
}

TEST(Paths, FolderAndFileNameSplitAtEitherSeparator) {
  EXPECT_EQ(FolderOf("C:\\Datos\\ConfBase.cfg"), "C:\\Datos\\");
  EXPECT_EQ(FileNameOf("C:\\Datos\\ConfBase.cfg"), "ConfBase.cfg");
  EXPECT_EQ(FolderOf("ConfBase.cfg"), "");
  EXPECT_EQ(FileNameOf("ConfBase.cfg"), "ConfBase.cfg");
  EXPECT_EQ(NativeSeparators("Utiles\\RuviDurUdi\\"),
            std::string("Utiles") + kPathSep + "RuviDurUdi" + kPathSep);
}

}  // namespace
}  // namespace kelv
