#pragma once
#include <cstdint>

// Windows virtual-key codes: the key identity the whole program uses, on every platform.
namespace qb::vk {
inline constexpr std::uint16_t LButton = 0x01, RButton = 0x02, Back = 0x08, Tab = 0x09,
                               Return = 0x0D, Shift = 0x10, Control = 0x11, Menu = 0x12,
                               Pause = 0x13, Capital = 0x14, Escape = 0x1B, Space = 0x20,
                               Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24, Left = 0x25,
                               Up = 0x26, Right = 0x27, Down = 0x28, Snapshot = 0x2C,
                               Insert = 0x2D, Delete = 0x2E, Help = 0x2F, Multiply = 0x6A,
                               Add = 0x6B, Subtract = 0x6D, Divide = 0x6F, F1 = 0x70, F12 = 0x7B,
                               F16 = 0x7F, NumLock = 0x90, Scroll = 0x91, LShift = 0xA0,
                               RShift = 0xA1, LControl = 0xA2, RControl = 0xA3, LMenu = 0xA4,
                               RMenu = 0xA5, OemMinus = 0xBD, Oem3 = 0xC0;
}  // namespace qb::vk
