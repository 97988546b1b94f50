// Path joining with the native separator (all OSes).
#include "platform/paths.h"

namespace kelv {
namespace {

std::size_t LastSeparator(std::string_view path) {
  std::size_t a = path.rfind('\\');
  std::size_t b = path.rfind(kPathSep);
  if (a == std::string_view::npos) return b;
  if (b == std::string_view::npos) return a;
  return a > b ? a : b;
}

}  // namespace

std::string JoinSep(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (out.empty() || out.back() != kPathSep) out.push_back(kPathSep);
  out.append(name);
  return out;
}

std::string NativeSeparators(std::string_view path) {
  std::string out(path);
  for (char& c : out) {
    if (c == '\\') c = kPathSep;
  }
  return out;
}

std::string FolderOf(std::string_view path) {
  std::size_t p = LastSeparator(path);
  return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string FileNameOf(std::string_view path) {
  std::size_t p = LastSeparator(path);
  return p == std::string_view::npos ? std::string(path) : std::string(path.substr(p + 1));
}

}  // namespace kelv
