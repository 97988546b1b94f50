// The installer's payloads outside Windows: appended to the executable; packing appends.
#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "text/error.h"
#include "update/payload.h"

namespace kelv {

std::unique_ptr<PayloadSource> OwnPayloads() {
  return std::make_unique<AppendedPayloads>(ExecutablePath());
}

std::unique_ptr<PayloadSource> PayloadsOfFile(const std::string& path) {
  std::ifstream probe(std::filesystem::u8path(path), std::ios::binary);
  if (!FileSize(path) || !probe) throw KelvError(kErrFile, "PayloadsOfFile", "cannot read " + path);
  return std::make_unique<AppendedPayloads>(path);
}

void PackInstaller(const std::string& installer, const std::vector<PayloadFile>& payloads,
                   const std::string& output, StoreDigests digests) {
  AppendPayloads(installer, payloads, output, digests);
}

}  // namespace kelv
