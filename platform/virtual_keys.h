#pragma once
#include <cstdint>

// Windows virtual-key codes: the key identity the whole program and every desktop backend
// speak, on every platform. Letters and digits are their upper-case ASCII characters ('A',
// '7') and have no names here.
namespace qb::platform::vk {

// Mouse buttons, which the key state reports like keys.
inline constexpr std::uint16_t LButton = 0x01, RButton = 0x02, MButton = 0x04;

// Cancel is Ctrl+Pause, which Windows gives a code of its own.
inline constexpr std::uint16_t Cancel = 0x03, Back = 0x08, Tab = 0x09, Clear = 0x0C, Return = 0x0D;

// Either side of a modifier; the sided codes follow below.
inline constexpr std::uint16_t Shift = 0x10, Control = 0x11, Menu = 0x12;

inline constexpr std::uint16_t Pause = 0x13, Capital = 0x14, Escape = 0x1B, Space = 0x20,
                               Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24, Left = 0x25,
                               Up = 0x26, Right = 0x27, Down = 0x28, Select = 0x29, Execute = 0x2B,
                               Snapshot = 0x2C, Insert = 0x2D, Delete = 0x2E, Help = 0x2F;

inline constexpr std::uint16_t LWin = 0x5B, RWin = 0x5C, Apps = 0x5D;

inline constexpr std::uint16_t Numpad0 = 0x60, Numpad1 = 0x61, Numpad2 = 0x62, Numpad3 = 0x63,
                               Numpad4 = 0x64, Numpad5 = 0x65, Numpad6 = 0x66, Numpad7 = 0x67,
                               Numpad8 = 0x68, Numpad9 = 0x69, Multiply = 0x6A, Add = 0x6B,
                               Separator = 0x6C, Subtract = 0x6D, Decimal = 0x6E, Divide = 0x6F;

// F1 to F24 are consecutive.
inline constexpr std::uint16_t F1 = 0x70, F2 = 0x71, F3 = 0x72, F4 = 0x73, F5 = 0x74, F6 = 0x75,
                               F7 = 0x76, F8 = 0x77, F9 = 0x78, F10 = 0x79, F11 = 0x7A, F12 = 0x7B,
                               F13 = 0x7C, F14 = 0x7D, F15 = 0x7E, F16 = 0x7F, F17 = 0x80,
                               F18 = 0x81, F19 = 0x82, F20 = 0x83, F21 = 0x84, F22 = 0x85,
                               F23 = 0x86, F24 = 0x87;

inline constexpr std::uint16_t NumLock = 0x90, Scroll = 0x91;

inline constexpr std::uint16_t LShift = 0xA0, RShift = 0xA1, LControl = 0xA2, RControl = 0xA3,
                               LMenu = 0xA4, RMenu = 0xA5;

inline constexpr std::uint16_t BrowserBack = 0xA6, BrowserForward = 0xA7, BrowserRefresh = 0xA8,
                               BrowserStop = 0xA9, BrowserSearch = 0xAA, BrowserFavorites = 0xAB,
                               BrowserHome = 0xAC, VolumeMute = 0xAD, VolumeDown = 0xAE,
                               VolumeUp = 0xAF, MediaNextTrack = 0xB0, MediaPrevTrack = 0xB1,
                               MediaStop = 0xB2, MediaPlayPause = 0xB3, LaunchMail = 0xB4,
                               LaunchMediaSelect = 0xB5, LaunchApp1 = 0xB6, LaunchApp2 = 0xB7;

// The punctuation keys, named by what a US layout prints on them: Oem1 ";", OemPlus "=",
// OemComma ",", OemMinus "-", OemPeriod ".", Oem2 "/", Oem3 "`", Oem4 "[", Oem5 "\",
// Oem6 "]", Oem7 "'", Oem102 the extra key between left Shift and Z.
inline constexpr std::uint16_t Oem1 = 0xBA, OemPlus = 0xBB, OemComma = 0xBC, OemMinus = 0xBD,
                               OemPeriod = 0xBE, Oem2 = 0xBF, Oem3 = 0xC0, Oem4 = 0xDB, Oem5 = 0xDC,
                               Oem6 = 0xDD, Oem7 = 0xDE, Oem102 = 0xE2;

// A character typed without a key of its own; and the code of a key that has no virtual key.
inline constexpr std::uint16_t Packet = 0xE7, Unassigned = 0xFF;

}  // namespace qb::platform::vk
