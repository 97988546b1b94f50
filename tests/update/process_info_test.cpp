// Tests of the running-program detection: the field helpers, the scan over a fake process
// list (growth of the list, skipping, matching) and the system's own list.
#include <gtest/gtest.h>

#include <map>

#include "platform/files.h"
#include "platform/ui_yield.h"
#include "text/error.h"
#include "update/process_api.h"
#include "update/process_info.h"

namespace kelv {
namespace {

TEST(ProcessFields, CountAndGet) {
  struct Case { const char* text; std::int16_t count; const char* last; };
  const Case cases[] = {
      {"", 0, ""},
      {"A", 1, "A"},
      {"C:\\APPS\\KELVPERSONAL.EXE", 3, "KELVPERSONAL.EXE"},
      {"\\X", 2, "X"},
      {"A\\\\B", 3, "B"},
      {"A\\", 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CountFields(c.text, "\\"), c.count);
    EXPECT_EQ(GetField(c.text, "\\", c.count - 1), c.last);
  }
  EXPECT_EQ(GetField("a,b,c", ",", 0), "a");
  EXPECT_EQ(GetField("a,b,c", ",", 1), "b");
  EXPECT_EQ(GetField("a,b,c", ",", 3), "");
  EXPECT_EQ(GetField("a,b,c,d", ",", 1, 1, 2), "d");  // row * width + n
  EXPECT_EQ(CountFields("abc", ""), 1);             // an empty delimiter cannot split
}

// An in-memory process list: id -> module paths; ids in denied cannot be opened.
class FakeProcesses : public ProcessApi {
 public:
  std::int32_t platform = 2;
  std::map<std::uint32_t, std::vector<std::string>> processes;
  std::vector<std::uint32_t> denied;
  bool enumFails = false;
  std::int32_t memoryResult = 1;
  int enumCalls = 0;
  int open = 0;

  std::int32_t PlatformId() override { return platform; }
  bool EnumProcesses(std::vector<std::uint32_t>& ids, std::uint32_t& returned) override {
    ++enumCalls;
    if (enumFails) return false;
    std::size_t n = 0;
    for (const auto& p : processes) {
      if (n == ids.size()) break;
      ids[n++] = p.first;
    }
    returned = static_cast<std::uint32_t>(n * 4);
    return true;
  }
  Handle OpenProcess(std::uint32_t id) override {
    for (std::uint32_t d : denied) {
      if (d == id) return 0;
    }
    ++open;
    return id;
  }
  bool MainModulePaths(Handle h, std::vector<std::string>& paths) override {
    paths = processes.at(static_cast<std::uint32_t>(h));
    return !paths.empty();
  }
  std::int32_t GetProcessMemoryInfo(Handle) override { return memoryResult; }
  void CloseHandle(Handle h) override {
    if (h != 0) --open;
  }
};

TEST(ProcessInfo, MatchesWholeFileNamesInAnyCaseAndBlanks) {
  FakeProcesses api;
  api.processes = {{10, {"C:\\Windows\\explorer.exe"}},
                   {20, {"C:\\Apps\\XKelvPersonal.exe"}},
                   {30, {"C:\\Apps\\ModuloWeb.exe"}},
                   {40, {"\\usr\\bin\\wine-preloader", "C:\\Apps\\kelvpersonal.exe"}}};
  struct Case { const char* name; bool found; };
  const Case cases[] = {
      {"ModuloWeb.exe", true}, {"ModuloWeb.exe ", true}, {"MODULOWEB.EXE", true},
      {"KelvPersonal.exe", true},  // through the second name of process 40
      {"Personal.exe", false},     {"Apps\\ModuloWeb.exe", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ProcessInfo(c.name, api) != 0, c.found);
    EXPECT_EQ(api.open, 0) << "every opened process is closed";
  }
}

TEST(ProcessInfo, GrowsTheListUntilOneCallLeavesRoomAndYields) {
  int yields = 0;
  SetYieldHook([&] { ++yields; });
  struct Case { std::uint32_t processes; int calls; };
  // 4 ids fit the first list of 16 bytes exactly, so the list doubles once more.
  const Case cases[] = {{0, 1}, {3, 1}, {4, 2}, {7, 2}, {8, 3}, {300, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.processes);
    FakeProcesses api;
    for (std::uint32_t i = 1; i <= c.processes; ++i) {
      api.processes[i] = {"C:\\p" + std::to_string(i) + ".exe"};
    }
    yields = 0;
    EXPECT_EQ(ProcessInfo("nothing.exe", api), 0);
    EXPECT_EQ(api.enumCalls, c.calls);
    EXPECT_EQ(yields, c.calls + 2 * static_cast<int>(c.processes));
  }
  SetYieldHook({});
}

TEST(ProcessInfo, SkipsWhatCannotBeAskedAndReportsFailures) {
  FakeProcesses api;
  api.processes = {{5, {"C:\\KelvPersonal.exe"}}, {6, {}}};
  api.denied = {5};
  EXPECT_EQ(ProcessInfo("KelvPersonal.exe", api), 0);  // access denied: not detected
  api.denied.clear();
  api.memoryResult = 0;
  EXPECT_EQ(ProcessInfo("KelvPersonal.exe", api), 0);  // memory query failed
  api.memoryResult = 1;
  api.platform = 1;
  EXPECT_EQ(ProcessInfo("KelvPersonal.exe", api), 0);  // not the NT family
  api.platform = 2;
  api.enumFails = true;
  try {
    ProcessInfo("KelvPersonal.exe", api);
    FAIL() << "no error";
  } catch (const KelvError& e) {
    EXPECT_EQ(e.Description(), "ProcessInfo");
  }
}

TEST(ProcessInfo, FindsThisProgramInTheSystemsList) {
  EXPECT_EQ(GetPlatformId(), 2);
  EXPECT_NE(ProcessInfo(ExecutableFileName()), 0);
  EXPECT_NE(ProcessInfo("  " + ExecutableFileName() + " "), 0);
  EXPECT_EQ(ProcessInfo("no-such-program-" + ExecutableFileName()), 0);
}

}  // namespace
}  // namespace kelv
