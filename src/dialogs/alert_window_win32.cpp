// The dialog frmAlert as a Win32 window: a borderless popup (caption "Mensaje") with its
// title strip, icon patch, glyph and message painted here and six BUTTON controls; modal
// through its own message loop with the owner disabled; dragged by the title strip; keys
// handled by AlertKeys.
#include <windows.h>

#include <array>
#include <string>

#include "dialogs/alert_keys.h"
#include "dialogs/alert_layout.h"
#include "dialogs/alert_window.h"
#include "platform/wide_text.h"

namespace kelv {

namespace {

constexpr wchar_t kClassName[] = L"KelvFrmAlert";
constexpr int kFirstButtonId = 100;
const COLORREF kStripColour = RGB(40, 70, 140);

// Fonts of the design, in pixels at 96 dots per inch; released when the dialog closes.
struct AlertFonts {
  HFONT dialog = nullptr;   // Arial 8.25 pt: captions are measured in it
  HFONT message = nullptr;  // Arial 9.75 pt
  HFONT button = nullptr;   // MS Sans Serif
  HFONT glyph = nullptr;    // Tahoma 24 pt bold
  HFONT strip = nullptr;    // the title strip's small text

  AlertFonts() {
    dialog = Make(11, FW_NORMAL, L"Arial");
    message = Make(13, FW_NORMAL, L"Arial");
    button = Make(11, FW_NORMAL, L"MS Sans Serif");
    glyph = Make(32, FW_BOLD, L"Tahoma");
    strip = Make(10, FW_NORMAL, L"Tahoma");
  }
  ~AlertFonts() {
    for (HFONT font : {dialog, message, button, glyph, strip})
      if (font) DeleteObject(font);
  }
  AlertFonts(const AlertFonts&) = delete;
  AlertFonts& operator=(const AlertFonts&) = delete;

  static HFONT Make(int pixels, int weight, const wchar_t* face) {
    return CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
  }
};

// One showing of the dialog.
struct AlertSession {
  const AlertForm* form = nullptr;
  AlertLayout layout;
  AlertFonts* fonts = nullptr;
  AlertKeys* keys = nullptr;
  std::wstring title, message, glyph;
  std::array<HWND, kAlertButtonCount> buttons{};
  std::int16_t code = 0;
  bool done = false;

  void Press(int index) {
    if (done) return;
    code = form->buttons[index].code;
    done = true;
  }
  void CloseWithoutButton() {
    if (done) return;
    code = CloseWithoutButtonCode(*form);
    done = true;
  }
  void FocusButton(int index) {
    if (index >= 0 && buttons[index]) SetFocus(buttons[index]);
  }
  // The focus may have been moved by a click: the key rules follow it.
  void FollowFocus() {
    HWND focused = GetFocus();
    for (int k = 0; k < kAlertButtonCount; ++k)
      if (buttons[k] && buttons[k] == focused) keys->SetFocus(k);
  }
};

AlertMetrics Measure(const AlertForm& form, const AlertFonts& fonts) {
  AlertMetrics metrics;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, fonts.message);
  std::wstring text = Utf8ToWide(form.message);
  RECT rect{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
            DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | DT_LEFT);
  metrics.labelWidth = rect.right - rect.left;
  metrics.labelHeight = rect.bottom - rect.top;
  SelectObject(dc, fonts.dialog);
  for (int k = 0; k < kAlertButtonCount; ++k) {
    std::wstring caption = Utf8ToWide(form.buttons[k].caption);
    SIZE size{0, 0};
    if (!caption.empty())
      GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    metrics.captionWidths[k] = size.cx;
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return metrics;
}

void Paint(HWND hwnd, AlertSession& s) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  SetBkMode(dc, TRANSPARENT);

  RECT strip{0, 0, client.right, kAlertStripHeight};
  HBRUSH stripBrush = CreateSolidBrush(kStripColour);
  FillRect(dc, &strip, stripBrush);
  DeleteObject(stripBrush);
  HGDIOBJ old = SelectObject(dc, s.fonts->strip);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT stripText{4, 0, client.right - 4, kAlertStripHeight};
  DrawTextW(dc, s.title.c_str(), static_cast<int>(s.title.size()), &stripText,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);

  const AlertForm& form = *s.form;
  RECT patch{kAlertPatchLeft, kAlertPatchTop, kAlertPatchLeft + kAlertPatchWidth,
             kAlertPatchTop + kAlertPatchHeight};
  HBRUSH patchBrush = CreateSolidBrush(RGB(form.patchRed, form.patchGreen, form.patchBlue));
  FillRect(dc, &patch, patchBrush);
  DeleteObject(patchBrush);
  SelectObject(dc, s.fonts->glyph);
  SetTextColor(dc, RGB(0, 0, 0));
  RECT glyph{kAlertGlyphLeft, kAlertGlyphTop, kAlertGlyphLeft + kAlertGlyphWidth,
             kAlertGlyphTop + kAlertGlyphHeight};
  DrawTextW(dc, s.glyph.c_str(), static_cast<int>(s.glyph.size()), &glyph,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

  SelectObject(dc, s.fonts->message);
  RECT label{s.layout.labelLeft, s.layout.labelTop, s.layout.labelLeft + s.layout.labelWidth,
             s.layout.labelTop + s.layout.labelHeight};
  UINT format = DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS;
  if (s.layout.labelWraps) format |= DT_WORDBREAK;
  DrawTextW(dc, s.message.c_str(), static_cast<int>(s.message.size()), &label, format);

  // A thin frame, since the window has no border of its own.
  HBRUSH frame = CreateSolidBrush(RGB(100, 100, 100));
  FrameRect(dc, &client, frame);
  DeleteObject(frame);
  SelectObject(dc, old);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK AlertProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* s = reinterpret_cast<AlertSession*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (s == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT:
      Paint(hwnd, *s);
      return 0;
    case WM_COMMAND: {
      int index = LOWORD(wParam) - kFirstButtonId;
      if (HIWORD(wParam) == BN_CLICKED && index >= 0 && index < kAlertButtonCount)
        s->Press(index);
      return 0;
    }
    case WM_LBUTTONDOWN:
      if (static_cast<short>(HIWORD(lParam)) < kAlertStripHeight) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
        ReleaseCapture();
        SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
      }
      return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      return 0;
    case WM_CLOSE:
      s->CloseWithoutButton();
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

bool RegisterAlertClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = AlertProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    // The program's icon (resource 1 of the executable) for the task bar; none without it.
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

// Turns a key message for the dialog into the key rules; true when it was one.
bool HandleKey(const MSG& msg, AlertSession& s) {
  int pressed = -1;
  if (msg.message == WM_KEYDOWN) {
    switch (msg.wParam) {
      case VK_RIGHT:
      case VK_LEFT:
      case VK_TAB:
        s.FollowFocus();
        if (msg.wParam == VK_TAB) {
          s.keys->OnKey(GetKeyState(VK_SHIFT) < 0 ? AlertKey::ShiftTab : AlertKey::Tab);
        } else {
          s.keys->OnKey(msg.wParam == VK_RIGHT ? AlertKey::Right : AlertKey::Left);
        }
        s.FocusButton(s.keys->Focus());
        return true;
      case VK_RETURN:
        s.FollowFocus();
        pressed = s.keys->OnKey(AlertKey::Enter);
        break;
      case VK_ESCAPE:
        s.keys->OnKey(AlertKey::Escape);
        return true;
      default:
        if ((msg.wParam >= 'A' && msg.wParam <= 'Z') || (msg.wParam >= '0' && msg.wParam <= '9'))
          pressed = s.keys->OnKey(AlertKey::Character,
                                  std::string(1, static_cast<char>(msg.wParam)));
        else
          TranslateMessage(&msg);  // other characters arrive as WM_CHAR
        break;
    }
  } else if (msg.message == WM_SYSKEYDOWN || msg.message == WM_SYSCHAR) {
    // Alt with a letter or digit presses like the letter alone; other Alt keys (Alt+F4)
    // keep their system meaning.
    const bool letter =
        (msg.wParam >= 'A' && msg.wParam <= 'Z') || (msg.wParam >= '0' && msg.wParam <= '9') ||
        (msg.message == WM_SYSCHAR && msg.wParam >= 'a' && msg.wParam <= 'z');
    if (!letter) return false;
    if (msg.message == WM_SYSKEYDOWN)
      pressed = s.keys->OnKey(AlertKey::Character, std::string(1, static_cast<char>(msg.wParam)));
  } else if (msg.message == WM_CHAR) {
    if (msg.wParam >= 0x80) {
      wchar_t ch = static_cast<wchar_t>(msg.wParam);
      pressed = s.keys->OnKey(AlertKey::Character, WideToUtf8(std::wstring_view(&ch, 1)));
    }
  } else if (msg.message != WM_KEYUP) {
    return false;
  }
  if (pressed >= 0) s.Press(pressed);
  return true;
}

}  // namespace

AlertMetrics MeasureAlertWindow(const AlertForm& form) {
  AlertFonts fonts;
  return Measure(form, fonts);
}

std::optional<std::int16_t> ShowAlertWindow(const AlertForm& form, AlertWindowPlace& place) {
  if (!RegisterAlertClass()) return std::nullopt;
  AlertFonts fonts;
  AlertKeys keys(form);
  AlertSession s;
  s.form = &form;
  s.fonts = &fonts;
  s.keys = &keys;
  s.layout = ComputeAlertLayout(form, Measure(form, fonts));
  s.title = Utf8ToWide(form.title);
  s.message = Utf8ToWide(form.message);
  s.glyph = Utf8ToWide(form.glyph);

  if (!place.placed) {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    place.left = work.left + (work.right - work.left - s.layout.width) / 2;
    place.top = work.top + (work.bottom - work.top - s.layout.height) / 2;
    place.placed = true;
  }

  HWND owner = GetActiveWindow();
  HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kClassName, L"Mensaje",
                              WS_POPUP | WS_CLIPCHILDREN, place.left, place.top,
                              s.layout.width, s.layout.height, owner, nullptr,
                              GetModuleHandleW(nullptr), &s);
  if (hwnd == nullptr) return std::nullopt;

  for (int k = 0; k < kAlertButtonCount; ++k) {
    const AlertButtonPlace& b = s.layout.buttons[k];
    std::wstring caption = Utf8ToWide(form.buttons[k].caption);
    DWORD style = WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON | (b.visible ? WS_VISIBLE : 0);
    s.buttons[k] = CreateWindowExW(0, L"BUTTON", caption.c_str(), style, b.left, b.top, b.width,
                                   b.height, hwnd, reinterpret_cast<HMENU>(
                                       static_cast<INT_PTR>(kFirstButtonId + k)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (s.buttons[k]) SendMessageW(s.buttons[k], WM_SETFONT, reinterpret_cast<WPARAM>(fonts.button), FALSE);
  }

  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  UpdateWindow(hwnd);
  s.FocusButton(keys.Focus());

  MSG msg;
  bool quit = false;
  int quitCode = 0;
  while (!s.done) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {  // WM_QUIT: end the dialog and pass the request on
      quit = true;
      quitCode = static_cast<int>(msg.wParam);
      s.CloseWithoutButton();
      break;
    }
    if (got < 0) {
      s.CloseWithoutButton();
      break;
    }
    if ((msg.hwnd == hwnd || IsChild(hwnd, msg.hwnd)) && HandleKey(msg, s)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }

  if (owner) EnableWindow(owner, TRUE);
  RECT rect;
  if (GetWindowRect(hwnd, &rect)) {
    place.left = rect.left;
    place.top = rect.top;
  }
  DestroyWindow(hwnd);
  if (owner) SetActiveWindow(owner);
  if (quit) PostQuitMessage(quitCode);
  return s.code;
}

}  // namespace kelv
