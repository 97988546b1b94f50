// Tagged-text settings reader and writer (all OSes).
#include "settings/tagged_text.h"

#include "platform/files.h"
#include "text/cp1252.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsWholeTextTag(std::string_view tag) { return Trim(tag) == "*"; }

bool StartsWithCrLf(std::string_view s) { return s.substr(0, 2) == kCrLf; }
bool EndsWithCrLf(std::string_view s) { return s.size() >= 2 && s.substr(s.size() - 2) == kCrLf; }

void DropLeadingCrLf(std::string& s) {
  if (StartsWithCrLf(s)) s.erase(0, 2);
}
void DropTrailingCrLf(std::string& s) {
  if (EndsWithCrLf(s)) s.erase(s.size() - 2);
}

// Appends "[tag]" content "[/tag]", each on its own line.
void AppendBlock(std::string& text, std::string_view tag, std::string_view content) {
  text.append("[").append(tag).append("]");
  if (!StartsWithCrLf(content)) text.append(kCrLf);
  text.append(content);
  if (!EndsWithCrLf(content)) text.append(kCrLf);
  text.append("[/").append(tag).append("]");
}

}  // namespace

std::string LeerBloqueTexto(std::string_view text, std::string_view tag) {
  std::string result;
  if (IsWholeTextTag(tag)) {
    result = std::string(text);
  } else {
    const std::string open = "[" + std::string(tag) + "]";
    std::size_t p = InStr(1, text, open, Compare::AnyCase);
    if (p != 0) {
      std::size_t s = p + open.size();
      std::size_t q = InStr(s, text, "[/" + std::string(tag) + "]", Compare::AnyCase);
      if (q != 0) result = Mid(text, s, q - s);
    }
  }
  DropTrailingCrLf(result);
  DropLeadingCrLf(result);
  return result;
}

namespace {

// The file's text, read as Windows-1252; a missing file is created empty (when its folder
// exists) and reads as the empty text. nullopt when a file that is there cannot be read.
std::optional<std::string> ReadSettingsText(const std::string& path) {
  if (!PathExists(path)) CreateFileIfMissing(path);
  std::optional<std::string> bytes = ReadFileBytes(path);
  if (!bytes) {
    if (PathExists(path)) return std::nullopt;
    return std::string();
  }
  return Cp1252ToUtf8(*bytes);
}

}  // namespace

std::string LeerTextoArch(const std::string& path) {
  return ReadSettingsText(path).value_or(std::string());
}

std::string LeerBloqueArch(const std::string& path, std::string_view tag) {
  return LeerBloqueTexto(LeerTextoArch(path), tag);
}

std::string GuardoBloqueTexto(std::string_view oldText, std::string_view tag,
                              std::string_view content) {
  if (IsWholeTextTag(tag)) return std::string(content);
  std::string text(oldText);
  DropLeadingCrLf(text);
  DropTrailingCrLf(text);
  // Close up single blank lines between blocks.
  for (std::string_view seq : {"]\r\n\r\n[", "] \r\n\r\n[", "] \r\n\r\n [", "]\r\n\r\n ["}) {
    text = Replace(text, seq, "]\r\n[");
  }
  const std::string open = "[" + std::string(tag) + "]";
  const std::string close = "[/" + std::string(tag) + "]";
  // Remove the old block (every copy of it, in any letter case). Should another block of
  // the same name, or an opening tag that the removal itself made up, remain, it is removed
  // too, so that the block appended below is the one the readers find.
  bool found = false;
  for (std::size_t p; (p = InStr(1, text, open, Compare::AnyCase)) != 0;) {
    found = true;
    std::size_t q = InStr(p + open.size(), text, close, Compare::AnyCase);
    // The old block runs through its closing tag; a dangling opening tag is removed alone.
    std::string oldBlock = q != 0 ? Mid(text, p, q + close.size() - p) : open;
    std::string rest = Replace(text, oldBlock, "", Compare::AnyCase);
    if (rest.size() == text.size()) break;  // cannot happen; guards the loop all the same
    text = std::move(rest);
  }
  if (found) {
    DropLeadingCrLf(text);
    DropTrailingCrLf(text);
    if (!EndsWithCrLf(text)) text.append(kCrLf);
  } else {
    text.append(kCrLf);
  }
  AppendBlock(text, tag, content);
  text = Trim(text);
  DropLeadingCrLf(text);
  DropTrailingCrLf(text);
  return text;
}

void GuardoBloqueArch(const std::string& path, std::string_view tag, std::string_view content) {
  std::string text;
  if (IsWholeTextTag(tag)) {
    text = std::string(content);
  } else {
    // A file that is there but cannot be read is left alone: rewriting it from the empty
    // text would lose every other block in it.
    std::optional<std::string> old = ReadSettingsText(path);
    if (!old) return;
    text = GuardoBloqueTexto(*old, tag, content);
  }
  try {
    WriteFileReplacing(path, Utf8ToCp1252(text));
  } catch (...) {
    // A failed write is not reported; the old file is still whole.
  }
}

}  // namespace kelv
