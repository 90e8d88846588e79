// The messages of a form's window and its controls: what the user does goes to the model.

#include "ui/win32/win32_form_view.h"
// windows.h first
#include <commctrl.h>

#include <string>

#include "common/utf16_win32.h"
#include "forms/controls.h"
#include "forms/list_controls.h"
#include "ui/win32/win32_text_area.h"
#include "ui/win32/win32_window_classes.h"

namespace qb::ui {

namespace {

using forms::ControlKind;
using forms::Property;

std::string windowText8(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return qb::win32::utf8FromUtf16(text);
}

bool isFormWindow(HWND window) {
  wchar_t name[64] = {};
  return window && GetClassNameW(window, name, static_cast<int>(std::size(name))) > 0 &&
         std::wstring_view(name) == kFormClass;
}

bool plainKey() {
  return GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0 && GetKeyState(VK_SHIFT) >= 0;
}

// An open drop-down list takes Enter and Escape itself.
bool droppedDown(HWND focus) {
  for (HWND w = focus; w; w = GetParent(w)) {
    wchar_t name[32] = {};
    GetClassNameW(w, name, static_cast<int>(std::size(name)));
    if (std::wstring_view(name) == WC_COMBOBOXW) return SendMessageW(w, CB_GETDROPPEDSTATE, 0, 0);
    if (isFormWindow(w)) break;
  }
  return false;
}

}  // namespace

Win32FormView* Win32FormView::ofWindow(HWND window) {
  if (!isFormWindow(window)) return nullptr;
  return reinterpret_cast<Win32FormView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK Win32FormView::windowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (Win32FormView* view = ofWindow(window)) return view->handle(message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32FormView::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      // The close box asks the model instead of closing.
      form_.close();
      return 0;
    case WM_COMMAND:
      if (lParam == 0 && HIWORD(wParam) == 0) {
        const auto item = menuItems_.find(LOWORD(wParam));
        if (item != menuItems_.end()) item->second->click();
        return 0;
      }
      command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_CTLCOLORSTATIC:
      return colorOf(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
      // The focus comes back to the control that had it, as in a dialog box.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) focus_ = focus;
      } else {
        HWND focus = focus_ && IsWindow(focus_) && IsChild(window_, focus_)
                         ? focus_
                         : GetNextDlgTabItem(window_, nullptr, FALSE);
        SetFocus(focus ? focus : window_);
        return 0;
      }
      break;
    case WM_DPICHANGED: {
      // The window moved to a monitor of another density: everything at its new size.
      dpi_ = HIWORD(wParam);
      makeFonts();
      for (auto& [control, native] : natives_) {
        if (native.area) native.area->setFont(fontFor(*control));
        place(*control);  // and its font
      }
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      layoutWindow();
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT Win32FormView::colorOf(HDC dc, HWND window) {
  const auto id = GetDlgCtrlID(window);
  const auto found = byId_.find(id);
  if (found != byId_.end() && found->second->kind() == ControlKind::Label &&
      static_cast<forms::Label*>(found->second)->onClick && IsWindowEnabled(window)) {
    // A label that does something when clicked reads as a link.
    SetTextColor(dc, RGB(0, 0, 0xFF));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  return DefWindowProcW(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(window));
}

void Win32FormView::command(int id, int code, HWND from) {
  const auto found = byId_.find(id);
  if (found == byId_.end()) return;
  forms::Control& control = *found->second;
  const std::shared_ptr<bool> alive = alive_;
  switch (control.kind()) {
    case ControlKind::Button:
      if (code == BN_CLICKED) static_cast<forms::Button&>(control).click();
      break;
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) {
        static_cast<forms::CheckBox&>(control).click();
        if (*alive) refresh(control, Property::Value);
      }
      break;
    case ControlKind::OptionButton:
      if (code == BN_CLICKED) {
        static_cast<forms::OptionButton&>(control).click();
        if (*alive) refresh(control, Property::Value);
      }
      break;
    case ControlKind::TextBox:
      // A text area hands its edits over itself.
      if (code == EN_CHANGE && !updating_ && !natives_[&control].area)
        textEdited(static_cast<forms::TextBox&>(control), windowText8(from));
      break;
    case ControlKind::ListBox: {
      auto& model = static_cast<forms::ListBox&>(control);
      if (code == LBN_SELCHANGE && !updating_) {
        listSelectionChanged(model, from);
      } else if (code == LBN_DBLCLK) {
        const auto at = SendMessageW(from, LB_GETCARETINDEX, 0, 0);
        if (at >= 0) model.dblClickItem(static_cast<std::size_t>(at));
      }
      break;
    }
    case ControlKind::ComboBox: {
      auto& model = static_cast<forms::ComboBox&>(control);
      if (updating_) break;
      if (code == CBN_EDITCHANGE) {
        model.setText(windowText8(from));
      } else if (code == CBN_SELCHANGE) {
        // The edit field shows the chosen entry only after this notice.
        const auto at = SendMessageW(from, CB_GETCURSEL, 0, 0);
        if (at >= 0) model.chooseItem(static_cast<std::size_t>(at));
      }
      break;
    }
    case ControlKind::Label:
      if (code == STN_CLICKED) static_cast<forms::Label&>(control).click();
      break;
    default:
      break;
  }
}

LRESULT CALLBACK Win32FormView::controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR data) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &Win32FormView::controlProc, 1);
    return DefSubclassProc(window, message, wParam, lParam);
  }
  Win32FormView* view = ofWindow(GetAncestor(window, GA_ROOT));
  LRESULT result = 0;
  if (view && view->controlMessage(*reinterpret_cast<forms::Control*>(data), window, message,
                                   wParam, lParam, result))
    return result;
  return DefSubclassProc(window, message, wParam, lParam);
}

bool Win32FormView::controlMessage(forms::Control& control, HWND window, UINT message,
                                   WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (control.kind()) {
    case ControlKind::Label: {
      auto& label = static_cast<forms::Label&>(control);
      if (message == WM_MOUSEMOVE && label.onMouseMove) label.onMouseMove();
      if (message == WM_SETCURSOR && label.onClick) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        result = TRUE;
        return true;
      }
      return false;
    }
    case ControlKind::ListBox: {
      if (message == WM_LBUTTONDOWN) selectedByPress_ = nullptr;  // a new press
      if (message != WM_LBUTTONUP) return false;
      // A click on the entry that is already current selects it again, as a click does.
      result = DefSubclassProc(window, message, wParam, lParam);
      if (selectedByPress_ == window) {
        selectedByPress_ = nullptr;
        return true;
      }
      const auto hit = static_cast<DWORD>(SendMessageW(window, LB_ITEMFROMPOINT, 0, lParam));
      if (HIWORD(hit) == 0) static_cast<forms::ListBox&>(control).clickItem(LOWORD(hit));
      return true;
    }
    case ControlKind::TextBox:
      if (message == WM_LBUTTONDBLCLK && !natives_[&control].area) {
        result = DefSubclassProc(window, message, wParam, lParam);
        auto& box = static_cast<forms::TextBox&>(control);
        if (box.onDblClick) box.onDblClick();
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool Win32FormView::pressKey(int key) {
  HWND focus = GetFocus();
  if (droppedDown(focus)) return false;
  if (key == VK_ESCAPE) return form_.pressCancel();
  // Enter makes a new line in a text area.
  if (Win32TextArea::fromWindow(focus)) return false;
  const auto found = byId_.find(GetDlgCtrlID(focus));
  if (focus && found != byId_.end() && control(*found->second) == focus &&
      found->second->kind() == ControlKind::Button) {
    static_cast<forms::Button*>(found->second)->click();
    return true;
  }
  return form_.pressDefault();
}

bool Win32FormView::handleDialogKey(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || !message.hwnd) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  Win32FormView* view = ofWindow(root);
  if (!view) return false;
  if (message.message == WM_KEYDOWN &&
      (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) && plainKey() &&
      view->pressKey(static_cast<int>(message.wParam)))
    return true;
  // Tab, Shift+Tab and the arrows between option buttons, as in a dialog box; the window
  // may be gone when a key above closed it.
  if (!IsWindow(root)) return false;
  HWND focusBefore = GetFocus();
  if (!IsDialogMessageW(root, &message)) return false;
  const bool arrow = message.wParam == VK_LEFT || message.wParam == VK_RIGHT ||
                     message.wParam == VK_UP || message.wParam == VK_DOWN;
  if (message.message == WM_KEYDOWN && arrow && GetFocus() != focusBefore && IsWindow(root))
    if (Win32FormView* still = ofWindow(root)) still->optionReached(GetFocus());
  return true;
}

void Win32FormView::optionReached(HWND focus) {
  // The dialog manager moves the focus along a group with the arrows but checks only automatic
  // option buttons; ours follow their model, so the one reached is clicked, as in Windows' own
  // dialogs, where the arrows choose.
  const auto found = byId_.find(GetDlgCtrlID(focus));
  if (!focus || found == byId_.end() || control(*found->second) != focus ||
      found->second->kind() != ControlKind::OptionButton)
    return;
  if (!static_cast<forms::OptionButton*>(found->second)->value())
    SendMessageW(focus, BM_CLICK, 0, 0);
}

}  // namespace qb::ui
