// The footer of payloads appended to an executable: encoding and validation of both layouts
// (all OSes).
#include "update/payload_footer.h"

#include <algorithm>

#include "text/error.h"

namespace kelv {
namespace {

constexpr std::string_view kMagic = "KELVPAK1";
// The last 16 bytes, the same in every layout, counted from the footer's end.
constexpr std::size_t kCountFromEnd = 16;
constexpr std::size_t kVersionFromEnd = 12;
constexpr std::size_t kMagicFromEnd = 8;

// Where a layout keeps its fields.
struct Layout {
  std::size_t size;
  std::size_t entrySize;
  std::size_t baseAt;
  bool digests;  // entries carry digests, and the footer its own check
};
constexpr Layout kLayout1{kPayloadFooterSizeV1, 24, 96, false};
constexpr Layout kLayout2{kPayloadFooterSize, 56, 224, true};
constexpr std::size_t kCheckAt = 232;  // layout 2: the footer's own check
static_assert(kLayout2.baseAt == kMaxPayloads * kLayout2.entrySize, "layout 2 entries");
static_assert(kCheckAt + kSha256Size + kCountFromEnd == kPayloadFooterSize, "layout 2 tail");
static_assert(kLayout1.baseAt + 8 + kCountFromEnd == kPayloadFooterSizeV1, "layout 1 tail");

const Layout* LayoutOf(std::uint32_t version) {
  if (version == 1) return &kLayout1;
  if (version == 2) return &kLayout2;
  return nullptr;
}

void PutLe(std::string& out, std::size_t at, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

std::uint64_t GetLe(std::string_view in, std::size_t at, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(in[at + i]);
  }
  return value;
}

// A name field: 1 to 8 printable ASCII characters, padded with NUL bytes.
bool ValidName(std::string_view field) {
  const std::size_t length = std::min(field.find('\0'), field.size());
  if (length == 0) return false;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (i < length ? (c < '!' || c > '~') : c != '\0') return false;
  }
  return true;
}

// The footer's own check: the digest of its bytes with the check's place zeroed.
Sha256Digest FooterCheck(std::string footer) {
  std::fill_n(footer.begin() + kCheckAt, kSha256Size, '\0');
  return Sha256Of(footer);
}

}  // namespace

std::size_t PayloadFooterSize(std::uint32_t version) {
  const Layout* layout = LayoutOf(version);
  return layout ? layout->size : 0;
}

std::string EncodePayloadFooter(const PayloadFooter& footer) {
  auto invalid = [](const std::string& what) {
    throw KelvError(kErrInvalidArgument, "EncodePayloadFooter", what);
  };
  const Layout* layout = LayoutOf(footer.version);
  if (layout == nullptr) invalid("unknown footer layout " + std::to_string(footer.version));
  if (footer.entries.size() > kMaxPayloads) invalid("too many payloads");
  std::string out(layout->size, '\0');
  for (std::size_t i = 0; i < footer.entries.size(); ++i) {
    const PayloadEntry& e = footer.entries[i];
    if (e.name.empty() || e.name.size() > kMaxPayloadName) {
      invalid("a payload name must have 1 to 8 characters: " + e.name);
    }
    const std::size_t at = i * layout->entrySize;
    out.replace(at, e.name.size(), e.name);
    PutLe(out, at + 8, e.offset, 8);
    PutLe(out, at + 16, e.length, 8);
    if (layout->digests) {
      if (!e.digest) invalid("the payload " + e.name + " has no digest");
      std::copy(e.digest->begin(), e.digest->end(), out.begin() + at + 24);
    }
  }
  PutLe(out, layout->baseAt, footer.baseSize, 8);
  const std::size_t tail = layout->size - kCountFromEnd;
  PutLe(out, tail, footer.entries.size(), 4);
  PutLe(out, tail + 4, footer.version, 4);
  out.replace(layout->size - kMagicFromEnd, kMagic.size(), kMagic);
  if (layout->digests) {
    const Sha256Digest check = FooterCheck(out);
    std::copy(check.begin(), check.end(), out.begin() + kCheckAt);
  }
  return out;
}

FooterReading DecodePayloadFooter(std::string_view tail, std::uint64_t fileSize) {
  FooterReading r;
  const std::size_t expected =
      static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kPayloadFooterSize));
  if (tail.size() != expected || tail.size() < kCountFromEnd ||
      tail.substr(tail.size() - kMagicFromEnd) != kMagic) {
    return r;
  }
  auto invalid = [&r](std::string problem) {
    r.state = FooterReading::kInvalid;
    r.problem = std::move(problem);
    return r;
  };
  const std::uint64_t version = GetLe(tail, tail.size() - kVersionFromEnd, 4);
  const Layout* layout = version <= 0xFFFFFFFFu ? LayoutOf(static_cast<std::uint32_t>(version)) : nullptr;
  if (layout == nullptr) return invalid("its layout version " + std::to_string(version) + " is unknown");
  if (tail.size() < layout->size) return invalid("the file is shorter than its footer");
  const std::string_view bytes = tail.substr(tail.size() - layout->size);
  if (layout->digests) {
    const Sha256Digest check = FooterCheck(std::string(bytes));
    if (!std::equal(check.begin(), check.end(),
                    reinterpret_cast<const unsigned char*>(bytes.data()) + kCheckAt)) {
      return invalid("its own check does not match");
    }
  }
  const std::uint64_t count = GetLe(bytes, layout->size - kCountFromEnd, 4);
  if (count > kMaxPayloads) return invalid("it lists " + std::to_string(count) + " payloads");
  const std::uint64_t end = fileSize - layout->size;  // payloads end before the footer
  r.footer.version = static_cast<std::uint32_t>(version);
  r.footer.baseSize = GetLe(bytes, layout->baseAt, 8);
  if (r.footer.baseSize > end) return invalid("the installer's own bytes reach into the footer");
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::size_t at = static_cast<std::size_t>(i) * layout->entrySize;
    PayloadEntry e;
    const std::string_view name = bytes.substr(at, kMaxPayloadName);
    e.name = std::string(name.substr(0, name.find('\0')));
    e.offset = GetLe(bytes, at + 8, 8);
    e.length = GetLe(bytes, at + 16, 8);
    if (layout->digests) {
      e.digest.emplace();
      std::copy_n(bytes.begin() + at + 24, kSha256Size, e.digest->begin());
    }
    if (!ValidName(name)) return invalid("a payload's name is not a name");
    for (const PayloadEntry& seen : r.footer.entries) {
      if (seen.name == e.name) return invalid("the payload " + e.name + " is listed twice");
    }
    if (e.offset < r.footer.baseSize || e.offset > end || e.length > end - e.offset) {
      return invalid("the payload " + e.name + " lies outside the file's payload area");
    }
    r.footer.entries.push_back(std::move(e));
  }
  r.state = FooterReading::kValid;
  return r;
}

}  // namespace kelv
