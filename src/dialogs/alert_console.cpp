// The dialog on the console: message and buttons on stderr, answer from a terminal.
#include "dialogs/alert_console.h"

#include "dialogs/alert_keys.h"
#include "platform/message_box_console.h"
#include "text/toolbox.h"
#include "text/utf8.h"

namespace kelv {

std::string ConsoleCaption(std::string_view caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&' || i + 1 >= caption.size()) {
      out.push_back(caption[i]);
    } else if (caption[i + 1] == '&') {
      out.push_back('&');
      ++i;
    } else {
      // The mnemonic is one character, which may take several bytes.
      std::size_t end = i + 2;
      while (end < caption.size() && (static_cast<unsigned char>(caption[end]) & 0xC0) == 0x80)
        ++end;
      out += "[" + std::string(caption.substr(i + 1, end - i - 1)) + "]";
      i = end - 1;
    }
  }
  return out;
}

std::string ConsoleAlertText(const AlertForm& form) {
  std::string text = ConsoleMessageText(form.message, form.title);
  text += "\nBotones:";
  for (const AlertButton& button : form.buttons)
    if (button.visible) text += "  " + ConsoleCaption(button.caption);
  int first = FirstShownButton(form);
  if (first >= 0) text += "  (Enter: " + ConsoleCaption(form.buttons[first].caption) + ")";
  return text;
}

std::int16_t ShowAlertOnConsole(const AlertForm& form, bool readAnswer) {
  WriteConsoleText(ConsoleAlertText(form));
  AlertKeys keys(form);
  int pressed = -1;
  if (!readAnswer) {
    pressed = keys.OnKey(AlertKey::Enter);
  } else {
    while (pressed < 0) {
      std::optional<std::string> line = ReadConsoleLine();
      if (!line) return CloseWithoutButtonCode(form);
      std::string answer = Trim(*line);
      if (answer.empty()) {
        pressed = keys.OnKey(AlertKey::Enter);
      } else {
        std::u32string chars = DecodeUtf8(answer);
        pressed = keys.OnKey(AlertKey::Character, EncodeUtf8(chars.substr(0, 1)));
        if (pressed < 0) WriteConsoleText("Respuesta no válida; escriba la letra de un botón.");
      }
    }
  }
  if (pressed < 0) return CloseWithoutButtonCode(form);
  WriteConsoleText("Respuesta: " + ConsoleCaption(form.buttons[pressed].caption));
  return form.buttons[pressed].code;
}

}  // namespace kelv
