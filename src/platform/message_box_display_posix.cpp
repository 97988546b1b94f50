// Whether windows can be shown, on Linux: opens the X display named by DISPLAY for FLTK, and
// gives every window the program shows its icon.
//
// FLTK's own display opening ends the program when the display cannot be opened, so the
// display is opened here first with Xlib and handed to FLTK only when that worked.
#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <memory>
#include <vector>

#include "platform/app_icon.h"
#include "platform/files.h"
#include "platform/message_box_display.h"
#include "platform/ui_yield.h"

namespace kelv {

namespace {

// The program's icon for every FLTK window (FLTK keeps its own copies of the images).
void UseProgramIcon() {
  std::vector<std::unique_ptr<Fl_RGB_Image>> images;
  std::vector<const Fl_RGB_Image*> icons;
  for (const AppIconImage& image : AppIconImages()) {
    images.push_back(std::make_unique<Fl_RGB_Image>(image.rgba, image.size, image.size, 4));
    icons.push_back(images.back().get());
  }
  Fl_Window::default_icons(icons.data(), static_cast<int>(icons.size()));
}

bool OpenDisplayOnce() {
  auto name = GetEnv("DISPLAY");
  if (!name || name->empty()) return false;
  Display* display = XOpenDisplay(name->c_str());
  if (display == nullptr) return false;
  fl_open_display(display);
  UseProgramIcon();
  SetYieldHook([] { Fl::check(); });
  return true;
}
}  // namespace

bool WindowSystemAvailable() {
  static const bool available = OpenDisplayOnce();
  return available;
}

}  // namespace kelv
