// FormPrinc's window on Windows: a top-level window titled "Actualizador" with its labels,
// close picture and timer, created hidden, carrying the program's icon (resource 1).
#include <windows.h>

#include "platform/wide_text.h"
#include "update/form_princ.h"

namespace kelv {
namespace {

constexpr wchar_t kClassName[] = L"KelvFormPrinc";
constexpr UINT_PTR kTimer1 = 1;
constexpr int kIdPicSalir = 101;
constexpr int kIdLblCerrar = 102;

class Win32FormPrinc : public FormPrincWindow {
 public:
  ~Win32FormPrinc() override { Destroy(); }

  void Create(std::function<void()> onClose) override {
    onClose_ = std::move(onClose);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Win32FormPrinc::Proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    if (wc.hIcon == nullptr) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    const std::wstring caption = Utf8ToWide(FormPrinc::kCaption);
    hwnd_ = CreateWindowExW(0, kClassName, caption.c_str(), WS_POPUP | WS_BORDER, CW_USEDEFAULT,
                            CW_USEDEFAULT, FormPrinc::kWidth, FormPrinc::kHeight, nullptr,
                            nullptr, instance, this);
    if (hwnd_ == nullptr) {
      // A window station without a display (Wine with no X server) refuses top-level
      // windows; a message-only window keeps the timer and the life cycle the same.
      hwnd_ = CreateWindowExW(0, kClassName, caption.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, instance, this);
      SetTimerEnabled(true);
      return;
    }
    grey_ = CreateSolidBrush(RGB(FormPrinc::kPicSalirGrey, FormPrinc::kPicSalirGrey,
                                 FormPrinc::kPicSalirGrey));
    fontEstado_ = CreateFontW(-FormPrinc::kFontPixels, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET,
                              0, 0, 0, 0, L"Arial Narrow");
    fontCerrar_ = CreateFontW(-FormPrinc::kFontPixels, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET,
                              0, 0, 0, 0, L"Arial");
    HWND estado = Child(Utf8ToWide(FormPrinc::kLblEstado), FormPrinc::kLblEstadoBox, 0, 0);
    SendMessageW(estado, WM_SETFONT, reinterpret_cast<WPARAM>(fontEstado_), FALSE);
    // lblCerrar first, so it lies above PicSalir and takes the clicks on the "X".
    cerrar_ = Child(Utf8ToWide(FormPrinc::kLblCerrar), FormPrinc::kLblCerrarBox, kIdLblCerrar,
                    SS_NOTIFY | SS_CENTER);
    pic_ = Child(L"", FormPrinc::kPicSalirBox, kIdPicSalir, SS_NOTIFY);
    SendMessageW(cerrar_, WM_SETFONT, reinterpret_cast<WPARAM>(fontCerrar_), FALSE);
    SetTimerEnabled(true);
  }

  void SetTimerEnabled(bool enabled) override {
    if (hwnd_ == nullptr) return;
    if (enabled && !timer_) timer_ = SetTimer(hwnd_, kTimer1, 1000, nullptr) != 0;
    if (!enabled && timer_) {
      KillTimer(hwnd_, kTimer1);
      timer_ = false;
    }
  }

  void Destroy() override {
    if (hwnd_ != nullptr) {
      HWND h = hwnd_;
      hwnd_ = nullptr;
      DestroyWindow(h);
    }
    pic_ = nullptr;
    cerrar_ = nullptr;
    Release(grey_);
    Release(fontEstado_);
    Release(fontCerrar_);
    timer_ = false;
  }

  bool Exists() const override { return hwnd_ != nullptr && IsWindow(hwnd_); }
  bool Visible() const override { return hwnd_ != nullptr && IsWindowVisible(hwnd_); }
  bool TimerEnabled() const override { return timer_; }

  void Show() override {
    if (hwnd_ == nullptr || pic_ == nullptr) return;  // a message-only window has no look
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - FormPrinc::kWidth) / 2,
                 work.top + (work.bottom - work.top - FormPrinc::kHeight) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
  }

  void Click(bool picSalir) override {
    if (hwnd_ == nullptr) return;
    const int id = picSalir ? kIdPicSalir : kIdLblCerrar;
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hwnd_, id)));
  }

 private:
  template <class T>
  static void Release(T& object) {
    if (object != nullptr) DeleteObject(object);
    object = nullptr;
  }

  HWND Child(const std::wstring& text, const FormPrinc::Box& box, int id, DWORD style) {
    return CreateWindowExW(0, L"STATIC", text.c_str(),
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, box.left, box.top,
                           box.width, box.height, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32FormPrinc*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr) {
      if (msg == WM_COMMAND && HIWORD(wp) == STN_CLICKED &&
          (LOWORD(wp) == kIdPicSalir || LOWORD(wp) == kIdLblCerrar)) {
        if (self->onClose_) self->onClose_();
        return 0;
      }
      // PicSalir is grey, and the "X" on it shows the same grey around it.
      if (msg == WM_CTLCOLORSTATIC &&
          (reinterpret_cast<HWND>(lp) == self->pic_ || reinterpret_cast<HWND>(lp) == self->cerrar_)) {
        SetBkColor(reinterpret_cast<HDC>(wp), RGB(FormPrinc::kPicSalirGrey, FormPrinc::kPicSalirGrey,
                                                  FormPrinc::kPicSalirGrey));
        return reinterpret_cast<LRESULT>(self->grey_);
      }
      if (msg == WM_TIMER) return 0;  // Timer1 has no action
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }

  HWND hwnd_ = nullptr;
  HWND pic_ = nullptr;
  HWND cerrar_ = nullptr;
  HBRUSH grey_ = nullptr;
  HFONT fontEstado_ = nullptr;
  HFONT fontCerrar_ = nullptr;
  bool timer_ = false;
  std::function<void()> onClose_;
};

}  // namespace

std::unique_ptr<FormPrincWindow> NativeFormPrincWindow() {
  return std::make_unique<Win32FormPrinc>();
}

}  // namespace kelv
