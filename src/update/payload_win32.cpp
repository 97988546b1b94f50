// The installer's payloads on Windows: resources of type "CUSTOM" of the executable, read
// with FindResourceW/LoadResource/LockResource; packing writes them with UpdateResourceW.
#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/wide_text.h"
#include "text/error.h"
#include "update/payload.h"

namespace kelv {
namespace {

constexpr std::size_t kChunk = 1 << 20;
// The resources are written in the language of the shipped release: Spanish (3082).
const WORD kPayloadLanguage = MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN);
const wchar_t kResourceType[] = L"CUSTOM";

class ResourcePayloads : public PayloadSource {
 public:
  std::optional<std::uint64_t> Size(std::string_view name) const override {
    HRSRC res = Find(name);
    if (res == nullptr) return std::nullopt;
    return SizeofResource(nullptr, res);
  }

  bool Read(std::string_view name, const ChunkSink& sink) const override {
    HRSRC res = Find(name);
    if (res == nullptr) return false;
    const DWORD size = SizeofResource(nullptr, res);
    HGLOBAL loaded = LoadResource(nullptr, res);
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (data == nullptr) return size == 0;
    for (DWORD done = 0; done < size;) {
      const std::size_t n = std::min<std::size_t>(kChunk, size - done);
      if (!sink(data + done, n)) return false;
      done += static_cast<DWORD>(n);
    }
    return true;
  }

 private:
  static HRSRC Find(std::string_view name) {
    return FindResourceW(nullptr, Utf8ToWide(name).c_str(), kResourceType);
  }
};

[[noreturn]] void Fail(const std::string& what, DWORD code) {
  throw KelvError(kErrFile, "PackInstaller", what + ": " + LastErrorMessage(code));
}

}  // namespace

std::unique_ptr<PayloadSource> OwnPayloads() { return std::make_unique<ResourcePayloads>(); }

void PackInstaller(const std::string& installer, const std::vector<PayloadFile>& payloads,
                   const std::string& output) {
  // UpdateResourceW takes each payload as one block of memory, so here a payload is read
  // whole; the other OSes stream it.
  std::vector<std::pair<std::wstring, std::string>> data;
  for (const PayloadFile& p : payloads) {
    if (p.name.empty()) throw KelvError(kErrInvalidArgument, "PackInstaller", "empty payload name");
    std::optional<std::string> bytes = ReadFileBytes(p.path);
    if (!bytes) throw KelvError(kErrFile, "PackInstaller", "cannot read the package " + p.path);
    data.emplace_back(Utf8ToWide(p.name), std::move(*bytes));
  }
  const std::wstring partial = Utf8ToWide(output + ".part");
  if (!CopyFileW(Utf8ToWide(installer).c_str(), partial.c_str(), FALSE)) {
    Fail("cannot copy the installer " + installer, GetLastError());
  }
  SetFileAttributesW(partial.c_str(), FILE_ATTRIBUTE_NORMAL);
  auto abandon = [&](const std::string& what, DWORD code) {
    DeleteFileW(partial.c_str());
    Fail(what, code);
  };
  HANDLE update = BeginUpdateResourceW(partial.c_str(), FALSE);
  if (update == nullptr) abandon("cannot open the resources of " + output, GetLastError());
  // Payloads carried before and not given now are removed (a missing one is no failure).
  for (const wchar_t* old : {L"VERS", L"MWEB"}) {
    UpdateResourceW(update, kResourceType, old, kPayloadLanguage, nullptr, 0);
  }
  for (auto& [name, bytes] : data) {
    if (!UpdateResourceW(update, kResourceType, name.c_str(), kPayloadLanguage, &bytes[0],
                         static_cast<DWORD>(bytes.size()))) {
      const DWORD code = GetLastError();
      EndUpdateResourceW(update, TRUE);
      abandon("cannot store the package " + WideToUtf8(name), code);
    }
  }
  if (!EndUpdateResourceW(update, FALSE)) abandon("cannot write " + output, GetLastError());
  if (!RenameFileReplacing(output + ".part", output)) {
    abandon("cannot replace " + output, GetLastError());
  }
}

}  // namespace kelv
