#include "record/mouse_capture.h"

#include <cmath>

#include "common/text.h"
#include "platform/virtual_keys.h"
#include "script/wmouse.h"

namespace qb {

namespace {

namespace vk = platform::vk;
constexpr std::uint16_t kHeld = 0x8000;

std::string tickText(platform::Ms now) {
  return std::to_string(platform::tickCount(now));
}
}  // namespace

std::string MouseCapture::MousePosText() {
  const long x = std::lround(host_.cursor().X());
  const long y = std::lround(host_.cursor().Y());
  // x keeps its sign, so positions left of the primary screen replay where they were made;
  // y carries the number-to-text form's leading blank when it is not negative.
  return std::to_string(x) + "," + (y >= 0 ? " " : "") + std::to_string(y);
}

void MouseCapture::moveTick() {
  const std::uint16_t left = desktop_.keyState.asyncKeyState(vk::LButton);
  std::string sample;
  if (left == kHeld) {
    if (host_.recordsDrags()) sample = "t:" + MousePosText();
  } else {
    sample = "m:" + MousePosText();
  }
  if (sample != previousSample_ && !trimBlanks(sample).empty())
    host_.appendRecorded(sample + "-" + tickText(desktop_.clock.now()) + "\r\n");
  previousSample_ = std::string(trimBlanks(sample));
  host_.showRecordedEnd();
}

void MouseCapture::startClicks() {
  leftPresses_ = desktop_.keyState.buttonPresses(vk::LButton);
  rightPresses_ = desktop_.keyState.buttonPresses(vk::RButton);
}

void MouseCapture::clickTick() {
  // The desktop counts the presses, so a press shorter than a tick, the second press of a
  // double click and a press held through a busy moment each make exactly one line.
  for (const int button : {vk::LButton, vk::RButton}) {
    std::uint32_t& seen = button == vk::LButton ? leftPresses_ : rightPresses_;
    const std::uint32_t count = desktop_.keyState.buttonPresses(button);
    const platform::Ms now = desktop_.clock.now();
    for (; seen != count; ++seen)
      host_.appendRecorded((button == vk::LButton ? "m:clickl-" : "m:clickr-") + tickText(now) +
                           "\r\n");
  }
}

}  // namespace qb
