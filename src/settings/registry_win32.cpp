// LeerRegistro over the Windows registry (Windows).
//
// The key and value names go to the W functions as UTF-16. The value's data is read whole
// and then judged as the ANSI query with its 1,024-byte buffer would see it (see
// registry_value.h), so string data is counted in Windows-1252 bytes whatever the
// system's code page.
#include <windows.h>

#include <string>

#include "platform/wide_text.h"
#include "settings/registry.h"
#include "settings/registry_value.h"

namespace kelv {
namespace {

// KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY.
constexpr REGSAM kReadAccess = 0x19;

// The predefined key handle of a root value such as 0x80000002 (sign-extended, as the
// system's own constants are on 64-bit Windows).
HKEY RootHandle(std::uint32_t root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(root))));
}

// Closes an opened key on every way out.
class OpenKey {
 public:
  OpenKey(std::uint32_t root, std::string_view subKey) {
    if (RegOpenKeyExW(RootHandle(root), Utf8ToWide(subKey).c_str(), 0, kReadAccess, &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::string LeerRegistro(std::uint32_t root, std::string_view subKey, std::int32_t& valueType,
                         std::string_view valueName) {
  try {
    OpenKey key(root, subKey);
    if (!key.get()) return std::string();
    const std::wstring name = Utf8ToWide(valueName);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      return std::string();
    }
    valueType = static_cast<std::int32_t>(type);
    RegStoredValue value;
    value.type = static_cast<std::int32_t>(type);
    // The value may grow between the two queries: retry with the size the system reports.
    for (int attempt = 0; attempt < 4; ++attempt) {
      value.data.assign(size, '\0');
      DWORD got = size;
      LONG rc = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(value.data.data()), &got);
      if (rc == ERROR_SUCCESS) {
        value.type = static_cast<std::int32_t>(type);
        valueType = value.type;
        value.data.resize(got);
        return RegistryValueText(value);
      }
      if (rc != ERROR_MORE_DATA) return std::string();
      size = got;
    }
    return std::string();
  } catch (...) {
    return std::string();
  }
}

}  // namespace kelv
