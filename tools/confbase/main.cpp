// confbase: reads and writes enciphered connection description files and writes branding
// files (all OSes). See confbase --help.
#include <cstdio>

#include "confbase_commands.h"
#include "platform/command_line.h"
#include "platform/version.h"

int main(int argc, char** argv) {
  if (kelv::ShowVersionIfAsked(argc, argv, "confbase")) return 0;
  kelv::UseBinaryStreams();
  kelv::ConfbaseResult result = kelv::RunConfbase(kelv::Utf8Arguments(argc, argv));
  std::fwrite(result.out.data(), 1, result.out.size(), stdout);
  if (!result.err.empty()) std::fprintf(stderr, "%s\n", result.err.c_str());
  if (std::fflush(stdout) != 0 && result.exitCode == 0) {
    std::fprintf(stderr, "confbase: cannot write to standard output\n");
    return 1;
  }
  return result.exitCode;
}
