// Tests of starting programs on Linux: the program runs detached with the single argument,
// and one that cannot be started is reported.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/files.h"
#include "temp_folder.h"
#include "update/launcher.h"

namespace kelv {
namespace {

TEST(PosixLauncher, StartsWithTheSingleArgumentWithoutWaiting) {
  TempFolder dir;
  const std::string program = dir.Path("stub updater");
  WriteFileReplacing(program, "#!/bin/sh\nprintf '%s|' \"$@\" > \"$0.args\"\n");
  ::chmod(program.c_str(), 0755);
  auto launcher = NativeLauncher();
  ASSERT_TRUE(launcher->StartProgram(program, "ORI=/a b/AuxActu.tmp,NVer=40161"));
  std::optional<std::string> got;
  for (int i = 0; i < 200 && !(got = ReadFileBytes(program + ".args")); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(got, std::string("ORI=/a b/AuxActu.tmp,NVer=40161|"));
  EXPECT_FALSE(launcher->StartProgram(dir.Path("missing"), "x"));
}

}  // namespace
}  // namespace kelv
