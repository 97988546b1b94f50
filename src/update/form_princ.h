// FormPrinc: the installer's main window, loaded hidden around the hand-over (all OSes). A
// real window of the system's own (Win32 on Windows, FLTK on Linux) where windows can be
// shown; on Linux without a display, or with KELV_NO_UI set, a stand-in object with the same
// life cycle.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

namespace kelv {

// The window system's side of FormPrinc. Create never shows the window.
class FormPrincWindow {
 public:
  virtual ~FormPrincWindow() = default;
  // Creates the window and its controls, hidden, with Timer1 running; onClose is called
  // when PicSalir or lblCerrar is clicked.
  virtual void Create(std::function<void()> onClose) = 0;
  virtual void SetTimerEnabled(bool enabled) = 0;
  virtual void Destroy() = 0;
  virtual bool Exists() const = 0;
  virtual bool Visible() const = 0;
  virtual bool TimerEnabled() const = 0;
  // Acts as a click on PicSalir (true) or lblCerrar (false) would.
  virtual void Click(bool picSalir) = 0;
  // Shows the created window, centred on the screen. The update run never calls it.
  virtual void Show() = 0;
};

// The window of this system.
std::unique_ptr<FormPrincWindow> NativeFormPrincWindow();

class FormPrinc {
 public:
  // The fixed design.
  static constexpr std::string_view kCaption = "Actualizador";
  static constexpr std::string_view kLblEstado = "Estado: ";
  static constexpr std::string_view kLblCerrar = "X";
  static constexpr int kPicSalirGrey = 224;  // red, green and blue of PicSalir's background

  // The fixed layout, in pixels: a borderless window with a thin frame, lblEstado on the
  // left, and at the top right corner PicSalir with lblCerrar's "X" on it.
  struct Box {
    int left, top, width, height;
  };
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 60;
  static constexpr Box kLblEstadoBox{8, 20, 200, 16};
  static constexpr Box kPicSalirBox{296, 0, 24, 20};
  static constexpr Box kLblCerrarBox{302, 2, 12, 16};
  static constexpr int kFontPixels = 12;  // both labels, bold

  explicit FormPrinc(std::unique_ptr<FormPrincWindow> window = NativeFormPrincWindow());
  ~FormPrinc();

  // Creates the window and its controls without showing them; nothing when loaded.
  void Load();
  // Switches Timer1 off, then destroys the window; nothing when not loaded.
  void Unload();
  bool Loaded() const;
  bool Visible() const;
  bool TimerEnabled() const;
  // Shows the loaded window, centred; nothing when not loaded. No step of the update run
  // shows the window: this is for looking at it (the window test's probe).
  void Show();
  // The two close controls: each unloads the window.
  void PicSalir_Click();
  void lblCerrar_Click();

 private:
  std::unique_ptr<FormPrincWindow> window_;
};

}  // namespace kelv
