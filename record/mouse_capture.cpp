#include "record/mouse_capture.h"

#include <cmath>

#include "app/program.h"
#include "common/text.h"
#include "platform/virtual_keys.h"

namespace qb {

namespace {

namespace vk = platform::vk;
constexpr std::uint16_t kHeld = 0x8000;

std::string tickText(platform::Ms now) {
  return std::to_string(platform::tickCount(now));
}
}  // namespace

std::string MouseCapture::MousePosText() {
  const long x = std::lround(program_.module.mouse().X());
  const long y = std::lround(program_.module.mouse().Y());
  // x keeps its sign, so positions left of the primary screen replay where they were made;
  // y carries the number-to-text form's leading blank when it is not negative.
  return std::to_string(x) + "," + (y >= 0 ? " " : "") + std::to_string(y);
}

void MouseCapture::moveTick() {
  Form1& form = program_.form1;
  const std::uint16_t left = program_.desktop.keyState.asyncKeyState(vk::LButton);
  std::string sample;
  if (left == kHeld) {
    if (form.Check1.value() == 1) sample = "t:" + MousePosText();
  } else {
    sample = "m:" + MousePosText();
  }
  if (sample != previousSample_ && !trimBlanks(sample).empty())
    form.Text1.append(sample + "-" + tickText(program_.desktop.clock.now()) + "\r\n");
  previousSample_ = std::string(trimBlanks(sample));
  form.Text1.setSelectionStart(form.Text1.text().size());
}

void MouseCapture::startClicks() {
  leftPresses_ = program_.desktop.keyState.buttonPresses(vk::LButton);
  rightPresses_ = program_.desktop.keyState.buttonPresses(vk::RButton);
}

void MouseCapture::clickTick() {
  // The desktop counts the presses, so a press shorter than a tick, the second press of a
  // double click and a press held through a busy moment each make exactly one line.
  Form1& form = program_.form1;
  for (const int button : {vk::LButton, vk::RButton}) {
    std::uint32_t& seen = button == vk::LButton ? leftPresses_ : rightPresses_;
    const std::uint32_t count = program_.desktop.keyState.buttonPresses(button);
    const platform::Ms now = program_.desktop.clock.now();
    for (; seen != count; ++seen)
      form.Text1.append((button == vk::LButton ? "m:clickl-" : "m:clickr-") + tickText(now) +
                        "\r\n");
  }
}

}  // namespace qb
