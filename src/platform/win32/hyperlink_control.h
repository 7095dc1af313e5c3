#pragma once
// Turns a static text control of a dialog into a link: underlined text in the
// user's link colour, a hand cursor and a tooltip over the text, keyboard
// focus, and the target opened with the shell on a click, Enter or Space.

#include <windows.h>

#include <string>

#include "platform/shared/link_colour.h"

namespace korvan::platform {

class HyperlinkControl {
 public:
  HyperlinkControl() = default;
  ~HyperlinkControl();
  HyperlinkControl(const HyperlinkControl&) = delete;
  HyperlinkControl& operator=(const HyperlinkControl&) = delete;

  // Replaces the control's window procedure with the link's and initialises
  // the link; false when the control could not be subclassed.
  bool Subclass(HWND control);

  void SetTarget(const std::wstring& target);

  // Opens the target with the shell; true (and visited) on success.
  bool Navigate();

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);

  void Initialise();
  void ReadColours();
  void RecomputeLinkRectangle();
  // The link font: the normal font underlined, made again when the font changes.
  void MakeLinkFont();
  void Paint(HDC given);
  UINT Alignment() const;
  const std::wstring& ShownText() const { return label_.empty() ? target_ : label_; }
  bool InLink(POINT point) const { return PtInRect(&link_rectangle_, point) != FALSE; }
  void RegisterTool();
  void UpdateToolRectangle();
  void Release();

  HWND window_ = nullptr;
  WNDPROC previous_procedure_ = DefWindowProcW;
  std::wstring label_;
  std::wstring target_;
  HCURSOR hand_cursor_ = nullptr;
  HFONT link_font_ = nullptr;
  HFONT normal_font_ = nullptr;
  HWND tooltip_ = nullptr;
  LinkColour link_colour_ = kDefaultLinkColour;
  LinkColour visited_colour_ = kDefaultVisitedLinkColour;
  DWORD extended_style_ = 0;
  bool paint_label_ = true;
  bool visited_ = false;
  bool owns_link_font_ = false;
  RECT link_rectangle_{};
};

}  // namespace korvan::platform
