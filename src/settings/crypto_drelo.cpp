// clsCryptoDrelo: raw byte files and the repeating-key XOR (all OSes).
#include "settings/crypto_drelo.h"

#include "platform/files.h"
#include "settings/string_cipher.h"
#include "text/cp1252.h"
#include "text/error.h"

namespace kelv {

std::string CipherBuffer::Text() const { return isText_ ? data_ : Cp1252ToUtf8(data_); }

std::string CipherBuffer::Bytes() const { return isText_ ? Utf8ToCp1252(data_) : data_; }

std::string XorBuffer(std::string_view key, std::string_view data) {
  const std::size_t m = key.size() - 1;
  std::string out(data.size(), '\0');
  std::size_t j = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    j = (j + 1 >= m) ? 0 : j + 1;
    out[i] = static_cast<char>(key[j] ^ data[i]);
  }
  return out;
}

std::string clsCryptoDrelo::LeerArchBinario(const std::string& Arch) const {
  return ReadFileBytes(Arch).value_or(std::string());
}

void clsCryptoDrelo::GuardoArchBinario(const std::string& Arch, std::string_view Datos) const {
  if (Datos.empty()) return;
  WriteFileReplacing(Arch, Datos);
}

std::string clsCryptoDrelo::KeyBytes() const {
  std::string key = Utf8ToCp1252(password_);
  if (key.empty()) throw KelvError(kErrSubscript, "clsCryptoDrelo", "Subscript out of range: no key");
  return key;
}

void clsCryptoDrelo::Encrypt() {
  out_ = CipherBuffer::FromBytes(XorBuffer(KeyBytes(), in_.Bytes()));
}

void clsCryptoDrelo::Decrypt() {
  out_ = CipherBuffer::FromText(Cp1252ToUtf8(XorBuffer(KeyBytes(), in_.Bytes())));
}

std::string clsCryptoDrelo::EncDesEnc(std::string_view Texto, bool Salado, bool Enc,
                                      std::uint8_t N, std::string_view TextoMascara) const {
  return kelv::EncDesEnc(Texto, Salado, Enc, N, TextoMascara);
}

}  // namespace kelv
