// The plain message box on Linux: a small FLTK window with an exclamation mark and one
// "Aceptar" button when a display is present, the console form otherwise.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>

#include "platform/message_box.h"
#include "platform/message_box_console.h"
#include "platform/message_box_display.h"
#include "platform/message_box_text.h"

namespace kelv {

namespace {

// Closes on Enter, Escape and the window manager's close; the button closes it too.
class MessageBoxWindow : public Fl_Double_Window {
 public:
  using Fl_Double_Window::Fl_Double_Window;
  int handle(int event) override {
    if (event == FL_KEYBOARD || event == FL_SHORTCUT) {
      int key = Fl::event_key();
      if (key == FL_Enter || key == FL_KP_Enter || key == FL_Escape) {
        hide();
        return 1;
      }
    }
    return Fl_Double_Window::handle(event);
  }
};

void ShowFltkMessageBox(const std::string& text, const std::string& title) {
  const std::string label = LiteralFltkLabel(text);
  fl_font(FL_HELVETICA, 13);
  int textW = 0, textH = 0;
  fl_measure(label.c_str(), textW, textH, 1);
  const int iconSize = 40, margin = 16, buttonW = 86, buttonH = 24;
  const int width = std::max(margin * 3 + iconSize + textW, 2 * margin + buttonW);
  const int bodyH = std::max(iconSize, textH);
  const int height = margin * 3 + bodyH + buttonH;

  MessageBoxWindow window(width, height);
  window.copy_label(title.c_str());
  Fl_Box icon(margin, margin, iconSize, iconSize, "!");
  icon.box(FL_OVAL_BOX);
  icon.color(fl_rgb_color(254, 254, 159));
  icon.labelfont(FL_HELVETICA_BOLD);
  icon.labelsize(28);
  Fl_Box message(2 * margin + iconSize, margin, textW, bodyH);
  message.copy_label(label.c_str());
  message.labelsize(13);
  message.align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  Fl_Button ok((width - buttonW) / 2, height - margin - buttonH, buttonW, buttonH, "&Aceptar");
  ok.callback([](Fl_Widget* w, void*) { w->window()->hide(); });
  window.end();
  window.set_modal();
  window.position((Fl::w() - width) / 2, (Fl::h() - height) / 2);
  window.show();
  ok.take_focus();
  while (window.shown()) Fl::wait();
}

}  // namespace

void ShowMessageBox(std::string_view text, std::string_view title) {
  std::string shownTitle = title.empty() ? ApplicationTitle() : std::string(title);
  if (UserInterfaceSuppressed() || !WindowSystemAvailable()) {
    ShowConsoleMessageBox(text, shownTitle);
    return;
  }
  ShowFltkMessageBox(std::string(text), shownTitle);
}

}  // namespace kelv
