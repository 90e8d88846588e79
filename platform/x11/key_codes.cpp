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
    NamedKey{XK_BackSpace, 0x08, false},
    NamedKey{XK_Tab, 0x09, false},
    NamedKey{XK_ISO_Left_Tab, 0x09, false},
    NamedKey{XK_Clear, 0x0C, false},
    NamedKey{XK_Return, 0x0D, false},
    NamedKey{XK_Pause, 0x13, false},
    NamedKey{XK_Break, kVkCancel, true},
    NamedKey{XK_Cancel, kVkCancel, true},
    NamedKey{XK_Caps_Lock, 0x14, false},
    NamedKey{XK_Escape, 0x1B, false},
    NamedKey{XK_space, 0x20, false},
    NamedKey{XK_Prior, 0x21, true},
    NamedKey{XK_Next, 0x22, true},
    NamedKey{XK_End, 0x23, true},
    NamedKey{XK_Home, 0x24, true},
    NamedKey{XK_Left, 0x25, true},
    NamedKey{XK_Up, 0x26, true},
    NamedKey{XK_Right, 0x27, true},
    NamedKey{XK_Down, 0x28, true},
    NamedKey{XK_Select, 0x29, false},
    NamedKey{XK_Execute, 0x2B, false},
    NamedKey{XK_Print, 0x2C, true},
    NamedKey{XK_Sys_Req, 0x2C, true},
    NamedKey{XK_Insert, 0x2D, true},
    NamedKey{XK_Delete, 0x2E, true},
    NamedKey{XK_Help, 0x2F, false},
    NamedKey{XK_Super_L, 0x5B, true},
    NamedKey{XK_Super_R, 0x5C, true},
    NamedKey{XK_Menu, 0x5D, true},
    NamedKey{XK_KP_0, 0x60, false},
    NamedKey{XK_KP_1, 0x61, false},
    NamedKey{XK_KP_2, 0x62, false},
    NamedKey{XK_KP_3, 0x63, false},
    NamedKey{XK_KP_4, 0x64, false},
    NamedKey{XK_KP_5, 0x65, false},
    NamedKey{XK_KP_6, 0x66, false},
    NamedKey{XK_KP_7, 0x67, false},
    NamedKey{XK_KP_8, 0x68, false},
    NamedKey{XK_KP_9, 0x69, false},
    NamedKey{XK_KP_Multiply, 0x6A, false},
    NamedKey{XK_KP_Add, 0x6B, false},
    NamedKey{XK_KP_Separator, 0x6C, false},
    NamedKey{XK_KP_Subtract, 0x6D, false},
    NamedKey{XK_KP_Decimal, 0x6E, false},
    NamedKey{XK_KP_Divide, 0x6F, true},
    NamedKey{XK_KP_Enter, 0x0D, true},
    NamedKey{XK_KP_Insert, 0x2D, false},
    NamedKey{XK_KP_Delete, 0x2E, false},
    NamedKey{XK_KP_Home, 0x24, false},
    NamedKey{XK_KP_End, 0x23, false},
    NamedKey{XK_KP_Prior, 0x21, false},
    NamedKey{XK_KP_Next, 0x22, false},
    NamedKey{XK_KP_Left, 0x25, false},
    NamedKey{XK_KP_Up, 0x26, false},
    NamedKey{XK_KP_Right, 0x27, false},
    NamedKey{XK_KP_Down, 0x28, false},
    NamedKey{XK_KP_Begin, 0x0C, false},
    NamedKey{XK_KP_Space, 0x20, false},
    NamedKey{XK_KP_Tab, 0x09, false},
    NamedKey{XK_Num_Lock, 0x90, true},
    NamedKey{XK_Scroll_Lock, 0x91, false},
    NamedKey{XK_Shift_L, 0xA0, false},
    NamedKey{XK_Shift_R, 0xA1, false},
    NamedKey{XK_Control_L, 0xA2, false},
    NamedKey{XK_Control_R, 0xA3, true},
    NamedKey{XK_Alt_L, 0xA4, false},
    NamedKey{XK_Meta_L, 0xA4, false},
    NamedKey{XK_Alt_R, 0xA5, true},
    NamedKey{XK_Meta_R, 0xA5, true},
    NamedKey{XK_ISO_Level3_Shift, 0xA5, true},
    NamedKey{XK_Mode_switch, 0xA5, true},
    NamedKey{XF86XK_Back, 0xA6, true},
    NamedKey{XF86XK_Forward, 0xA7, true},
    NamedKey{XF86XK_Refresh, 0xA8, true},
    NamedKey{XF86XK_Stop, 0xA9, true},
    NamedKey{XF86XK_Search, 0xAA, true},
    NamedKey{XF86XK_Favorites, 0xAB, true},
    NamedKey{XF86XK_HomePage, 0xAC, true},
    NamedKey{XF86XK_AudioMute, 0xAD, true},
    NamedKey{XF86XK_AudioLowerVolume, 0xAE, true},
    NamedKey{XF86XK_AudioRaiseVolume, 0xAF, true},
    NamedKey{XF86XK_AudioNext, 0xB0, true},
    NamedKey{XF86XK_AudioPrev, 0xB1, true},
    NamedKey{XF86XK_AudioStop, 0xB2, true},
    NamedKey{XF86XK_AudioPlay, 0xB3, true},
    NamedKey{XF86XK_Mail, 0xB4, true},
    NamedKey{XF86XK_AudioMedia, 0xB5, true},
    NamedKey{XF86XK_Launch0, 0xB6, true},
    NamedKey{XF86XK_Launch1, 0xB7, true},
};

struct CharacterKey {
  std::uint32_t keysym;
  std::uint16_t vk;
};

constexpr std::array kPunctuation{
    CharacterKey{XK_semicolon, 0xBA},    CharacterKey{XK_equal, 0xBB},
    CharacterKey{XK_plus, 0xBB},         CharacterKey{XK_comma, 0xBC},
    CharacterKey{XK_minus, 0xBD},        CharacterKey{XK_period, 0xBE},
    CharacterKey{XK_slash, 0xBF},        CharacterKey{XK_grave, 0xC0},
    CharacterKey{XK_bracketleft, 0xDB},  CharacterKey{XK_backslash, 0xDC},
    CharacterKey{XK_bracketright, 0xDD}, CharacterKey{XK_apostrophe, 0xDE},
    CharacterKey{XK_less, 0xE2},
};

// The virtual keys of the typing block by evdev keycode, from 10 ("1") to 61 ("/"), one line
// per keyboard row; 0 where the key is not a typing key.
constexpr std::array<std::uint16_t, 52> kTypingBlock{
    '1', '2', '3', '4', '5', '6', '7', '8',  '9',  '0',  0xBD, 0xBB, 0, 0,     // 10..23
    'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I',  'O',  'P',  0xDB, 0xDD, 0, 0,     // 24..37
    'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K',  'L',  0xBA, 0xDE, 0xC0, 0, 0xDC,  // 38..51
    'Z', 'X', 'C', 'V', 'B', 'N', 'M', 0xBC, 0xBE, 0xBF,                       // 52..61
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
    return VkOfKey{static_cast<std::uint16_t>(0x70 + (keysym - XK_F1)), false};
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
  if (keycode == kIsoExtraKey) return 0xE2;
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
  if (vk >= 0x70 && vk <= 0x87) return XK_F1 + (vk - 0x70);
  switch (vk) {
    case 0x10:
      return XK_Shift_L;
    case 0x11:
      return XK_Control_L;
    case 0x12:
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
