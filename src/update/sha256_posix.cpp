// SHA-256 outside Windows: OpenSSL's libcrypto through its EVP digest interface.
#include <openssl/evp.h>

#include "text/error.h"
#include "update/sha256.h"

namespace kelv {

struct Sha256::State {
  EVP_MD_CTX* context = nullptr;
};

namespace {

[[noreturn]] void Fail(const char* call) {
  throw KelvError(kErrFile, "Sha256", std::string("libcrypto: ") + call + " failed");
}

}  // namespace

Sha256::Sha256() : state_(std::make_unique<State>()) {
  state_->context = EVP_MD_CTX_new();
  if (state_->context == nullptr) Fail("EVP_MD_CTX_new");
  if (EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) != 1) {
    EVP_MD_CTX_free(state_->context);
    Fail("EVP_DigestInit_ex");
  }
}

Sha256::~Sha256() { EVP_MD_CTX_free(state_->context); }

void Sha256::Update(const void* data, std::size_t size) {
  if (EVP_DigestUpdate(state_->context, data, size) != 1) Fail("EVP_DigestUpdate");
}

Sha256Digest Sha256::Finish() {
  Sha256Digest digest{};
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(state_->context, digest.data(), &length) != 1 ||
      length != digest.size()) {
    Fail("EVP_DigestFinal_ex");
  }
  return digest;
}

}  // namespace kelv
