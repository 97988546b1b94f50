// Text conversion at the Windows API boundary (Windows only; no OS types in this header).
#pragma once

#include <string>
#include <string_view>

namespace kelv {

// UTF-8 <-> UTF-16 for the W functions.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// The system's text for an error code from GetLastError(), without the trailing line break.
std::string LastErrorMessage(unsigned long code);

}  // namespace kelv
