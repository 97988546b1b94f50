// empaquetar --verify: checks a packed installer without running it (all OSes).
#pragma once

#include <cstdio>
#include <string>

namespace kelv {

// Exit statuses of empaquetar --verify (also listed in its --help and the README).
enum VerifyStatus : int {
  kVerifyIntact = 0,      // every payload is whole and equal to its stored digest
  kVerifyUnreadable = 1,  // the installer cannot be read
  kVerifyDamaged = 3,     // a payload is cut short or differs from its digest, or the file
                          // is damaged (see InspectPackedFile)
  kVerifyNoDigest = 4,    // whole as far as can be told, but packed without digests
  kVerifyNoPayload = 5,   // carries no payload (never packed)
};

// Reads every payload of the installer at path through its digest and writes one line per
// payload to out: its name, its size in bytes, the SHA-256 of its bytes, and the verdict.
// Reasons a file is damaged or unreadable go to err. Returns the status.
VerifyStatus VerifyInstaller(const std::string& path, std::FILE* out, std::FILE* err);

}  // namespace kelv
