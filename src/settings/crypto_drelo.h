// clsCryptoDrelo: raw byte files and a repeating-key XOR over a buffer (all OSes).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelv {

// The content of InBuffer and OutBuffer: either a text (UTF-8) or raw bytes. Converting
// between the two uses Windows-1252, one byte per character.
class CipherBuffer {
 public:
  CipherBuffer() = default;
  static CipherBuffer FromText(std::string_view text) { return CipherBuffer(true, text); }
  static CipherBuffer FromBytes(std::string_view bytes) { return CipherBuffer(false, bytes); }

  bool IsText() const { return isText_; }
  bool Empty() const { return data_.empty(); }
  // The content as text (bytes are read as Windows-1252).
  std::string Text() const;
  // The content as bytes (a text is written as Windows-1252).
  std::string Bytes() const;

 private:
  CipherBuffer(bool isText, std::string_view data) : isText_(isText), data_(data) {}
  bool isText_ = true;
  std::string data_;
};

// The repeating-key XOR shared by Encrypt and Decrypt. With m the highest index of key,
// data byte i is combined with the key byte the index j reaches after advancing it before
// each byte (j = 0 when j + 1 >= m, else j + 1), starting from 0: key bytes 1, 2, ..., m-1,
// 0, 1, ... for keys of three or more bytes (the last key byte is never used), key byte 0
// alone for keys of one or two bytes. key must not be empty.
std::string XorBuffer(std::string_view key, std::string_view data);

class clsCryptoDrelo {
 public:
  const CipherBuffer& InBuffer() const { return in_; }
  void InBuffer(CipherBuffer value) { in_ = std::move(value); }
  const CipherBuffer& OutBuffer() const { return out_; }
  const std::string& Password() const { return password_; }
  void Password(std::string_view value) { password_ = std::string(value); }

  // The whole content of the file Arch, byte for byte; empty when it cannot be read. Never
  // throws and never creates a file.
  std::string LeerArchBinario(const std::string& Arch) const;

  // Makes Datos the whole content of the file Arch; does nothing when Datos is empty. The
  // file is replaced as a whole, so a failed write leaves the old file whole. Failures
  // (a read-only file, a missing folder) throw KelvError.
  void GuardoArchBinario(const std::string& Arch, std::string_view Datos) const;

  // OutBuffer := XorBuffer(Password, InBuffer as Windows-1252 text bytes), as bytes.
  // An empty Password throws KelvError(kErrSubscript) and leaves OutBuffer unchanged.
  void Encrypt();

  // OutBuffer := XorBuffer(Password, InBuffer's raw bytes), as a text.
  // An empty Password throws KelvError(kErrSubscript) and leaves OutBuffer unchanged.
  void Decrypt();

  // Always 0.
  std::int32_t Status() const { return 0; }

  // The string cipher (see string_cipher.h); uses none of the members.
  std::string EncDesEnc(std::string_view Texto, bool Salado, bool Enc, std::uint8_t N,
                        std::string_view TextoMascara) const;

 private:
  std::string KeyBytes() const;

  CipherBuffer in_;
  CipherBuffer out_;
  std::string password_;
};

}  // namespace kelv
