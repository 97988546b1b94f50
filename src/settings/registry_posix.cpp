// LeerRegistro over a registry file in regedit's export format (Linux).
//
// The file is named by the environment variable KELV_REGISTRY (default
// /etc/kelv-personal/registry.reg) and is read afresh on every call, so a change to it
// shows at once; a missing or unreadable file is an empty registry.
#include <optional>
#include <string>

#include "platform/files.h"
#include "settings/reg_file.h"
#include "settings/registry.h"

namespace kelv {
namespace {

constexpr const char* kDefaultRegistryFile = "/etc/kelv-personal/registry.reg";

std::string RegistryFilePath() {
  std::optional<std::string> env = GetEnv("KELV_REGISTRY");
  return env && !env->empty() ? *env : std::string(kDefaultRegistryFile);
}

}  // namespace

std::string LeerRegistro(std::uint32_t root, std::string_view subKey, std::int32_t& valueType,
                         std::string_view valueName) {
  try {
    std::optional<std::string> bytes = ReadFileBytes(RegistryFilePath());
    if (!bytes) return std::string();
    RegFile file = RegFile::Parse(RegFileTextFromBytes(*bytes));
    std::optional<RegStoredValue> value = file.Find(root, subKey, valueName);
    if (!value) return std::string();
    valueType = value->type;
    return RegistryValueText(*value);
  } catch (...) {
    return std::string();  // a registry file too big to hold reads as an empty registry
  }
}

}  // namespace kelv
