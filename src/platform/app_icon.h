// The program's own icon, in the sizes the windows use (all OSes; data only). The same image
// is icon resource 1 of the Windows executable (kelv.ico); scripts/make-icon draws both.
#pragma once

#include <array>

namespace kelv {

// One square image: size x size pixels, RGBA, rows top to bottom.
struct AppIconImage {
  int size;
  const unsigned char* rgba;
};

// The icon at 16 and 32 pixels.
const std::array<AppIconImage, 2>& AppIconImages();

}  // namespace kelv
