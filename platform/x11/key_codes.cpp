#include "platform/x11/key_codes.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <array>

namespace qb::platform::x11 {
namespace {

struct NamedKey {
  std::uint32_t keysym;
  std::uint16_t vk;
  bool extended;
};

// The first entry of a virtual key is the keysym typed for it.
constexpr std::array kNamedKeys{
    NamedKey{XK_BackSpace, vk::Back, false},
    NamedKey{XK_Tab, vk::Tab, false},
    NamedKey{XK_ISO_Left_Tab, vk::Tab, false},
    NamedKey{XK_Clear, vk::Clear, false},
    NamedKey{XK_Return, vk::Return, false},
    NamedKey{XK_Pause, vk::Pause, false},
    NamedKey{XK_Break, vk::Cancel, true},
    NamedKey{XK_Cancel, vk::Cancel, true},
    NamedKey{XK_Caps_Lock, vk::Capital, false},
    NamedKey{XK_Escape, vk::Escape, false},
    NamedKey{XK_space, vk::Space, false},
    NamedKey{XK_Prior, vk::Prior, true},
    NamedKey{XK_Next, vk::Next, true},
    NamedKey{XK_End, vk::End, true},
    NamedKey{XK_Home, vk::Home, true},
    NamedKey{XK_Left, vk::Left, true},
    NamedKey{XK_Up, vk::Up, true},
    NamedKey{XK_Right, vk::Right, true},
    NamedKey{XK_Down, vk::Down, true},
    NamedKey{XK_Select, vk::Select, false},
    NamedKey{XK_Execute, vk::Execute, false},
    NamedKey{XK_Print, vk::Snapshot, true},
    NamedKey{XK_Sys_Req, vk::Snapshot, true},
    NamedKey{XK_Insert, vk::Insert, true},
    NamedKey{XK_Delete, vk::Delete, true},
    NamedKey{XK_Help, vk::Help, false},
    NamedKey{XK_Super_L, vk::LWin, true},
    NamedKey{XK_Super_R, vk::RWin, true},
    NamedKey{XK_Menu, vk::Apps, true},
    NamedKey{XK_KP_0, vk::Numpad0, false},
    NamedKey{XK_KP_1, vk::Numpad1, false},
    NamedKey{XK_KP_2, vk::Numpad2, false},
    NamedKey{XK_KP_3, vk::Numpad3, false},
    NamedKey{XK_KP_4, vk::Numpad4, false},
    NamedKey{XK_KP_5, vk::Numpad5, false},
    NamedKey{XK_KP_6, vk::Numpad6, false},
    NamedKey{XK_KP_7, vk::Numpad7, false},
    NamedKey{XK_KP_8, vk::Numpad8, false},
    NamedKey{XK_KP_9, vk::Numpad9, false},
    NamedKey{XK_KP_Multiply, vk::Multiply, false},
    NamedKey{XK_KP_Add, vk::Add, false},
    NamedKey{XK_KP_Separator, vk::Separator, false},
    NamedKey{XK_KP_Subtract, vk::Subtract, false},
    NamedKey{XK_KP_Decimal, vk::Decimal, false},
    NamedKey{XK_KP_Divide, vk::Divide, true},
    NamedKey{XK_KP_Enter, vk::Return, true},
    NamedKey{XK_KP_Insert, vk::Insert, false},
    NamedKey{XK_KP_Delete, vk::Delete, false},
    NamedKey{XK_KP_Home, vk::Home, false},
    NamedKey{XK_KP_End, vk::End, false},
    NamedKey{XK_KP_Prior, vk::Prior, false},
    NamedKey{XK_KP_Next, vk::Next, false},
    NamedKey{XK_KP_Left, vk::Left, false},
    NamedKey{XK_KP_Up, vk::Up, false},
    NamedKey{XK_KP_Right, vk::Right, false},
    NamedKey{XK_KP_Down, vk::Down, false},
    NamedKey{XK_KP_Begin, vk::Clear, false},
    NamedKey{XK_KP_Space, vk::Space, false},
    NamedKey{XK_KP_Tab, vk::Tab, false},
    NamedKey{XK_Num_Lock, vk::NumLock, true},
    NamedKey{XK_Scroll_Lock, vk::Scroll, false},
    NamedKey{XK_Shift_L, vk::LShift, false},
    NamedKey{XK_Shift_R, vk::RShift, false},
    NamedKey{XK_Control_L, vk::LControl, false},
    NamedKey{XK_Control_R, vk::RControl, true},
    NamedKey{XK_Alt_L, vk::LMenu, false},
    NamedKey{XK_Meta_L, vk::LMenu, false},
    NamedKey{XK_Alt_R, vk::RMenu, true},
    NamedKey{XK_Meta_R, vk::RMenu, true},
    NamedKey{XK_ISO_Level3_Shift, vk::RMenu, true},
    NamedKey{XK_Mode_switch, vk::RMenu, true},
    NamedKey{XF86XK_Back, vk::BrowserBack, true},
    NamedKey{XF86XK_Forward, vk::BrowserForward, true},
    NamedKey{XF86XK_Refresh, vk::BrowserRefresh, true},
    NamedKey{XF86XK_Stop, vk::BrowserStop, true},
    NamedKey{XF86XK_Search, vk::BrowserSearch, true},
    NamedKey{XF86XK_Favorites, vk::BrowserFavorites, true},
    NamedKey{XF86XK_HomePage, vk::BrowserHome, true},
    NamedKey{XF86XK_AudioMute, vk::VolumeMute, true},
    NamedKey{XF86XK_AudioLowerVolume, vk::VolumeDown, true},
    NamedKey{XF86XK_AudioRaiseVolume, vk::VolumeUp, true},
    NamedKey{XF86XK_AudioNext, vk::MediaNextTrack, true},
    NamedKey{XF86XK_AudioPrev, vk::MediaPrevTrack, true},
    NamedKey{XF86XK_AudioStop, vk::MediaStop, true},
    NamedKey{XF86XK_AudioPlay, vk::MediaPlayPause, true},
    NamedKey{XF86XK_Mail, vk::LaunchMail, true},
    NamedKey{XF86XK_AudioMedia, vk::LaunchMediaSelect, true},
    NamedKey{XF86XK_Launch0, vk::LaunchApp1, true},
    NamedKey{XF86XK_Launch1, vk::LaunchApp2, true},
};

struct CharacterKey {
  std::uint32_t keysym;
  std::uint16_t vk;
};

constexpr std::array kPunctuation{
    CharacterKey{XK_semicolon, vk::Oem1},    CharacterKey{XK_equal, vk::OemPlus},
    CharacterKey{XK_plus, vk::OemPlus},      CharacterKey{XK_comma, vk::OemComma},
    CharacterKey{XK_minus, vk::OemMinus},    CharacterKey{XK_period, vk::OemPeriod},
    CharacterKey{XK_slash, vk::Oem2},        CharacterKey{XK_grave, vk::Oem3},
    CharacterKey{XK_bracketleft, vk::Oem4},  CharacterKey{XK_backslash, vk::Oem5},
    CharacterKey{XK_bracketright, vk::Oem6}, CharacterKey{XK_apostrophe, vk::Oem7},
    CharacterKey{XK_less, vk::Oem102},
};

// The virtual keys of the typing block by evdev keycode, from 10 ("1") to 61 ("/"), one line
// per keyboard row; 0 where the key is not a typing key.
constexpr std::array<std::uint16_t, 52> kTypingBlock{
    '1',          '2',           '3',      '4',          '5',         '6', '7',
    '8',          '9',           '0',      vk::OemMinus, vk::OemPlus, 0,   0,  // 10..23
    'Q',          'W',           'E',      'R',          'T',         'Y', 'U',
    'I',          'O',           'P',      vk::Oem4,     vk::Oem6,    0,   0,  // 24..37
    'A',          'S',           'D',      'F',          'G',         'H', 'J',
    'K',          'L',           vk::Oem1, vk::Oem7,     vk::Oem3,    0,   vk::Oem5,  // 38..51
    'Z',          'X',           'C',      'V',          'B',         'N', 'M',
    vk::OemComma, vk::OemPeriod, vk::Oem2,  // 52..61
};
constexpr int kTypingBlockFirst = 10;
constexpr int kIsoExtraKey = 94;  // the key between left Shift and Z

// Linux input codes (evdev keycode - 8) of the keys whose Windows scan code differs.
struct ScanCode {
  int linuxCode;
  std::uint32_t scan;
};
constexpr std::array kExtendedScanCodes{
    ScanCode{96, 0x1C},  ScanCode{97, 0x1D},  ScanCode{98, 0x35},  ScanCode{99, 0x37},
    ScanCode{100, 0x38}, ScanCode{102, 0x47}, ScanCode{103, 0x48}, ScanCode{104, 0x49},
    ScanCode{105, 0x4B}, ScanCode{106, 0x4D}, ScanCode{107, 0x4F}, ScanCode{108, 0x50},
    ScanCode{109, 0x51}, ScanCode{110, 0x52}, ScanCode{111, 0x53}, ScanCode{119, 0x45},
    ScanCode{125, 0x5B}, ScanCode{126, 0x5C}, ScanCode{127, 0x5D},
};

}  // namespace

std::optional<VkOfKey> vkOfNamedKeysym(std::uint32_t keysym) {
  if (keysym >= XK_F1 && keysym <= XK_F24)
    return VkOfKey{static_cast<std::uint16_t>(vk::F1 + (keysym - XK_F1)), false};
  for (const auto& k : kNamedKeys)
    if (k.keysym == keysym) return VkOfKey{k.vk, k.extended};
  return std::nullopt;
}

std::uint16_t vkOfCharacterKeysym(std::uint32_t keysym) {
  if (keysym >= XK_a && keysym <= XK_z) return static_cast<std::uint16_t>('A' + (keysym - XK_a));
  if (keysym >= XK_A && keysym <= XK_Z) return static_cast<std::uint16_t>(keysym);
  if (keysym >= XK_0 && keysym <= XK_9) return static_cast<std::uint16_t>(keysym);
  for (const auto& k : kPunctuation)
    if (k.keysym == keysym) return k.vk;
  return 0;
}

std::uint16_t vkOfTypingKeyPosition(int keycode) {
  if (keycode == kIsoExtraKey) return vk::Oem102;
  const int index = keycode - kTypingBlockFirst;
  if (index < 0 || index >= static_cast<int>(kTypingBlock.size())) return 0;
  return kTypingBlock[static_cast<std::size_t>(index)];
}

std::uint32_t scanCodeOfKeycode(int keycode) {
  const int linuxCode = keycode - 8;
  for (const auto& s : kExtendedScanCodes)
    if (s.linuxCode == linuxCode) return s.scan;
  return linuxCode > 0 && linuxCode < 0x59 ? static_cast<std::uint32_t>(linuxCode) : 0;
}

std::uint32_t keysymOfVk(std::uint16_t vk) {
  if (vk >= 'A' && vk <= 'Z') return XK_a + (vk - 'A');
  if (vk >= '0' && vk <= '9') return vk;
  if (vk >= vk::F1 && vk <= vk::F24) return XK_F1 + (vk - vk::F1);
  switch (vk) {
    case vk::Shift:
      return XK_Shift_L;
    case vk::Control:
      return XK_Control_L;
    case vk::Menu:
      return XK_Alt_L;
    default:
      break;
  }
  for (const auto& k : kNamedKeys)
    if (k.vk == vk) return k.keysym;
  for (const auto& k : kPunctuation)
    if (k.vk == vk) return k.keysym;
  return 0;
}

bool isKeypadNavigationKeysym(std::uint32_t keysym) {
  return (keysym >= XK_KP_Home && keysym <= XK_KP_Delete) || keysym == XK_KP_Begin;
}

}  // namespace qb::platform::x11
