// The installer's start-up checks for running programs, alone: ProcessInfo for
// KelvPersonal.exe and then ModuloWeb.exe, as the start-up sequence asks. Run as a process
// by bench/update_run.sh, which compares it with pgrep -x over the same process list.
// Prints how many of the two programs were found.
#include <cstdio>

#include "update/process_info.h"

int main() {
  int found = 0;
  for (const char* name : {"KelvPersonal.exe", "ModuloWeb.exe"}) {
    if (kelv::ProcessInfo(name) != 0) ++found;
  }
  std::printf("%d\n", found);
  return 0;
}
