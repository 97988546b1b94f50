// Geometry of the dialog: sizes the dialog to its message and centres the button row.
#include "dialogs/alert_layout.h"

#include <string>
#include <vector>

#include "text/toolbox.h"
#include "text/utf8.h"

namespace kelv {

namespace {
constexpr double kWidthFactor = 1.65;   // margin around the label, in label lefts
constexpr double kHeightFactor = 2.7;   // space above and below the label, in label tops

int Round(double value) { return static_cast<int>(BankersRound(value)); }
}  // namespace

int EstimateDisplayLines(std::string_view text) {
  std::vector<std::string> lines = Split(text, "\r\n");
  if (lines.empty()) return 1;
  int count = 0;
  for (const std::string& line : lines)
    count += 1 + static_cast<int>(CharCount(line) / kAlertLineChars);
  return count;
}

int CountLineBreaks(std::string_view text) {
  int count = 0;
  for (std::size_t pos = text.find("\r\n"); pos != std::string_view::npos;
       pos = text.find("\r\n", pos + 2))
    ++count;
  return count;
}

AlertLayout ComputeAlertLayout(const AlertForm& form, const AlertMetrics& metrics) {
  AlertLayout out;
  out.labelWidth = metrics.labelWidth;
  out.labelHeight = metrics.labelHeight;

  // Buttons keep the design width unless a caller-given caption needs more room.
  for (int k = 0; k < kAlertButtonCount; ++k) {
    if (form.tipo == 5 && form.buttons[k].visible &&
        metrics.captionWidths[k] > kAlertWideCaption)
      out.buttons[k].width = metrics.captionWidths[k] + kAlertButtonGap;
  }

  const int n = form.shownCount;
  out.displayLines = EstimateDisplayLines(form.message);
  const int lines = out.displayLines;
  int width = Round(metrics.labelWidth + kWidthFactor * kAlertLabelLeft);
  out.lineHeight = Round(static_cast<double>(metrics.labelHeight) /
                         (CountLineBreaks(form.message) + 1));

  if (width > kAlertMaxWidth) {
    width = kAlertMaxWidth;
    out.labelWraps = true;
    out.labelWidth = Round(kAlertMaxWidth - kWidthFactor * kAlertLabelLeft);
    out.labelHeight = out.lineHeight * lines;
  }

  const int bw = out.buttons[0].width;
  const int rowWidth = (bw + kAlertButtonGap) * n + kAlertLabelLeft;
  if (rowWidth > width) width = rowWidth;

  out.width = width;
  out.height = Round(kHeightFactor * kAlertLabelTop + out.lineHeight * lines +
                     out.buttons[0].height);

  // The k-th shown button, spaced by the width of button 0 with 13-pixel gaps, centred.
  int k = 0;
  for (int b = 0; b < kAlertButtonCount; ++b) {
    if (!form.buttons[b].visible) continue;
    AlertButtonPlace& place = out.buttons[b];
    place.visible = true;
    // Halved positions round down, so every button moves by the same step.
    const int doubled = width + (2 * k - n) * bw + (2 * k - n + 1) * kAlertButtonGap;
    place.left = doubled >= 0 ? doubled / 2 : -((1 - doubled) / 2);
    place.top = 2 * kAlertLabelTop + out.labelHeight;
    ++k;
  }
  return out;
}

}  // namespace kelv
