// Tagged-text settings: read and write one block "[Name]value[/Name]" of a text or of a
// Windows-1252 file with CR LF line breaks (all OSes).
//
// Nothing here throws or reports an error: anything absent or unreadable reads as the empty
// text, and a failed write leaves the old file whole.
#pragma once

#include <string>
#include <string_view>

namespace kelv {

// The value of block tag in text, or the whole text for the tag "*" (spaces around the
// star allowed). Tag names compare in any letter case; the first opening tag counts and the
// closing tag is searched after it. One CR LF at the end and then one at the start of the
// value are not part of it. A missing block, or an opening tag with no closing tag after it,
// gives the empty text.
std::string LeerBloqueTexto(std::string_view text, std::string_view tag);

// The same on the content of the file at path. A missing file reads as the empty text and
// is created empty when its folder exists.
std::string LeerBloqueArch(const std::string& path, std::string_view tag);

// The text that storing content as block tag into text gives: the old block (any letter
// case) is removed and the new one, with the caller's tag spelling, is appended at the end,
// each block on its own lines, blocks separated by one CR LF, no line break at the end.
// For the tag "*" the result is content unchanged. A dangling opening tag (no closing tag
// after it) is dropped so that the new block is the one read back.
std::string GuardoBloqueTexto(std::string_view text, std::string_view tag,
                              std::string_view content);

// Stores content as block tag in the file at path (see GuardoBloqueTexto); for the tag "*"
// content becomes the whole file without the file being read first. The file is replaced
// as a whole, so a failed write leaves the old file as it was; a file that exists but cannot
// be read is not rewritten. Failures are not reported.
void GuardoBloqueArch(const std::string& path, std::string_view tag, std::string_view content);

// The whole text of a tagged-text file, read as Windows-1252 (a missing file is created
// empty when its folder exists); the empty text when it cannot be read.
std::string LeerTextoArch(const std::string& path);

}  // namespace kelv
