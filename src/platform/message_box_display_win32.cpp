// Whether windows can be shown, on Windows: a hidden window is created once to find out
// (it fails where no desktop can be reached, as under Wine without a display).
#include <windows.h>

#include "platform/message_box_display.h"

namespace kelv {

namespace {
bool CanCreateWindow() {
  HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  if (probe == nullptr) return false;
  DestroyWindow(probe);
  return true;
}
}  // namespace

bool WindowSystemAvailable() {
  static const bool available = CanCreateWindow();
  return available;
}

}  // namespace kelv
