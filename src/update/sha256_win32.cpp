// SHA-256 on Windows: the system's Cryptography API: Next Generation (CNG), the BCrypt hash
// functions. One algorithm provider serves the whole process.
#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <cstdio>

#include "text/error.h"
#include "update/sha256.h"

namespace kelv {

struct Sha256::State {
  BCRYPT_HASH_HANDLE hash = nullptr;
};

namespace {

[[noreturn]] void Fail(const char* call, NTSTATUS status) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
  throw KelvError(kErrFile, "Sha256", std::string("CNG: ") + call + " failed with status " + code);
}

BCRYPT_ALG_HANDLE Provider() {
  static BCRYPT_ALG_HANDLE provider = [] {
    BCRYPT_ALG_HANDLE handle = nullptr;
    const NTSTATUS status =
        BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
    if (!BCRYPT_SUCCESS(status)) Fail("BCryptOpenAlgorithmProvider", status);
    return handle;
  }();
  return provider;
}

}  // namespace

Sha256::Sha256() : state_(std::make_unique<State>()) {
  // Since Windows 7 CNG keeps the hash object's memory itself when given none.
  const NTSTATUS status = BCryptCreateHash(Provider(), &state_->hash, nullptr, 0, nullptr, 0, 0);
  if (!BCRYPT_SUCCESS(status)) Fail("BCryptCreateHash", status);
}

Sha256::~Sha256() {
  if (state_->hash != nullptr) BCryptDestroyHash(state_->hash);
}

void Sha256::Update(const void* data, std::size_t size) {
  auto* bytes = static_cast<UCHAR*>(const_cast<void*>(data));
  while (size > 0) {
    const ULONG n = static_cast<ULONG>(std::min<std::size_t>(size, 1u << 30));
    const NTSTATUS status = BCryptHashData(state_->hash, bytes, n, 0);
    if (!BCRYPT_SUCCESS(status)) Fail("BCryptHashData", status);
    bytes += n;
    size -= n;
  }
}

Sha256Digest Sha256::Finish() {
  Sha256Digest digest{};
  const NTSTATUS status =
      BCryptFinishHash(state_->hash, digest.data(), static_cast<ULONG>(digest.size()), 0);
  if (!BCRYPT_SUCCESS(status)) Fail("BCryptFinishHash", status);
  return digest;
}

}  // namespace kelv
