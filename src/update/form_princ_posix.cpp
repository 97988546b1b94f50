// FormPrinc's window on Linux: an FLTK window titled "Actualizador" with its labels, close
// picture and timer, created hidden, as the dialogs are shown. Without a display, or with
// KELV_NO_UI set, a stand-in object keeps the window's state so the life cycle is the same.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>

#include <memory>

#include "platform/message_box_console.h"
#include "platform/message_box_display.h"
#include "update/form_princ.h"

namespace kelv {
namespace {

constexpr double kTimer1Seconds = 1.0;

// The fonts of the design: Arial Narrow bold for lblEstado (the nearest match fontconfig
// has when that face is missing) and Arial bold for lblCerrar.
constexpr Fl_Font kEstadoFont = FL_FREE_FONT;
constexpr Fl_Font kCerrarFont = FL_HELVETICA_BOLD;

// A box that acts as a close control: a click on it (press and release inside) runs its
// callback.
class ClickableBox : public Fl_Box {
 public:
  using Fl_Box::Fl_Box;
  int handle(int event) override {
    if (event == FL_PUSH) return 1;
    if (event == FL_RELEASE) {
      if (Fl::event_inside(this)) do_callback();
      return 1;
    }
    return Fl_Box::handle(event);
  }
};

class FltkFormPrinc : public FormPrincWindow {
 public:
  ~FltkFormPrinc() override { Destroy(); }

  void Create(std::function<void()> onClose) override {
    onClose_ = std::move(onClose);
    Fl::set_font(kEstadoFont, "BArial Narrow");
    const std::string caption(FormPrinc::kCaption);
    window_ = std::make_unique<Fl_Double_Window>(FormPrinc::kWidth, FormPrinc::kHeight);
    window_->copy_label(caption.c_str());
    window_->border(0);
    window_->box(FL_BORDER_BOX);

    const FormPrinc::Box& estado = FormPrinc::kLblEstadoBox;
    auto* lblEstado = new Fl_Box(estado.left, estado.top, estado.width, estado.height);
    lblEstado->copy_label(std::string(FormPrinc::kLblEstado).c_str());
    lblEstado->labelfont(kEstadoFont);
    lblEstado->labelsize(FormPrinc::kFontPixels);
    lblEstado->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);

    const FormPrinc::Box& pic = FormPrinc::kPicSalirBox;
    auto* picSalir = new ClickableBox(FL_FLAT_BOX, pic.left, pic.top, pic.width, pic.height,
                                      nullptr);
    picSalir->color(fl_rgb_color(FormPrinc::kPicSalirGrey, FormPrinc::kPicSalirGrey,
                                 FormPrinc::kPicSalirGrey));
    picSalir->callback(&FltkFormPrinc::OnCloseControl, this);

    const FormPrinc::Box& cerrar = FormPrinc::kLblCerrarBox;
    auto* lblCerrar = new ClickableBox(FL_NO_BOX, cerrar.left, cerrar.top, cerrar.width,
                                       cerrar.height, nullptr);
    lblCerrar->copy_label(std::string(FormPrinc::kLblCerrar).c_str());
    lblCerrar->labelfont(kCerrarFont);
    lblCerrar->labelsize(FormPrinc::kFontPixels);
    lblCerrar->callback(&FltkFormPrinc::OnCloseControl, this);

    window_->end();  // the window owns its children from here on
    SetTimerEnabled(true);
  }

  void SetTimerEnabled(bool enabled) override {
    if (!window_) return;
    if (enabled && !timer_) Fl::add_timeout(kTimer1Seconds, &FltkFormPrinc::OnTimer1, this);
    if (!enabled) Fl::remove_timeout(&FltkFormPrinc::OnTimer1, this);
    timer_ = enabled;
  }

  void Destroy() override {
    Fl::remove_timeout(&FltkFormPrinc::OnTimer1, this);
    Fl::remove_timeout(&FltkFormPrinc::CloseFromEventLoop, this);
    timer_ = false;
    if (window_) {
      window_->hide();
      window_.reset();
    }
  }

  bool Exists() const override { return window_ != nullptr; }
  bool Visible() const override { return window_ && window_->visible(); }
  bool TimerEnabled() const override { return timer_; }

  void Click(bool /*picSalir: both controls do the same*/) override {
    if (window_ && onClose_) onClose_();
  }

  void Show() override {
    if (!window_) return;
    window_->position(Fl::x() + (Fl::w() - window_->w()) / 2,
                      Fl::y() + (Fl::h() - window_->h()) / 2);
    window_->show();
  }

 private:
  // Timer1 has no action; it only runs while it is on.
  static void OnTimer1(void* data) {
    Fl::repeat_timeout(kTimer1Seconds, &FltkFormPrinc::OnTimer1, data);
  }

  // A close control was clicked: the window is unloaded from the event loop, not from inside
  // the handling of its own event, since unloading deletes it.
  static void OnCloseControl(Fl_Widget*, void* data) {
    Fl::add_timeout(0.0, &FltkFormPrinc::CloseFromEventLoop, data);
  }

  static void CloseFromEventLoop(void* data) {
    auto* self = static_cast<FltkFormPrinc*>(data);
    if (self->window_ && self->onClose_) self->onClose_();
  }

  std::unique_ptr<Fl_Double_Window> window_;
  bool timer_ = false;
  std::function<void()> onClose_;
};

// Where no window can be shown: the window's state without a window.
class HiddenWindowStandIn : public FormPrincWindow {
 public:
  void Create(std::function<void()> onClose) override {
    onClose_ = std::move(onClose);
    exists_ = true;
    timer_ = true;
  }
  void SetTimerEnabled(bool enabled) override { timer_ = enabled; }
  void Destroy() override {
    exists_ = false;
    timer_ = false;
  }
  bool Exists() const override { return exists_; }
  bool Visible() const override { return false; }
  bool TimerEnabled() const override { return timer_; }
  void Click(bool) override {
    if (exists_ && onClose_) onClose_();
  }
  void Show() override {}

 private:
  std::function<void()> onClose_;
  bool exists_ = false;
  bool timer_ = false;
};

}  // namespace

std::unique_ptr<FormPrincWindow> NativeFormPrincWindow() {
  if (!UserInterfaceSuppressed() && WindowSystemAvailable()) {
    return std::make_unique<FltkFormPrinc>();
  }
  return std::make_unique<HiddenWindowStandIn>();
}

}  // namespace kelv
