#include "ui/win32/win32_form_view.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "common/utf16_win32.h"
#include "forms/controls.h"
#include "forms/list_controls.h"
#include "ui/win32/win32_text_area.h"
#include "ui/win32/win32_window_classes.h"

namespace qb::ui {

namespace {

using forms::ControlKind;
using forms::Property;
using qb::win32::utf16FromUtf8;
using qb::win32::utf8FromUtf16;

// A window sized as a whole has the classic borders and caption around its client area: 4
// pixels a side and a 19-pixel caption, in twips. The menu bar is inside that size too.
constexpr int kBordersTwips = 120, kCaptionTwips = 285;
// The layouts were made for the classic 8-point dialog font.
constexpr int kPointSize = 8, kSmallestPointSize = 6;
// Control ids start above the dialog manager's own (IDOK, IDCANCEL, ...).
constexpr int kFirstControlId = 100;
constexpr int kFirstMenuId = 40000;
// A drop-down's window includes its list: this many entries show when it opens.
constexpr int kComboListEntries = 8;

constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

std::wstring windowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

Win32FormView::Win32FormView(forms::Form& form) : form_(form) {
  build();
  form_.setView(this);
}

Win32FormView::~Win32FormView() {
  *alive_ = false;
  if (form_.view() == this) form_.setView(nullptr);
  if (window_) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    natives_.clear();        // the text areas destroy their windows first
    DestroyWindow(window_);  // and the menu with it
  }
  makeFonts();
}

HWND Win32FormView::control(const forms::Control& control) const {
  const auto found = natives_.find(const_cast<forms::Control*>(&control));
  return found == natives_.end() ? nullptr : found->second.window;
}

int Win32FormView::px(int twips) const {
  // 15 twips a pixel at 96 dots per inch, scaled with the window's monitor.
  return MulDiv(twips, static_cast<int>(dpi_), 1440);
}

void Win32FormView::makeFonts() {
  for (auto& [key, made] : fonts_) DeleteObject(made);
  fonts_.clear();
}

HFONT Win32FormView::font(int quarterPoints, bool underline, bool fixedPitch) {
  const int key = quarterPoints * 4 + (underline ? 1 : 0) + (fixedPitch ? 2 : 0);
  HFONT& made = fonts_[key];
  if (made) return made;
  LOGFONTW face{};
  face.lfHeight = -MulDiv(quarterPoints, static_cast<int>(dpi_), 72 * 4);
  face.lfWeight = FW_NORMAL;
  face.lfUnderline = underline;
  face.lfCharSet = DEFAULT_CHARSET;
  face.lfQuality = CLEARTYPE_QUALITY;
  face.lfPitchAndFamily = fixedPitch ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH;
  wcscpy(face.lfFaceName, fixedPitch ? L"Courier New" : L"MS Shell Dlg 2");
  made = CreateFontIndirectW(&face);
  return made;
}

HFONT Win32FormView::fontFor(const forms::Control& control) {
  const bool underline =
      control.kind() == ControlKind::Label && static_cast<const forms::Label&>(control).underline();
  return font(kPointSize * 4, underline, control.fixedPitch());
}

void Win32FormView::fitText(forms::Control& control, HWND window) {
  const ControlKind kind = control.kind();
  const bool captioned = kind == ControlKind::Button || kind == ControlKind::CheckBox ||
                         kind == ControlKind::OptionButton || kind == ControlKind::Label ||
                         kind == ControlKind::Frame;
  HFONT chosen = fontFor(control);
  if (captioned) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    if (kind != ControlKind::Label) std::erase(text, L'&');  // mnemonics take no room
    RECT client;
    GetClientRect(window, &client);
    int room = client.right;
    if (kind == ControlKind::Button) room -= MulDiv(6, static_cast<int>(dpi_), 96);
    if (kind == ControlKind::CheckBox || kind == ControlKind::OptionButton)
      room -= MulDiv(13 + 6, static_cast<int>(dpi_), 96);  // the mark and its gap
    if (kind == ControlKind::Frame) room -= MulDiv(16, static_cast<int>(dpi_), 96);
    const bool wraps = kind == ControlKind::Label && control.layout().height > 300;
    HDC dc = GetDC(window);
    const bool underline =
        kind == ControlKind::Label && static_cast<forms::Label&>(control).underline();
    for (int quarter = kPointSize * 4; quarter >= kSmallestPointSize * 4; --quarter) {
      chosen = font(quarter, underline, control.fixedPitch());
      const HGDIOBJ old = SelectObject(dc, chosen);
      RECT need{0, 0, room, 0};
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need,
                DT_CALCRECT | DT_NOPREFIX | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
      SelectObject(dc, old);
      if (wraps ? need.bottom <= client.bottom : need.right <= room) break;
    }
    ReleaseDC(window, dc);
  }
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
}

void Win32FormView::build() {
  registerWindowClasses(&Win32FormView::windowProc);
  window_ = CreateWindowExW(0, kFormClass, utf16FromUtf8(form_.caption()).c_str(), kWindowStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (!window_) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  dpi_ = windowDpi(window_);
  makeFonts();
  createMenu();

  // Frames first, so the controls inside them have their parent.
  int nextId = kFirstControlId;
  const auto add = [&](forms::Control& c, HWND parent, bool startsGroup) {
    Native native = createControl(c, parent, nextId, startsGroup);
    byId_[nextId++] = &c;
    natives_[&c] = std::move(native);
  };
  for (forms::Control* c : form_.controls())
    if (c->kind() == ControlKind::Frame) add(*c, window_, true);
  const forms::OptionButton* previousOption = nullptr;
  for (forms::Control* c : form_.controls()) {
    const ControlKind kind = c->kind();
    if (kind == ControlKind::Frame || kind == ControlKind::MenuItem || kind == ControlKind::Timer)
      continue;
    HWND parent = window_;
    if (c->container()) parent = natives_[c->container()].window;
    // Option buttons of one group are one group for the arrow keys; anything else starts one.
    const auto* option =
        kind == ControlKind::OptionButton ? static_cast<forms::OptionButton*>(c) : nullptr;
    const bool startsGroup = !option || !previousOption ||
                             previousOption->group() != option->group() ||
                             previousOption->container() != option->container();
    previousOption = option;
    add(*c, parent, startsGroup);
  }
  // A later label lies over an earlier one, as in the classic windows (a link inside a longer
  // text). Labels take no focus, so moving them up leaves the Tab order alone.
  for (forms::Control* c : form_.controls())
    if (c->kind() == ControlKind::Label && natives_.count(c))
      SetWindowPos(natives_[c].window, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // A frame covers what lies behind it, as the classic windows drew them.
  for (auto& [control, native] : natives_)
    if (control->kind() == ControlKind::Frame)
      SetWindowPos(native.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (auto& [control, native] : natives_) {
    place(*control);
    for (Property p : {Property::Text, Property::Caption, Property::Enabled, Property::Visible,
                       Property::Value, Property::Items, Property::Selection, Property::Style})
      refresh(*control, p);
  }
  for (auto& [id, item] : menuItems_) refresh(*item, Property::Enabled);
  layoutWindow();
}

void Win32FormView::createMenu() {
  std::map<std::string, HMENU> menus;
  int nextId = kFirstMenuId;
  for (forms::Control* c : form_.controls()) {
    if (c->kind() != ControlKind::MenuItem) continue;
    auto* item = static_cast<forms::MenuItem*>(c);
    if (!menu_) menu_ = CreateMenu();
    HMENU& menu = menus[item->menu()];
    if (!menu) {
      menu = CreatePopupMenu();
      AppendMenuW(menu_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu),
                  utf16FromUtf8(item->menu()).c_str());
    }
    if (item->caption().empty()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(nextId),
                utf16FromUtf8(item->caption()).c_str());
    menuItems_[nextId++] = item;
  }
  if (menu_) SetMenu(window_, menu_);
}

Win32FormView::Native Win32FormView::createControl(forms::Control& control, HWND parent, int id,
                                                   bool startsGroup) {
  Native native;
  native.id = id;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto make = [&](DWORD exStyle, const wchar_t* windowClass, DWORD style) {
    // Siblings clip each other, so a frame covers what lies behind it.
    style |= WS_CHILD | WS_CLIPSIBLINGS | (startsGroup ? WS_GROUP : 0);
    return CreateWindowExW(exStyle, windowClass, L"", style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  switch (control.kind()) {
    case ControlKind::TextBox: {
      auto& model = static_cast<forms::TextBox&>(control);
      if (model.multiLine()) {
        // Shows the model's own text, however long, and hands each edit back as a range.
        native.area = std::make_unique<Win32TextArea>(parent, id);
        native.window = native.area->hwnd();
        native.area->setReadOnly(model.readOnly());
        native.area->onEdit = [&model](std::size_t from, std::size_t count, std::string text) {
          model.replace(from, count, text);
        };
        native.area->onDoubleClick = [&model] {
          if (model.onDblClick) model.onDblClick();
        };
        break;
      }
      native.window = make(WS_EX_CLIENTEDGE, WC_EDITW,
                           WS_TABSTOP | ES_AUTOHSCROLL | (model.readOnly() ? ES_READONLY : 0));
      break;
    }
    case ControlKind::Button:
      native.window =
          make(0, WC_BUTTONW,
               WS_TABSTOP | (static_cast<forms::Button&>(control).isDefault() ? BS_DEFPUSHBUTTON
                                                                              : BS_PUSHBUTTON));
      break;
    case ControlKind::CheckBox:
      // The model keeps the value; the box only shows it.
      native.window = make(0, WC_BUTTONW, WS_TABSTOP | BS_3STATE);
      break;
    case ControlKind::OptionButton:
      native.window = make(0, WC_BUTTONW, (startsGroup ? WS_TABSTOP : 0) | BS_RADIOBUTTON);
      break;
    case ControlKind::ListBox: {
      const bool multi = static_cast<forms::ListBox&>(control).multiSelect();
      native.window = make(WS_EX_CLIENTEDGE, WC_LISTBOXW,
                           WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                               (multi ? LBS_EXTENDEDSEL : 0));
      break;
    }
    case ControlKind::ComboBox:
      native.window =
          make(0, WC_COMBOBOXW, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL);
      break;
    case ControlKind::Label:
      // One-line labels never wrap.
      native.window = make(
          0, WC_STATICW, SS_NOTIFY | (control.layout().height > 300 ? SS_LEFT : SS_LEFTNOWORDWRAP));
      break;
    case ControlKind::Frame:
      native.window = make(WS_EX_CONTROLPARENT, kFrameClass, 0);
      break;
    default:
      native.window = make(0, WC_STATICW, 0);
      break;
  }
  if (native.window) {
    SetWindowSubclass(native.window, &Win32FormView::controlProc, 1,
                      reinterpret_cast<DWORD_PTR>(&control));
    SendMessageW(native.window, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(control)), FALSE);
    if (native.area) native.area->setFont(fontFor(control));
  }
  return native;
}

RECT Win32FormView::rectOf(const forms::Control& control) const {
  const forms::Rect& r = control.layout();
  RECT rect{px(r.left), px(r.top), px(r.left + r.width), px(r.top + r.height)};
  if (control.kind() == ControlKind::ComboBox)
    rect.bottom += px(r.height) * kComboListEntries;  // the list that drops down
  return rect;
}

void Win32FormView::place(forms::Control& control) {
  const auto found = natives_.find(&control);
  if (found == natives_.end() || !found->second.window) return;
  const RECT r = rectOf(control);
  SetWindowPos(found->second.window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  fitText(control, found->second.window);
}

void Win32FormView::layoutWindow() {
  // The client area: the whole window's size without the classic borders and caption, or
  // the size itself for a window designed by its client area (with a menu bar added).
  const int width =
      form_.sizeIsClientArea() ? px(form_.width()) : px(form_.width() - kBordersTwips);
  const int height = form_.sizeIsClientArea() ? px(form_.height())
                                              : px(form_.height() - kBordersTwips - kCaptionTwips);
  RECT outer{0, 0, width, height};
  adjustWindowRect(outer, kWindowStyle, menu_ != nullptr, dpi_);
  SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormView::controlChanged(forms::Control& control, forms::Property property) {
  refresh(control, property);
}

void Win32FormView::refresh(forms::Control& control, forms::Property property) {
  if (control.kind() == ControlKind::MenuItem) {
    for (const auto& [id, item] : menuItems_)
      if (item == &control && property == Property::Enabled)
        EnableMenuItem(menu_, static_cast<UINT>(id),
                       MF_BYCOMMAND | (control.enabled() ? MF_ENABLED : MF_GRAYED));
    return;
  }
  const auto found = natives_.find(&control);
  if (found == natives_.end() || !found->second.window) return;
  Native& native = found->second;
  HWND window = native.window;
  const bool wasUpdating = updating_;
  updating_ = true;
  switch (property) {
    case Property::Enabled:
      EnableWindow(window, control.enabled());
      break;
    case Property::Visible:
      ShowWindow(window, control.visible() ? SW_SHOWNA : SW_HIDE);
      break;
    case Property::Layout:
      place(control);
      break;
    case Property::Style:
      fitText(control, window);
      if (native.area) native.area->setFont(fontFor(control));
      break;
    default:
      break;
  }
  const auto setCaption = [&](const std::string& caption) {
    if (property != Property::Caption) return;
    SetWindowTextW(window, utf16FromUtf8(caption).c_str());
    fitText(control, window);
  };
  switch (control.kind()) {
    case ControlKind::TextBox: {
      auto& model = static_cast<forms::TextBox&>(control);
      if (native.area) {
        // The field follows every change, its own edits too: it shows the model's text.
        if (property == Property::Text) {
          // An edit of a text someone else still shares is made on a copy: the field is then
          // shown the copy, never left on the old text.
          const auto& edit = model.lastEdit();
          if (edit && native.area->source() == &model.text())
            native.area->replaced(edit->from, edit->removed, edit->inserted);
          else
            native.area->setSource(&model.text());
        } else if (property == Property::Selection) {
          native.area->select(model.selectionStart(), model.selectionStart());
        }
      } else if (property == Property::Text && echo_ != &control) {
        refreshText(model, window);
      }
      break;
    }
    case ControlKind::Button:
      setCaption(static_cast<forms::Button&>(control).caption());
      break;
    case ControlKind::CheckBox: {
      auto& model = static_cast<forms::CheckBox&>(control);
      setCaption(model.caption());
      if (property == Property::Value)
        SendMessageW(window, BM_SETCHECK,
                     model.value() == 1   ? BST_CHECKED
                     : model.value() == 2 ? BST_INDETERMINATE
                                          : BST_UNCHECKED,
                     0);
      break;
    }
    case ControlKind::OptionButton: {
      auto& model = static_cast<forms::OptionButton&>(control);
      setCaption(model.caption());
      if (property == Property::Value)
        SendMessageW(window, BM_SETCHECK, model.value() ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    }
    case ControlKind::ListBox:
      if (property == Property::Items || property == Property::Selection)
        refreshList(static_cast<forms::ListBox&>(control), window, property == Property::Items);
      break;
    case ControlKind::ComboBox: {
      auto& model = static_cast<forms::ComboBox&>(control);
      if (property == Property::Items) {
        SendMessageW(window, CB_RESETCONTENT, 0, 0);
        for (const auto& item : model.items())
          SendMessageW(window, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(utf16FromUtf8(item).c_str()));
        fitDropDown(window);
      }
      if ((property == Property::Items || property == Property::Text) &&
          utf8FromUtf16(windowText(window)) != model.text())
        SetWindowTextW(window, utf16FromUtf8(model.text()).c_str());
      break;
    }
    case ControlKind::Label:
      setCaption(static_cast<forms::Label&>(control).caption());
      break;
    case ControlKind::Frame:
      if (property == Property::Caption || property == Property::Text) {
        SetWindowTextW(window,
                       utf16FromUtf8(static_cast<forms::Frame&>(control).caption()).c_str());
        fitText(control, window);
      }
      break;
    default:
      break;
  }
  updating_ = wasUpdating;
}

void Win32FormView::fitDropDown(HWND combo) {
  // The open list is as wide as its longest entry (long folder paths), never narrower than
  // the box.
  HDC dc = GetDC(combo);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)));
  RECT box;
  GetWindowRect(combo, &box);
  int widest = box.right - box.left;
  const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1,
                      L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    widest = std::max(widest, static_cast<int>(size.cx) + GetSystemMetrics(SM_CXVSCROLL) + 8);
  }
  SelectObject(dc, old);
  ReleaseDC(combo, dc);
  SendMessageW(combo, CB_SETDROPPEDWIDTH, widest, 0);
}

void Win32FormView::refreshText(forms::TextBox& model, HWND edit) {
  const std::wstring text = utf16FromUtf8(model.text());
  if (windowText(edit) == text) return;
  DWORD caret = 0;
  SendMessageW(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  SetWindowTextW(edit, text.c_str());
  const auto at = std::min<std::size_t>(caret, text.size());
  SendMessageW(edit, EM_SETSEL, at, static_cast<LPARAM>(at));
}

void Win32FormView::refreshList(forms::ListBox& model, HWND list, bool items) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  if (items) {
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SendMessageW(list, LB_INITSTORAGE, model.count(), 0);
    for (const auto& item : model.items())
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(utf16FromUtf8(item).c_str()));
  }
  // The keyboard goes on from the entry the model has as current.
  if (model.multiSelect()) {
    for (std::size_t i = 0; i < model.count(); ++i)
      SendMessageW(list, LB_SETSEL, model.selected(i), static_cast<LPARAM>(i));
    if (model.listIndex() >= 0) SendMessageW(list, LB_SETCARETINDEX, model.listIndex(), FALSE);
  } else {
    const int current = model.listIndex();
    SendMessageW(list, LB_SETCURSEL,
                 current >= 0 && model.selected(static_cast<std::size_t>(current)) ? current : -1,
                 0);
    if (current >= 0) SendMessageW(list, LB_SETCARETINDEX, current, FALSE);
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void Win32FormView::textEdited(forms::TextBox& model, std::string text) {
  const std::weak_ptr<bool> alive = alive_;
  forms::Control* const outer = echo_;
  echo_ = &model;
  const std::string typed = text;
  model.setText(std::move(text));
  if (alive.expired() || !*alive.lock()) return;  // the change closed the window
  echo_ = outer;
  // The model made something else of it (a handler rewrote the text): show what it holds.
  if (model.text() != typed) refresh(model, Property::Text);
}

void Win32FormView::listSelectionChanged(forms::ListBox& model, HWND list) {
  std::vector<bool> selection(model.count(), false);
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count && i < static_cast<int>(selection.size()); ++i)
    selection[static_cast<std::size_t>(i)] = SendMessageW(list, LB_GETSEL, i, 0) > 0;
  int current = static_cast<int>(SendMessageW(list, LB_GETCARETINDEX, 0, 0));
  if (!model.multiSelect()) current = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
  if (GetKeyState(VK_LBUTTON) < 0) selectedByPress_ = list;
  model.selectFromView(current, std::move(selection));
}

void Win32FormView::formChanged(forms::Form& form, forms::Property property) {
  if (!window_) return;
  switch (property) {
    case Property::Caption:
      SetWindowTextW(window_, utf16FromUtf8(form.caption()).c_str());
      break;
    case Property::Layout:
      layoutWindow();
      break;
    case Property::Visible:
      if (form.visible()) {
        ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
        SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetForegroundWindow(window_);
      } else {
        ShowWindow(window_, SW_HIDE);
      }
      break;
    case Property::Enabled:
      EnableWindow(window_, form.enabled());
      break;
    default:
      break;
  }
}

}  // namespace qb::ui
