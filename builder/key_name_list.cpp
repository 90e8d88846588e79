#include "builder/key_name_list.h"

#include <string_view>

namespace qb {

namespace {

struct KeyName {
  std::string_view label, code;
  int group;
};

constexpr KeyName kKeyNames[] = {
    {"Back Space", "{BACKSPACE}", 1},
    {"Break", "{BREAK}", 1},
    {"Caps LOCK", "{CAPSLOCK}", 1},
    {"Del", "{DEL}", 1},
    {"Enter", "{ENTER}", 2},
    {"End", "{END}", 2},
    {"ESC", "{ESC}", 2},
    {"Help", "{HELP}", 2},
    {"Home", "{HOME}", 2},
    {"Insert", "{INS}", 2},
    {"Nun Lock", "{NUMLOCK}", 3},
    {"Page Down", "{PGDN}", 3},
    {"Page Up", "{PGUP}", 3},
    {"Print Screen", "{PRTSC}", 3},
    {"Scroll Lock", "{SCROLLLOCK}", 3},
    {"Tab", "{TAB}", 4},
    {"UP Arrow", "{UP}", 4},
    {"Left Arrow", "{LEFT}", 4},
    {"Right Arrow", "{RIGHT}", 4},
    {"Down Arrow", "{DOWN}", 4},
};

void addLine(std::string& text, std::string_view label, std::string_view code, bool first) {
  std::string padded(label);
  padded.resize(13, ' ');
  text += padded + "=  " + std::string(code);
  // Every line but the very first carries a blank after its code.
  if (!first) text += ' ';
  text += "\r\n";
}

std::string build() {
  std::string text;
  int group = 1;
  for (const KeyName& key : kKeyNames) {
    if (key.group != group) {
      // Two blank lines after the first group, one after each of the others.
      text += group == 1 ? "\r\n\r\n" : "\r\n";
      group = key.group;
    }
    addLine(text, key.label, key.code, text.empty());
  }
  text += "\r\n";
  for (int n = 1; n <= 12; ++n)
    addLine(text, "F" + std::to_string(n), "{F" + std::to_string(n) + "}", false);
  return text;
}

}  // namespace

const std::string& keyNameListText() {
  static const std::string text = build();
  return text;
}

}  // namespace qb
