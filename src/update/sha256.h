// SHA-256 digests of the payloads an installer carries (all OSes). The digest comes from
// the platform's own library: OpenSSL's libcrypto on Linux (sha256_posix.cpp), Windows CNG
// (sha256_win32.cpp).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kelv {

inline constexpr std::size_t kSha256Size = 32;
using Sha256Digest = std::array<std::uint8_t, kSha256Size>;

// A SHA-256 computation fed in pieces, so that data streamed elsewhere is hashed on its way
// without a second pass. A failure of the library throws KelvError(kErrFile).
class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  // Adds size bytes at data.
  void Update(const void* data, std::size_t size);
  // The digest of everything added. Afterwards the object takes no more data.
  Sha256Digest Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// A SHA-256 computed on a worker thread, so that hashing a stream overlaps the work done
// with each piece of it (reading and writing it): Update copies the piece and returns while
// the worker hashes it, waiting only while the worker is still busy with the piece before.
// Two pieces are held at most. Where no thread can be started the pieces are hashed in
// Update. A failure of the library is thrown by Finish.
class Sha256InBackground {
 public:
  Sha256InBackground();
  ~Sha256InBackground();
  Sha256InBackground(const Sha256InBackground&) = delete;
  Sha256InBackground& operator=(const Sha256InBackground&) = delete;

  // Hands the worker a copy of size bytes at data; they may change once it returns.
  void Update(const void* data, std::size_t size);
  // The digest of everything added.
  Sha256Digest Finish();

 private:
  struct Worker;
  std::unique_ptr<Worker> worker_;
};

// The digest of bytes, in one call.
Sha256Digest Sha256Of(std::string_view bytes);

// The digest as 64 lowercase hexadecimal digits.
std::string DigestToHex(const Sha256Digest& digest);

// The digest written as exactly 64 hexadecimal digits (either letter case); nullopt for
// anything else.
std::optional<Sha256Digest> DigestFromHex(std::string_view hex);

}  // namespace kelv
