// Whether windows can be shown, on Linux: opens the X display named by DISPLAY for FLTK.
//
// FLTK's own display opening ends the program when the display cannot be opened, so the
// display is opened here first with Xlib and handed to FLTK only when that worked.
#include <FL/Fl.H>
#include <FL/x.H>

#include "platform/files.h"
#include "platform/message_box_display.h"
#include "platform/ui_yield.h"

namespace kelv {

namespace {
bool OpenDisplayOnce() {
  auto name = GetEnv("DISPLAY");
  if (!name || name->empty()) return false;
  Display* display = XOpenDisplay(name->c_str());
  if (display == nullptr) return false;
  fl_open_display(display);
  SetYieldHook([] { Fl::check(); });
  return true;
}
}  // namespace

bool WindowSystemAvailable() {
  static const bool available = OpenDisplayOnce();
  return available;
}

}  // namespace kelv
