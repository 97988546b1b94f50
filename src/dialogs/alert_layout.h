// Geometry of the dialog frmAlert (all OSes; pure logic): the dialog's size, the message
// label's size and wrapping, and each button's place, from the measured natural size of the
// message and the captions' widths that the window back-end passes in. Pixels throughout.
#pragma once

#include <array>
#include <string_view>

#include "dialogs/alert_form.h"

namespace kelv {

// The fixed design of the dialog.
inline constexpr int kAlertLabelLeft = 68;      // message label
inline constexpr int kAlertLabelTop = 20;
inline constexpr int kAlertButtonWidth = 86;    // buttons
inline constexpr int kAlertButtonHeight = 20;
inline constexpr int kAlertButtonGap = 13;
inline constexpr int kAlertWideCaption = 73;    // captions wider than this widen their button
inline constexpr int kAlertMaxWidth = 670;      // the dialog is never wider
inline constexpr int kAlertLineChars = 95;      // characters per display line, estimated
inline constexpr int kAlertStripHeight = 12;    // title strip across the top
inline constexpr int kAlertPatchLeft = 9, kAlertPatchTop = 15;    // icon patch
inline constexpr int kAlertPatchWidth = 42, kAlertPatchHeight = 37;
inline constexpr int kAlertGlyphLeft = 11, kAlertGlyphTop = 13;   // glyph area
inline constexpr int kAlertGlyphWidth = 37, kAlertGlyphHeight = 34;

// What the back-end measured.
struct AlertMetrics {
  int labelWidth = 0;   // natural size of the message in the label font (Arial 9.75 pt),
  int labelHeight = 0;  // lines broken only at CR LF
  std::array<int, kAlertButtonCount> captionWidths{};  // each caption in the dialog font
};

struct AlertButtonPlace {
  bool visible = false;
  int left = 0, top = 0, width = kAlertButtonWidth, height = kAlertButtonHeight;
};

struct AlertLayout {
  int width = 0, height = 0;          // the dialog
  int labelLeft = kAlertLabelLeft, labelTop = kAlertLabelTop;
  int labelWidth = 0, labelHeight = 0;
  bool labelWraps = false;            // automatic sizing off: the text wraps in the label
  int lineHeight = 0;                 // H1
  int displayLines = 0;               // L
  std::array<AlertButtonPlace, kAlertButtonCount> buttons;
};

// Estimated display lines L of a message: for each line (split at CR LF), 1 + its length in
// characters integer-divided by 95. The empty message counts as one line.
int EstimateDisplayLines(std::string_view text);

// Number of CR LF pairs in text.
int CountLineBreaks(std::string_view text);

// The dialog's geometry for form, given the measured sizes.
AlertLayout ComputeAlertLayout(const AlertForm& form, const AlertMetrics& metrics);

}  // namespace kelv
