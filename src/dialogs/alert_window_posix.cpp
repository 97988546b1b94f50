// The dialog frmAlert as an FLTK window on Linux: borderless, modal, dragged by its title
// strip, keys handled by AlertKeys. The X window is named "Mensaje", the dialog's caption.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <array>
#include <memory>
#include <string>

#include "dialogs/alert_keys.h"
#include "dialogs/alert_layout.h"
#include "dialogs/alert_window.h"
#include "platform/message_box_text.h"

namespace kelv {

namespace {

// Pixel sizes of the design's fonts at 96 dots per inch.
constexpr int kDialogFontSize = 11;   // Arial 8.25 pt: captions are measured in it
constexpr int kMessageFontSize = 13;  // Arial 9.75 pt
constexpr int kGlyphFontSize = 32;    // Tahoma 24 pt bold
constexpr int kStripFontSize = 9;
constexpr int kLabelInset = 3;

// '@' starts a symbol in FLTK labels; doubled it shows as itself. '&' keeps its mnemonic
// meaning in captions.
std::string CaptionLabel(const std::string& caption) {
  std::string out;
  for (char c : caption) {
    if (c == '@') out.push_back(c);
    out.push_back(c);
  }
  return out;
}

// The title strip: a coloured band with the title; the left button drags the dialog.
class TitleStrip : public Fl_Box {
 public:
  using Fl_Box::Fl_Box;
  int handle(int event) override {
    switch (event) {
      case FL_PUSH:
        if (Fl::event_button() == FL_LEFT_MOUSE) {
          window()->cursor(FL_CURSOR_MOVE);
          dragX_ = Fl::event_x_root() - window()->x();
          dragY_ = Fl::event_y_root() - window()->y();
          dragging_ = true;
        } else {
          window()->cursor(FL_CURSOR_DEFAULT);
          dragging_ = false;
        }
        return 1;
      case FL_DRAG:
        if (dragging_)
          window()->position(Fl::event_x_root() - dragX_, Fl::event_y_root() - dragY_);
        return 1;
      case FL_RELEASE:
        dragging_ = false;
        return 1;
      default:
        return Fl_Box::handle(event);
    }
  }

 private:
  int dragX_ = 0, dragY_ = 0;
  bool dragging_ = false;
};

// A dialog button: clicks are its own, keys go to the dialog so every key follows the
// same rules.
class AlertButtonWidget : public Fl_Button {
 public:
  using Fl_Button::Fl_Button;
  int handle(int event) override {
    if (event == FL_KEYBOARD || event == FL_KEYUP || event == FL_SHORTCUT) return 0;
    return Fl_Button::handle(event);
  }
};

class AlertWindow : public Fl_Double_Window {
 public:
  AlertWindow(const AlertForm& form, const AlertLayout& layout)
      : Fl_Double_Window(layout.width, layout.height, "Mensaje"), form_(form), keys_(form) {
    border(0);
    strip_ = std::make_unique<TitleStrip>(FL_FLAT_BOX, 0, 0, layout.width, kAlertStripHeight,
                                          nullptr);
    strip_->color(fl_rgb_color(40, 70, 140));
    strip_->labelcolor(FL_WHITE);
    strip_->labelsize(kStripFontSize);
    strip_->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
    strip_->copy_label(LiteralFltkLabel(" " + form.title).c_str());

    patch_ = std::make_unique<Fl_Box>(FL_FLAT_BOX, kAlertPatchLeft, kAlertPatchTop,
                                      kAlertPatchWidth, kAlertPatchHeight, nullptr);
    patch_->color(fl_rgb_color(form.patchRed, form.patchGreen, form.patchBlue));
    glyph_ = std::make_unique<Fl_Box>(FL_NO_BOX, kAlertGlyphLeft, kAlertGlyphTop,
                                      kAlertGlyphWidth, kAlertGlyphHeight, nullptr);
    glyph_->copy_label(form.glyph.c_str());
    glyph_->labelfont(FL_HELVETICA_BOLD);
    glyph_->labelsize(kGlyphFontSize);

    // FLTK keeps a left-aligned label 3 pixels inside its box: the box is widened by as
    // much on each side so the text itself takes the label's place and width.
    message_ = std::make_unique<Fl_Box>(FL_NO_BOX, layout.labelLeft - kLabelInset,
                                        layout.labelTop, layout.labelWidth + 2 * kLabelInset,
                                        layout.labelHeight, nullptr);
    message_->copy_label(LiteralFltkLabel(form.message).c_str());
    message_->labelsize(kMessageFontSize);
    Fl_Align align = FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_CLIP;
    if (layout.labelWraps) align |= FL_ALIGN_WRAP;
    message_->align(align);

    for (int k = 0; k < kAlertButtonCount; ++k) {
      const AlertButtonPlace& place = layout.buttons[k];
      auto button = std::make_unique<AlertButtonWidget>(place.left, place.top, place.width,
                                                        place.height);
      button->copy_label(CaptionLabel(form.buttons[k].caption).c_str());
      button->labelsize(kDialogFontSize);
      button->callback(&AlertWindow::OnClick, this);
      if (!place.visible) button->hide();
      buttons_[k] = std::move(button);
    }
    end();
    set_modal();
  }

  // Shows the window modally and returns the pressed button's code.
  std::int16_t Run(AlertWindowPlace& place) {
    if (!place.placed) {
      place.left = Fl::x() + (Fl::w() - w()) / 2;
      place.top = Fl::y() + (Fl::h() - h()) / 2;
      place.placed = true;
    }
    position(place.left, place.top);
    show();
    FocusButton(keys_.Focus());
    while (shown()) Fl::wait();
    place.left = x();
    place.top = y();
    return code_;
  }

  int handle(int event) override {
    if (event == FL_KEYBOARD || event == FL_SHORTCUT) {
      HandleKey();
      return 1;
    }
    return Fl_Double_Window::handle(event);
  }

  // Closing without a button (window manager close).
  void hide() override {
    if (!answered_) {
      answered_ = true;
      code_ = CloseWithoutButtonCode(form_);
    }
    Fl_Double_Window::hide();
  }

 private:
  static void OnClick(Fl_Widget* widget, void* data) {
    auto* self = static_cast<AlertWindow*>(data);
    for (int k = 0; k < kAlertButtonCount; ++k)
      if (self->buttons_[k].get() == widget) self->Press(k);
  }

  void Press(int index) {
    answered_ = true;
    code_ = form_.buttons[index].code;
    Fl_Double_Window::hide();
  }

  void FocusButton(int index) {
    if (index >= 0) buttons_[index]->take_focus();
  }

  // The key rules follow the toolkit's focus (a click may have moved it).
  void FollowFocus() {
    for (int k = 0; k < kAlertButtonCount; ++k)
      if (Fl::focus() == buttons_[k].get()) keys_.SetFocus(k);
  }

  void HandleKey() {
    const int key = Fl::event_key();
    int pressed = -1;
    if (key == FL_Right || key == FL_Left || key == FL_Tab) {
      // The toolkit may have moved the focus (a click); the move starts from there.
      FollowFocus();
      if (key == FL_Tab) {
        keys_.OnKey(Fl::event_state(FL_SHIFT) ? AlertKey::ShiftTab : AlertKey::Tab);
      } else {
        keys_.OnKey(key == FL_Right ? AlertKey::Right : AlertKey::Left);
      }
      FocusButton(keys_.Focus());
    } else if (key == FL_Enter || key == FL_KP_Enter) {
      FollowFocus();
      pressed = keys_.OnKey(AlertKey::Enter);
    } else if (key == FL_Escape) {
      keys_.OnKey(AlertKey::Escape);
    } else if (key >= 0x20 && key < 0x7f) {
      pressed = keys_.OnKey(AlertKey::Character, std::string(1, static_cast<char>(key)));
    } else if (Fl::event_length() > 0 && static_cast<unsigned char>(Fl::event_text()[0]) >= 0x80) {
      pressed = keys_.OnKey(AlertKey::Character, Fl::event_text());
    }
    if (pressed >= 0) Press(pressed);
  }

  const AlertForm& form_;
  AlertKeys keys_;
  std::unique_ptr<TitleStrip> strip_;
  std::unique_ptr<Fl_Box> patch_, glyph_, message_;
  std::array<std::unique_ptr<AlertButtonWidget>, kAlertButtonCount> buttons_;
  std::int16_t code_ = 0;
  bool answered_ = false;
};

}  // namespace

AlertMetrics MeasureAlertWindow(const AlertForm& form) {
  AlertMetrics metrics;
  fl_font(FL_HELVETICA, kMessageFontSize);
  const std::string label = LiteralFltkLabel(form.message);
  int w = 0, h = 0;
  fl_measure(label.c_str(), w, h, 0);
  metrics.labelWidth = w;
  metrics.labelHeight = h;
  fl_font(FL_HELVETICA, kDialogFontSize);
  for (int k = 0; k < kAlertButtonCount; ++k)
    metrics.captionWidths[k] = static_cast<int>(fl_width(form.buttons[k].caption.c_str()) + 0.5);
  return metrics;
}

std::optional<std::int16_t> ShowAlertWindow(const AlertForm& form, AlertWindowPlace& place) {
  AlertWindow window(form, ComputeAlertLayout(form, MeasureAlertWindow(form)));
  return window.Run(place);
}

}  // namespace kelv
