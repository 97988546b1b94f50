// The installer's payloads outside Windows: appended to the executable; packing appends.
#include "platform/files.h"
#include "update/payload.h"

namespace kelv {

std::unique_ptr<PayloadSource> OwnPayloads() {
  return std::make_unique<AppendedPayloads>(ExecutablePath());
}

void PackInstaller(const std::string& installer, const std::vector<PayloadFile>& payloads,
                   const std::string& output) {
  AppendPayloads(installer, payloads, output);
}

}  // namespace kelv
