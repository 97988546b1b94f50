// Database servers on Windows: the server tests run in the Linux build only.
#include "server_fixture.h"

namespace kelv {

namespace {
constexpr const char* kLinuxOnly =
    "the database servers for these tests are started by the Linux build only";
}

std::unique_ptr<DatabaseServer> StartMariaDb(std::string& why) {
  why = kLinuxOnly;
  return nullptr;
}

std::unique_ptr<DatabaseServer> StartPostgres(std::string& why) {
  why = kLinuxOnly;
  return nullptr;
}

std::unique_ptr<DatabaseServer> StartSilentServer(std::string& why) {
  why = kLinuxOnly;
  return nullptr;
}

std::string OdbcDriverLibrary(const std::string& fileName) { return fileName; }

}  // namespace kelv
