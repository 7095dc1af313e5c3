#include "platform/win32/hyperlink_control.h"

#include <commctrl.h>

#include <cwchar>
#include <optional>
#include <vector>

#include "platform/win32/shell_functions.h"

namespace korvan::platform {

namespace {

constexpr wchar_t kBindingProperty[] = L"KorvanHyperlink";
constexpr wchar_t kColourKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
// 11 characters and the NUL: the longest colour text "255,255,255" fits.
constexpr DWORD kColourValueBytes = 24;
// TTTOOLINFOW without its trailing reserved pointer, as older common controls expect.
constexpr UINT kToolRecordSize = 64;
constexpr UINT_PTR kToolId = 1;
// The mouse messages that the tooltip sees first (WM_MOUSEMOVE to WM_MOUSEWHEEL).
constexpr UINT kFirstMouseMessage = 512;
constexpr UINT kLastMouseMessage = 522;

// A pointing hand, 32 by 32: '#' outline, '.' white fill, blank transparent.
// The index fingertip, at x 5 and y 0, is the hot spot.
const char* const kHandPicture[] = {
    "     ##",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..###",
    "    #..#..###",
    "    #..#..#..##",
    " ## #..#..#..#.#",
    "#..##..#..#..#..#",
    "#...#...........#",
    " #..............#",
    "  #.............#",
    "  #.............#",
    "   #...........#",
    "   #...........#",
    "    #.........#",
    "    #.........#",
    "    ###########",
};

HCURSOR CreateHandCursor(HINSTANCE instance) {
  constexpr int kSize = 32;
  constexpr int kRowBytes = kSize / 8;
  std::vector<BYTE> and_mask(kRowBytes * kSize, 0xFF);  // 1: the screen shows through
  std::vector<BYTE> xor_mask(kRowBytes * kSize, 0x00);  // 1 with AND 0: white
  int row = 0;
  for (const char* line : kHandPicture) {
    for (int x = 0; line[x] != '\0'; ++x) {
      if (line[x] == ' ') continue;
      const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
      and_mask[row * kRowBytes + x / 8] &= static_cast<BYTE>(~bit);
      if (line[x] == '.') xor_mask[row * kRowBytes + x / 8] |= bit;
    }
    ++row;
  }
  return CreateCursor(instance, 5, 0, kSize, kSize, and_mask.data(), xor_mask.data());
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

StoredValueType StoredType(DWORD type) {
  if (type == REG_SZ) return StoredValueType::Text;
  if (type == REG_EXPAND_SZ) return StoredValueType::ExpandableText;
  return StoredValueType::Other;
}

// One colour value of the open key, when it is usable and well formed.
std::optional<LinkColour> ReadColourValue(HKEY key, const wchar_t* name) {
  wchar_t buffer[kColourValueBytes / sizeof(wchar_t)] = {};
  DWORD type = 0;
  DWORD size = kColourValueBytes;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  if (!IsColourValueUsable(StoredType(type), reinterpret_cast<const unsigned char*>(buffer), size)) {
    return std::nullopt;
  }
  return ParseLinkColour(std::wstring(buffer, wcsnlen(buffer, size / sizeof(wchar_t))));
}

}  // namespace

HyperlinkControl::~HyperlinkControl() { Release(); }

bool HyperlinkControl::Subclass(HWND control) {
  if (control == nullptr || !SetPropW(control, kBindingProperty, this)) return false;
  window_ = control;
  const LONG_PTR previous = SetWindowLongPtrW(
      control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HyperlinkControl::WindowProcedure));
  if (previous == 0) {
    RemovePropW(control, kBindingProperty);
    window_ = nullptr;
    return false;
  }
  previous_procedure_ = reinterpret_cast<WNDPROC>(previous);
  Initialise();
  return true;
}

void HyperlinkControl::Initialise() {
  wchar_t class_name[8] = {};
  GetClassNameW(window_, class_name, 8);
  if (_wcsicmp(class_name, L"static") == 0) {
    const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    // A tab stop too: the link takes the keyboard focus like a button.
    if ((style & (SS_NOTIFY | WS_TABSTOP)) != (SS_NOTIFY | WS_TABSTOP)) {
      SetWindowLongPtrW(window_, GWL_STYLE, style | SS_NOTIFY | WS_TABSTOP);
    }
    const LONG_PTR kind = style & 0xFF;
    // Icons, rectangles, frames, owner-drawn, bitmaps and metafiles draw no text.
    if ((kind >= 3 && kind <= 9) || (kind >= 13 && kind <= 15)) paint_label_ = false;
  }

  const HINSTANCE instance = GetModuleHandleW(nullptr);
  hand_cursor_ = CreateHandCursor(instance);

  if (paint_label_) {
    normal_font_ = reinterpret_cast<HFONT>(SendMessageW(GetParent(window_), WM_GETFONT, 0, 0));
    if (normal_font_ == nullptr) normal_font_ = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    if (link_font_ == nullptr) MakeLinkFont();
  }

  tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance, nullptr);

  if (label_.empty() && GetWindowTextLengthW(window_) > 0) {
    label_ = WindowText(window_);
    RecomputeLinkRectangle();
    SetWindowTextW(window_, label_.c_str());
  }
  RecomputeLinkRectangle();

  if (!target_.empty()) {
    RegisterTool();
  } else if (!label_.empty()) {
    SetTarget(label_);
  }
  if (paint_label_) ReadColours();
}

void HyperlinkControl::MakeLinkFont() {
  if (owns_link_font_ && link_font_ != nullptr) DeleteObject(link_font_);
  link_font_ = nullptr;
  owns_link_font_ = false;
  LOGFONTW description{};
  if (normal_font_ == nullptr || GetObjectW(normal_font_, sizeof(description), &description) == 0) {
    return;
  }
  description.lfUnderline = TRUE;
  link_font_ = CreateFontIndirectW(&description);
  owns_link_font_ = link_font_ != nullptr;
}

void HyperlinkControl::SetTarget(const std::wstring& target) {
  target_ = target;
  if (label_.empty()) RecomputeLinkRectangle();
  if (tooltip_ != nullptr) RegisterTool();
}

void HyperlinkControl::RegisterTool() {
  SendMessageW(tooltip_, TTM_ACTIVATE, TRUE, 0);
  TTTOOLINFOW tool{};
  tool.cbSize = kToolRecordSize;
  tool.uFlags = 0;
  tool.hwnd = window_;
  tool.uId = kToolId;
  tool.rect = link_rectangle_;
  tool.hinst = GetModuleHandleW(nullptr);
  tool.lpszText = const_cast<wchar_t*>(target_.c_str());
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void HyperlinkControl::UpdateToolRectangle() {
  if (tooltip_ == nullptr) return;
  TTTOOLINFOW tool{};
  tool.cbSize = kToolRecordSize;
  tool.hwnd = window_;
  tool.uId = kToolId;
  tool.rect = link_rectangle_;
  SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void HyperlinkControl::ReadColours() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kColourKey, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) {
    return;
  }
  if (const auto colour = ReadColourValue(key, L"Anchor Color")) link_colour_ = *colour;
  if (const auto colour = ReadColourValue(key, L"Anchor Color Visited")) visited_colour_ = *colour;
  RegCloseKey(key);
}

UINT HyperlinkControl::Alignment() const {
  const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE) & 0xFF;
  if (style == SS_CENTER) return DT_CENTER;
  if (style == SS_RIGHT) return DT_RIGHT;
  return DT_LEFT;
}

void HyperlinkControl::RecomputeLinkRectangle() {
  if (window_ == nullptr || !IsWindow(window_) || (label_.empty() && target_.empty())) return;
  RECT client{};
  GetClientRect(window_, &client);
  link_rectangle_ = client;
  if (!paint_label_) return;
  const UINT alignment = Alignment();
  HDC context = GetDC(window_);
  const HGDIOBJ previous_font =
      SelectObject(context, link_font_ != nullptr ? link_font_ : normal_font_);
  const std::wstring& text = ShownText();
  DrawTextW(context, text.c_str(), static_cast<int>(text.size()), &link_rectangle_,
            DT_CALCRECT | DT_WORDBREAK | alignment);
  SelectObject(context, previous_font);
  ReleaseDC(window_, context);
  const long space = client.right - link_rectangle_.right;
  if (alignment == DT_CENTER) OffsetRect(&link_rectangle_, space / 2, 0);
  if (alignment == DT_RIGHT) OffsetRect(&link_rectangle_, space, 0);
}

void HyperlinkControl::Paint(HDC given) {
  PAINTSTRUCT paint{};
  HDC context = given != nullptr ? given : BeginPaint(window_, &paint);
  RECT client{};
  GetClientRect(window_, &client);
  const HBRUSH background = reinterpret_cast<HBRUSH>(SendMessageW(
      GetParent(window_), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
      reinterpret_cast<LPARAM>(window_)));
  if (background != nullptr) FillRect(context, &client, background);

  SetBkMode(context, TRANSPARENT);
  const COLORREF colour = !IsWindowEnabled(window_) ? GetSysColor(COLOR_GRAYTEXT)
                          : visited_                 ? visited_colour_
                                                     : link_colour_;
  const COLORREF previous_colour = SetTextColor(context, colour);
  const HGDIOBJ previous_font =
      SelectObject(context, link_font_ != nullptr ? link_font_ : normal_font_);
  const std::wstring& text = ShownText();
  RECT area = link_rectangle_;
  DrawTextW(context, text.c_str(), static_cast<int>(text.size()), &area, DT_WORDBREAK | Alignment());
  if (GetFocus() == window_) DrawFocusRect(context, &link_rectangle_);
  SetTextColor(context, previous_colour);
  SelectObject(context, previous_font);
  if (given == nullptr) EndPaint(window_, &paint);
}

bool HyperlinkControl::Navigate() {
  const auto result = reinterpret_cast<INT_PTR>(
      shell::ShellExecuteW(nullptr, L"open", target_.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) return false;
  visited_ = true;
  InvalidateRect(window_, nullptr, TRUE);
  return true;
}

LRESULT HyperlinkControl::Handle(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
  handled = true;
  if (message >= kFirstMouseMessage && message <= kLastMouseMessage && tooltip_ != nullptr) {
    MSG relayed{};
    relayed.hwnd = window_;
    relayed.message = message;
    relayed.wParam = wparam;
    relayed.lParam = lparam;
    relayed.time = static_cast<DWORD>(GetMessageTime());
    relayed.pt.x = static_cast<short>(LOWORD(lparam));
    relayed.pt.y = static_cast<short>(HIWORD(lparam));
    SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
  }
  const POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
  switch (message) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      if (!paint_label_) break;
      Paint(message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wparam) : nullptr);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (!paint_label_) break;
      InvalidateRect(window_, nullptr, TRUE);
      return 0;
    case WM_SETCURSOR: {
      POINT cursor{};
      GetCursorPos(&cursor);
      ScreenToClient(window_, &cursor);
      if (target_.empty() || !InLink(cursor)) break;
      return 1;
    }
    case WM_MOUSEMOVE:
      if (target_.empty() || !InLink(point)) break;
      SetCursor(hand_cursor_);
      return 0;
    case WM_LBUTTONDOWN:
      if (InLink(point)) {
        SetFocus(window_);
        SetCapture(window_);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == window_) {
        ReleaseCapture();
        if (InLink(point)) Navigate();
      }
      return 0;
    case WM_CHAR:
      if (wparam == 13 || wparam == 32) Navigate();
      return 0;
    case WM_GETDLGCODE: {
      // Enter and Space open the link: the dialog manager would otherwise
      // take Enter for the default button.
      const MSG* key = reinterpret_cast<const MSG*>(lparam);
      if (key != nullptr && (key->message == WM_KEYDOWN || key->message == WM_CHAR) &&
          (key->wParam == VK_RETURN || key->wParam == VK_SPACE)) {
        return DLGC_WANTCHARS | DLGC_WANTMESSAGE;
      }
      return DLGC_WANTCHARS;
    }
    case WM_SETFONT:
      // A move to a monitor of another DPI brings a new font: the underlined
      // copy and the text's extent follow it.
      normal_font_ = reinterpret_cast<HFONT>(wparam);
      if (paint_label_) {
        MakeLinkFont();
        RecomputeLinkRectangle();
        UpdateToolRectangle();
      }
      if (LOWORD(lparam) != 0) {
        InvalidateRect(window_, nullptr, TRUE);
        UpdateWindow(window_);
      }
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(normal_font_);
    case WM_ENABLE:
      InvalidateRect(window_, nullptr, TRUE);
      UpdateWindow(window_);
      return 0;
    case WM_SIZE:
      RecomputeLinkRectangle();
      InvalidateRect(window_, nullptr, TRUE);
      return 0;
    case WM_UPDATEUISTATE:
    case WM_MOUSELEAVE:
      return 0;
    case WM_DESTROY:
      if (tooltip_ != nullptr) DestroyWindow(tooltip_);
      tooltip_ = nullptr;
      break;
    default:
      break;
  }
  handled = false;
  return 0;
}

LRESULT CALLBACK HyperlinkControl::WindowProcedure(HWND window, UINT message, WPARAM wparam,
                                                   LPARAM lparam) {
  auto* link = static_cast<HyperlinkControl*>(GetPropW(window, kBindingProperty));
  if (link == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    const WNDPROC previous = link->previous_procedure_;
    const LRESULT result = CallWindowProcW(previous, window, message, wparam, lparam);
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) ==
        reinterpret_cast<LONG_PTR>(&HyperlinkControl::WindowProcedure)) {
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    RemovePropW(window, kBindingProperty);
    link->window_ = nullptr;
    return result;
  }
  if (message == WM_CREATE) link->Initialise();
  bool handled = false;
  const LRESULT result = link->Handle(message, wparam, lparam, handled);
  if (handled) return result;
  return CallWindowProcW(link->previous_procedure_, window, message, wparam, lparam);
}

void HyperlinkControl::Release() {
  if (owns_link_font_ && link_font_ != nullptr) DeleteObject(link_font_);
  link_font_ = nullptr;
  owns_link_font_ = false;
  if (hand_cursor_ != nullptr) DestroyCursor(hand_cursor_);
  hand_cursor_ = nullptr;
  if (window_ != nullptr && IsWindow(window_)) {
    if (GetWindowLongPtrW(window_, GWLP_WNDPROC) ==
        reinterpret_cast<LONG_PTR>(&HyperlinkControl::WindowProcedure)) {
      SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_procedure_));
    }
    RemovePropW(window_, kBindingProperty);
  }
  window_ = nullptr;
}

}  // namespace korvan::platform
