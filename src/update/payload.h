// The payloads the installer carries ("VERS", "MWEB"): reading them as streams of bytes,
// and writing a copy of the installer that carries given payloads (all OSes).
//
// On Windows the payloads are resources of type "CUSTOM" of the executable. Elsewhere they
// are appended to the executable and found through the footer of payload_footer.h. Either
// way a payload is handed out in chunks, so one of several hundred megabytes is never held
// in memory by the reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelv {

// Receives one chunk of a payload; returns false to stop reading.
using ChunkSink = std::function<bool(const char* data, std::size_t size)>;

// A set of named payloads.
class PayloadSource {
 public:
  virtual ~PayloadSource() = default;
  // The payload's length in bytes, or nullopt when there is no payload of that name.
  virtual std::optional<std::uint64_t> Size(std::string_view name) const = 0;
  // Hands the payload's bytes to sink in order, in chunks of at most 1 MiB. False when the
  // payload is missing, cannot be read whole, or sink stopped early.
  virtual bool Read(std::string_view name, const ChunkSink& sink) const = 0;
};

// The payloads appended to the file at path (see payload_footer.h). A file without a valid
// footer, or one that cannot be opened, has no payloads.
class AppendedPayloads : public PayloadSource {
 public:
  explicit AppendedPayloads(std::string path);
  std::optional<std::uint64_t> Size(std::string_view name) const override;
  bool Read(std::string_view name, const ChunkSink& sink) const override;

 private:
  std::string path_;
};

// The payloads of the running executable: its "CUSTOM" resources on Windows, the appended
// payloads elsewhere.
std::unique_ptr<PayloadSource> OwnPayloads();

// A payload to pack: its name ("VERS", "MWEB") and the file that holds its bytes.
struct PayloadFile {
  std::string name;
  std::string path;
};

// Writes to output a copy of the executable installer that carries exactly the given
// payloads in place of any it carried before, by appending them behind a footer. Streams
// the bytes in chunks. The output is written beside itself first and then moved into place,
// with the installer's permissions; on failure nothing is left at output and KelvError
// (kErrFile, or kErrInvalidArgument for a bad name) is thrown with the reason.
void AppendPayloads(const std::string& installer, const std::vector<PayloadFile>& payloads,
                    const std::string& output);

// The packer for this OS: on Windows writes "CUSTOM" resources with UpdateResourceW, which
// needs each payload whole in memory; elsewhere AppendPayloads. Failures throw KelvError.
void PackInstaller(const std::string& installer, const std::vector<PayloadFile>& payloads,
                   const std::string& output);

}  // namespace kelv
