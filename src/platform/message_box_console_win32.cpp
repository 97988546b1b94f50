// Console side of the message box and the dialog on Windows: terminal check and stderr.
#include <windows.h>

#include <cstdio>
#include <iostream>

#include "platform/message_box_console.h"
#include "platform/wide_text.h"

namespace kelv {

// _isatty() is also true for the NUL device, so ask for the console's mode instead: only a
// real console has one.
bool StdinIsTerminal() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  return in != nullptr && in != INVALID_HANDLE_VALUE && GetConsoleMode(in, &mode) != 0;
}

void WriteConsoleText(std::string_view text) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (err != nullptr && err != INVALID_HANDLE_VALUE && GetConsoleMode(err, &mode)) {
    std::fflush(stderr);
    std::wstring wide = Utf8ToWide(text);
    wide.push_back(L'\n');
    DWORD written = 0;
    WriteConsoleW(err, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

namespace {
// The buffer std::cin reads the process's standard input through (tests may replace it).
std::streambuf* const kStdinBuffer = std::cin.rdbuf();
}  // namespace

// A console is read as UTF-16 so typed accents arrive intact; redirected input is read as
// UTF-8 bytes.
std::optional<std::string> ReadConsoleLine() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (std::cin.rdbuf() == kStdinBuffer && in != nullptr && in != INVALID_HANDLE_VALUE &&
      GetConsoleMode(in, &mode)) {
    std::wstring wide;
    wchar_t ch = 0;
    DWORD read = 0;
    while (ReadConsoleW(in, &ch, 1, &read, nullptr) && read == 1) {
      if (ch == L'\n') return WideToUtf8(wide);
      if (ch != L'\r') wide.push_back(ch);
    }
    if (wide.empty()) return std::nullopt;
    return WideToUtf8(wide);
  }
  return ReadStdinLine();
}

}  // namespace kelv
