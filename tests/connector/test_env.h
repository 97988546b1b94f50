// Helpers for the connector tests: environment variables set for one scope, and the
// connection description file written as the application writes it (all OSes).
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "settings/crypto_drelo.h"
#include "settings/tagged_text.h"
#include "text/cp1252.h"

namespace kelv {

inline void SetEnvVar(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
  _putenv_s(name.c_str(), value ? value->c_str() : "");
#else
  if (value) {
    setenv(name.c_str(), value->c_str(), 1);
  } else {
    unsetenv(name.c_str());
  }
#endif
}

// Sets (or, with nullopt, removes) an environment variable until the end of the scope.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, const std::optional<std::string>& value)
      : name_(std::move(name)), old_(GetEnv(name_)) {
    SetEnvVar(name_, value);
  }
  ~ScopedEnv() { SetEnvVar(name_, old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Writes a connection description file: the tagged sections, enciphered with key.
inline void WriteConfBase(const std::string& path,
                          const std::vector<std::pair<std::string, std::string>>& sections,
                          const std::string& key = "QqRrSs86420975") {
  std::string plain;
  for (const auto& [tag, value] : sections) plain = GuardoBloqueTexto(plain, tag, value);
  clsCryptoDrelo crypto;
  crypto.Password(key);
  crypto.InBuffer(CipherBuffer::FromText(plain));
  crypto.Encrypt();
  crypto.GuardoArchBinario(path, crypto.OutBuffer().Bytes());
}

// The text of a file written in Windows-1252, or "" when it is missing.
inline std::string ReadCp1252File(const std::string& path) {
  return Cp1252ToUtf8(ReadFileBytes(path).value_or(""));
}

}  // namespace kelv
