// Tests of the hand-over command lines and of the command-line argument text.
#include <gtest/gtest.h>

#include "update/command_line.h"
#include "update/launcher.h"

namespace kelv {
namespace {

TEST(HandOverCommandLines, ProgramQuotedArgumentUnchanged) {
  EXPECT_EQ(WindowsCommandLine("C:\\Archivos de programa\\Kelv\\Utiles\\Actualizador\\Updater.exe",
                               "ORI=C:\\A B\\AuxActu.tmp,NVer=40161"),
            "\"C:\\Archivos de programa\\Kelv\\Utiles\\Actualizador\\Updater.exe\" "
            "ORI=C:\\A B\\AuxActu.tmp,NVer=40161");
  EXPECT_EQ(ExplorerCommandLine("C:\\A B\\AuxActu.upd"),
            "Explorer.EXE /select, \"C:\\A B\\AuxActu.upd\"");
  EXPECT_EQ(FileUri("/tmp/a b/\u00F1'x.upd"), "file:///tmp/a%20b/%C3%B1%27x.upd");
}

TEST(HandOverCommandLines, ArgumentsFollowTheProgramName) {
  struct Case { const char* line; const char* args; };
  const Case cases[] = {
      {"Actualizador.exe", ""},
      {"Actualizador.exe UPD", "UPD"},
      {"\"C:\\Program Files\\Actualizador.exe\"  upd x", "upd x"},
      {"  C:\\Actualizador.exe\t/x", "/x"},
      {"\"C:\\upd dir\\Actualizador.exe\"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(ArgumentsOfCommandLine(c.line), c.args);
  }
}

}  // namespace
}  // namespace kelv
