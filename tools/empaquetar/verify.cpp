// empaquetar --verify: every payload read through its digest, one line each (all OSes).
#include "verify.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "update/payload.h"

namespace kelv {
namespace {

// A name as it may be shown on a terminal: bytes outside printable ASCII as \xNN.
std::string Printable(const std::string& name) {
  std::string shown;
  for (unsigned char c : name) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      shown.push_back(static_cast<char>(c));
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      shown += hex;
    }
  }
  return shown;
}

}  // namespace

VerifyStatus VerifyInstaller(const std::string& path, std::FILE* out, std::FILE* err) {
  std::unique_ptr<PayloadSource> payloads;
  std::string damage;
  std::vector<std::string> names;
  try {
    payloads = PayloadsOfFile(path);
    damage = payloads->Damage();
    names = payloads->Names();
  } catch (const std::exception& e) {
    std::fprintf(err, "empaquetar: %s\n", e.what());
    return kVerifyUnreadable;
  }
  if (!damage.empty()) {
    std::fprintf(err, "empaquetar: %s is damaged: %s\n", path.c_str(), damage.c_str());
    return kVerifyDamaged;
  }
  if (names.empty()) {
    std::fprintf(err, "empaquetar: %s carries no package\n", path.c_str());
    return kVerifyNoPayload;
  }
  VerifyStatus status = kVerifyIntact;
  for (const std::string& name : names) {
    PayloadReading r;
    std::optional<std::uint64_t> size;
    try {
      size = payloads->Size(name);
      r = ReadAndCheck(*payloads, name, [](const char*, std::size_t) { return true; },
                       ComputeDigest::kAlways);
    } catch (const std::exception& e) {
      std::fprintf(err, "empaquetar: %s\n", e.what());
      return kVerifyUnreadable;
    }
    std::string verdict;
    switch (r.check) {
      case PayloadCheck::kIntact:
        verdict = "ok";
        break;
      case PayloadCheck::kNoDigest:
        verdict = "no digest stored (packed before digests were stored)";
        if (status == kVerifyIntact) status = kVerifyNoDigest;
        break;
      case PayloadCheck::kDamaged:
      case PayloadCheck::kSinkStopped:
        if (size && r.bytes != *size) {
          verdict = "DAMAGED: only " + std::to_string(r.bytes) + " bytes could be read";
        } else {
          const std::optional<Sha256Digest> stored = payloads->StoredDigest(name);
          verdict = "DAMAGED: the stored digest is " + (stored ? DigestToHex(*stored) : "missing");
        }
        status = kVerifyDamaged;
        break;
    }
    std::fprintf(out, "%s %llu %s %s\n", Printable(name).c_str(),
                 static_cast<unsigned long long>(size.value_or(0)), DigestToHex(r.digest.value_or(Sha256Digest{})).c_str(),
                 verdict.c_str());
  }
  return status;
}

}  // namespace kelv
