// The installer's payloads on Windows: resources of type "CUSTOM" of an executable, read
// with FindResourceW/LoadResource/LockResource, each payload NAME with its digest in the
// resource NAME.SHA256; packing writes them with UpdateResourceW.
#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/wide_text.h"
#include "text/error.h"
#include "update/packed_file.h"
#include "update/payload.h"

namespace kelv {
namespace {

constexpr std::size_t kChunk = 1 << 20;
// The resources are written in the language of the shipped release: Spanish (3082).
const WORD kPayloadLanguage = MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN);
const wchar_t kResourceType[] = L"CUSTOM";
const std::string kDigestSuffix = ".SHA256";

bool IsDigestName(const std::string& name) {
  return name.size() > kDigestSuffix.size() &&
         name.compare(name.size() - kDigestSuffix.size(), kDigestSuffix.size(), kDigestSuffix) == 0;
}

// The "CUSTOM" resources of a module: the running executable (module null), or an
// installer loaded as data, which is freed with the object.
class ResourcePayloads : public PayloadSource {
 public:
  ResourcePayloads(HMODULE module, bool owned, const std::string& path)
      : module_(module), owned_(owned) {
    // A file shorter than its own image was cut short: its resources are not whole.
    std::optional<PackedFile> file = InspectPackedFile(path);
    if (file && file->image && file->image->end > file->size) damage_ = file->damage;
    for (const std::string& name : AllNames()) {
      if (!IsDigestName(name)) continue;
      const std::string payload = name.substr(0, name.size() - kDigestSuffix.size());
      if (!Find(payload)) {
        Damaged("it carries the digest " + name + " without the payload " + payload);
      } else if (!StoredDigest(payload)) {
        Damaged("the digest " + name + " cannot be read");
      }
    }
  }
  ~ResourcePayloads() override {
    if (owned_) FreeLibrary(module_);
  }
  ResourcePayloads(const ResourcePayloads&) = delete;
  ResourcePayloads& operator=(const ResourcePayloads&) = delete;

  std::vector<std::string> Names() const override {
    std::vector<std::string> names = AllNames();
    names.erase(std::remove_if(names.begin(), names.end(), IsDigestName), names.end());
    return names;
  }

  std::optional<std::uint64_t> Size(std::string_view name) const override {
    HRSRC res = Find(name);
    if (res == nullptr) return std::nullopt;
    return SizeofResource(module_, res);
  }

  bool Read(std::string_view name, const ChunkSink& sink) const override {
    HRSRC res = Find(name);
    if (res == nullptr) return false;
    const DWORD size = SizeofResource(module_, res);
    const char* data = Data(res);
    if (data == nullptr) return size == 0;
    for (DWORD done = 0; done < size;) {
      const std::size_t n = std::min<std::size_t>(kChunk, size - done);
      if (!sink(data + done, n)) return false;
      done += static_cast<DWORD>(n);
    }
    return true;
  }

  std::optional<Sha256Digest> StoredDigest(std::string_view name) const override {
    HRSRC res = Find(std::string(name) + kDigestSuffix);
    const char* data = res ? Data(res) : nullptr;
    if (data == nullptr) return std::nullopt;
    return DigestFromHex(std::string_view(data, SizeofResource(module_, res)));
  }

  std::string Damage() const override { return damage_; }

 private:
  HRSRC Find(std::string_view name) const {
    return FindResourceW(module_, Utf8ToWide(name).c_str(), kResourceType);
  }

  const char* Data(HRSRC res) const {
    HGLOBAL loaded = LoadResource(module_, res);
    return loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  }

  // Every named resource of type "CUSTOM" that can be found, payloads and digests (a
  // resource editor may leave the names of deleted resources behind, without data).
  std::vector<std::string> AllNames() const {
    std::vector<std::string> names;
    EnumResourceNamesW(module_, kResourceType, AddName, reinterpret_cast<LONG_PTR>(&names));
    names.erase(std::remove_if(names.begin(), names.end(),
                               [this](const std::string& name) { return Find(name) == nullptr; }),
                names.end());
    return names;
  }

  // Adds a resource's name, when it has one, to the list of names at list.
  static BOOL CALLBACK AddName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) {
    if (!IS_INTRESOURCE(name)) {
      reinterpret_cast<std::vector<std::string>*>(list)->push_back(WideToUtf8(name));
    }
    return TRUE;
  }

  void Damaged(const std::string& why) {
    if (damage_.empty()) damage_ = why;
  }

  HMODULE module_;
  bool owned_;
  std::string damage_;
};

// A file that is there but does not load as an executable, as one cut short: no payloads.
class UnloadableFile : public PayloadSource {
 public:
  explicit UnloadableFile(std::string damage) : damage_(std::move(damage)) {}
  std::vector<std::string> Names() const override { return {}; }
  std::optional<std::uint64_t> Size(std::string_view) const override { return std::nullopt; }
  bool Read(std::string_view, const ChunkSink&) const override { return false; }
  std::optional<Sha256Digest> StoredDigest(std::string_view) const override { return std::nullopt; }
  std::string Damage() const override { return damage_; }

 private:
  std::string damage_;
};

[[noreturn]] void Fail(const std::string& what, DWORD code) {
  throw KelvError(kErrFile, "PackInstaller", what + ": " + LastErrorMessage(code));
}

}  // namespace

std::unique_ptr<PayloadSource> OwnPayloads() {
  return std::make_unique<ResourcePayloads>(nullptr, false, ExecutablePath());
}

std::unique_ptr<PayloadSource> PayloadsOfFile(const std::string& path) {
  if (!InspectPackedFile(path)) throw KelvError(kErrFile, "PayloadsOfFile", "cannot read " + path);
  HMODULE module = LoadLibraryExW(Utf8ToWide(path).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) {
    return std::make_unique<UnloadableFile>("it does not load as an executable: " +
                                            LastErrorMessage(GetLastError()));
  }
  return std::make_unique<ResourcePayloads>(module, true, path);
}

void PackInstaller(const std::string& installer, const std::vector<PayloadFile>& payloads,
                   const std::string& output, StoreDigests digests) {
  // UpdateResourceW takes each payload as one block of memory, so here a payload is read
  // whole; the other OSes stream it.
  std::vector<std::pair<std::wstring, std::string>> data;
  for (const PayloadFile& p : payloads) {
    if (p.name.empty()) throw KelvError(kErrInvalidArgument, "PackInstaller", "empty payload name");
    std::optional<std::string> bytes = ReadFileBytes(p.path);
    if (!bytes) throw KelvError(kErrFile, "PackInstaller", "cannot read the package " + p.path);
    if (digests == StoreDigests::kYes) {
      data.emplace_back(Utf8ToWide(p.name + kDigestSuffix), DigestToHex(Sha256Of(*bytes)));
    }
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
  // Payloads and digests carried before and not given now are removed (a missing one is no
  // failure).
  for (const wchar_t* old : {L"VERS", L"MWEB", L"VERS.SHA256", L"MWEB.SHA256"}) {
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
