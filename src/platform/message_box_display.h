// Whether windows can be shown at all (all OSes), for the message box and the dialog.
#pragma once

namespace kelv {

// True when a window can be shown. Windows: when a window can be created (not so where no
// desktop can be reached, as under Wine without a display). Linux: when DISPLAY is set and names a display that opens; the
// window toolkit (FLTK) is then connected to it and YieldToWindowSystem() lets it handle
// its pending events. Checked once; later calls give the same answer.
bool WindowSystemAvailable();

}  // namespace kelv
