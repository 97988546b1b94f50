// Reading a payload against the digest stored with it (all OSes).
#include "update/payload.h"

namespace kelv {

PayloadReading ReadAndCheck(const PayloadSource& payloads, std::string_view name,
                            const ChunkSink& sink, ComputeDigest compute) {
  PayloadReading r;
  const std::optional<std::uint64_t> size = payloads.Size(name);
  if (!size) return r;
  const std::optional<Sha256Digest> stored = payloads.StoredDigest(name);
  // A copy of each chunk is hashed on a worker thread while the chunk is written and the
  // next one read.
  std::optional<Sha256InBackground> hash;
  if (stored || compute == ComputeDigest::kAlways) hash.emplace();
  bool sinkStopped = false;
  const bool read = payloads.Read(name, [&](const char* data, std::size_t n) {
    if (hash) hash->Update(data, n);
    r.bytes += n;
    sinkStopped = !sink(data, n);
    return !sinkStopped;
  });
  if (hash) r.digest = hash->Finish();
  if (sinkStopped) {
    r.check = PayloadCheck::kSinkStopped;
  } else if (!read || r.bytes != *size) {
    r.check = PayloadCheck::kDamaged;  // shorter (or longer) than recorded
  } else if (stored) {
    r.check = *stored == *r.digest ? PayloadCheck::kIntact : PayloadCheck::kDamaged;
  } else {
    r.check = PayloadCheck::kNoDigest;
  }
  return r;
}

}  // namespace kelv
