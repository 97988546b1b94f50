// The plain message box on Windows: the system's MessageBoxW with the exclamation icon.
#include <windows.h>

#include "platform/message_box.h"
#include "platform/message_box_console.h"
#include "platform/message_box_display.h"
#include "platform/wide_text.h"

namespace kelv {

void ShowMessageBox(std::string_view text, std::string_view title) {
  std::string shownTitle = title.empty() ? ApplicationTitle() : std::string(title);
  if (UserInterfaceSuppressed() || !WindowSystemAvailable()) {
    ShowConsoleMessageBox(text, shownTitle);
    return;
  }
  std::wstring wideText = Utf8ToWide(text);
  std::wstring wideTitle = Utf8ToWide(shownTitle);
  int answer = MessageBoxW(nullptr, wideText.c_str(), wideTitle.c_str(),
                           MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
  // No desktop to show it on (a service, a headless session): say it on the console.
  if (answer == 0) ShowConsoleMessageBox(text, shownTitle);
}

}  // namespace kelv
