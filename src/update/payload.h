// The payloads the installer carries ("VERS", "MWEB"): reading them as streams of bytes,
// and writing a copy of the installer that carries given payloads (all OSes).
//
// On Windows the payloads are resources of type "CUSTOM" of the executable. Elsewhere they
// are appended to the executable and found through the footer of payload_footer.h. Either
// way a payload is handed out in chunks, so one of several hundred megabytes is never held
// in memory by the reader, and each carries the SHA-256 digest it was packed with, so that
// a damaged installer is told from a whole one on the way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/payload_footer.h"
#include "update/sha256.h"

namespace kelv {

// Receives one chunk of a payload; returns false to stop reading.
using ChunkSink = std::function<bool(const char* data, std::size_t size)>;

// A set of named payloads.
class PayloadSource {
 public:
  virtual ~PayloadSource() = default;
  // The names of the payloads carried.
  virtual std::vector<std::string> Names() const = 0;
  // The payload's length in bytes, or nullopt when there is no payload of that name.
  virtual std::optional<std::uint64_t> Size(std::string_view name) const = 0;
  // Hands the payload's bytes to sink in order, in chunks of at most 1 MiB. False when the
  // payload is missing, cannot be read whole, or sink stopped early.
  virtual bool Read(std::string_view name, const ChunkSink& sink) const = 0;
  // The SHA-256 digest of the payload stored when it was packed; nullopt when the payload is
  // missing or was packed without one (by a packer older than digests).
  virtual std::optional<Sha256Digest> StoredDigest(std::string_view name) const = 0;
  // Why the file that carries the payloads is damaged (see InspectPackedFile; on Windows a
  // file cut short or a stored digest that cannot be read); empty when it is not. The
  // payloads of a damaged file are not to be used.
  virtual std::string Damage() const = 0;
};

// How reading a payload against its stored digest ended.
enum class PayloadCheck {
  kIntact,       // read whole and equal to its stored digest
  kNoDigest,     // read whole; there is no stored digest to compare with
  kDamaged,      // missing, shorter than recorded, or different from its stored digest
  kSinkStopped,  // sink refused a chunk
};

struct PayloadReading {
  PayloadCheck check = PayloadCheck::kDamaged;
  std::uint64_t bytes = 0;             // how many bytes sink received
  std::optional<Sha256Digest> digest;  // of those bytes, when one was computed
};

// When ReadAndCheck computes a digest: only to compare it with a stored one (a payload
// packed without one is read as before digests, at no extra cost), or always (to show it).
enum class ComputeDigest { kWhenStored, kAlways };

// Reads the payload name into sink, hashing each chunk on its way (one pass over the data),
// and compares the length and the digest with what was stored.
PayloadReading ReadAndCheck(const PayloadSource& payloads, std::string_view name,
                            const ChunkSink& sink,
                            ComputeDigest compute = ComputeDigest::kWhenStored);

// The payloads appended to the file at path (see packed_file.h), inspected once when made.
// A file that cannot be opened, or has no valid footer, has no payloads.
class AppendedPayloads : public PayloadSource {
 public:
  explicit AppendedPayloads(std::string path);
  std::vector<std::string> Names() const override;
  std::optional<std::uint64_t> Size(std::string_view name) const override;
  bool Read(std::string_view name, const ChunkSink& sink) const override;
  std::optional<Sha256Digest> StoredDigest(std::string_view name) const override;
  std::string Damage() const override;

 private:
  const PayloadEntry* Find(std::string_view name) const;

  std::string path_;
  std::vector<PayloadEntry> entries_;
  std::string damage_;
};

// The payloads of the running executable: its "CUSTOM" resources on Windows, the appended
// payloads elsewhere.
std::unique_ptr<PayloadSource> OwnPayloads();

// The payloads of the installer at path, read without running it: on Windows its "CUSTOM"
// resources (the file loaded as data), elsewhere the appended payloads. Throws
// KelvError(kErrFile) when the file cannot be opened.
std::unique_ptr<PayloadSource> PayloadsOfFile(const std::string& path);

// A payload to pack: its name ("VERS", "MWEB") and the file that holds its bytes.
struct PayloadFile {
  std::string name;
  std::string path;
};

// Whether the packer stores each payload's SHA-256 digest with it. Installers packed
// without are read as those of a packer older than digests: they run unchecked.
enum class StoreDigests { kYes, kNo };

// Writes to output a copy of the executable installer that carries exactly the given
// payloads in place of any it carried before, by appending them behind a footer (layout 2
// with digests, computed while the bytes stream by; layout 1 without). Streams the bytes in
// chunks. The output is written beside itself first and then moved into place, with the
// installer's permissions; on failure nothing is left at output and KelvError (kErrFile, or
// kErrInvalidArgument for a bad name) is thrown with the reason. A damaged installer (see
// InspectPackedFile) is refused.
void AppendPayloads(const std::string& installer, const std::vector<PayloadFile>& payloads,
                    const std::string& output, StoreDigests digests = StoreDigests::kYes);

// The packer for this OS: on Windows writes "CUSTOM" resources with UpdateResourceW, which
// needs each payload whole in memory, and beside each payload NAME its digest as the
// resource NAME.SHA256 (64 hexadecimal digits); elsewhere AppendPayloads. Failures throw
// KelvError.
void PackInstaller(const std::string& installer, const std::vector<PayloadFile>& payloads,
                   const std::string& output, StoreDigests digests = StoreDigests::kYes);

}  // namespace kelv
