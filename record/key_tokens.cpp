#include "record/key_tokens.h"

#include <array>

#include "platform/virtual_keys.h"

namespace qb {
namespace {

namespace vk = platform::vk;

constexpr std::array kRows{
    KeyTokenRow{vk::F1, "{f1}"},
    KeyTokenRow{vk::F2, "{f2}"},
    KeyTokenRow{vk::F3, "{f3}"},
    KeyTokenRow{vk::F4, "{f4}"},
    KeyTokenRow{vk::F5, "{f5}"},
    KeyTokenRow{vk::F6, "{f6}"},
    KeyTokenRow{vk::F7, "{f7}"},
    KeyTokenRow{vk::F8, "{f8}"},
    KeyTokenRow{vk::F9, "{f9}"},
    KeyTokenRow{vk::F10, "{f10}"},
    KeyTokenRow{vk::F11, "{f11}"},
    KeyTokenRow{vk::F12, "{f12}"},
    KeyTokenRow{vk::Left, "{left}"},
    KeyTokenRow{vk::Delete, "{del}"},
    KeyTokenRow{vk::Up, "{up}"},
    KeyTokenRow{vk::Right, "{right}"},
    KeyTokenRow{vk::Down, "{down}"},
    KeyTokenRow{vk::OemMinus, "{-}"},
    KeyTokenRow{vk::OemPlus, "{=}"},
    KeyTokenRow{vk::OemPeriod, "{.}"},
    KeyTokenRow{vk::Oem2, "{/}"},
    KeyTokenRow{vk::Oem5, "{\\}"},
    KeyTokenRow{vk::Oem4, "{[}"},
    KeyTokenRow{vk::Oem6, "{]}"},
    KeyTokenRow{vk::Oem1, "{;}"},
    KeyTokenRow{vk::Oem7, "{'}"},
    KeyTokenRow{vk::OemComma, "{,}"},
    KeyTokenRow{vk::Next, "{PGDN}"},
    KeyTokenRow{vk::Prior, "{PGUP}"},
    KeyTokenRow{vk::Home, "{HOME}", true},
    KeyTokenRow{vk::End, "{END}", true},
    KeyTokenRow{vk::Insert, "{INSERT}"},
    KeyTokenRow{vk::Escape, "{ESC}"},
    KeyTokenRow{vk::Tab, "{TAB}"},
    KeyTokenRow{vk::Return, "{ENTER}"},
    KeyTokenRow{vk::Back, "{BKSP}"},
    KeyTokenRow{vk::Scroll, "{SCROLLLOCK}"},
    KeyTokenRow{vk::Snapshot, "{PRTSC}"},
    KeyTokenRow{vk::Capital, "{CAPSLOCK}"},
    KeyTokenRow{vk::Pause, "{BREAK}"},
    KeyTokenRow{vk::Oem3, "{`}"},
};

}  // namespace

std::span<const KeyTokenRow> keyTokenRows() {
  return kRows;
}

const KeyTokenRow* findKeyToken(std::uint16_t key) {
  for (const KeyTokenRow& row : kRows)
    if (row.key == key) return &row;
  return nullptr;
}

}  // namespace qb
