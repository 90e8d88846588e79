#pragma once
// The two mouse samplers that run while recording: cursor positions (and drag steps) every
// 10 ms, and a click line when a button goes down.

#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "platform/desktop.h"
#include "record/record_host.h"

namespace qb {

class MouseCapture {
 public:
  MouseCapture(platform::Desktop& desktop, RecordHost& host) : desktop_(desktop), host_(host) {}

  // The cursor position as mouse lines carry it: "512, 384", "-5, 384", "512,-12".
  std::string MousePosText();
  void moveTick();   // Timer1
  void clickTick();  // Timer4
  // The click sampler counts presses from now on: those made before it ran are not clicks of
  // the recording.
  void startClicks();

 private:
  platform::Desktop& desktop_;
  RecordHost& host_;
  std::string previousSample_;
  std::uint32_t leftPresses_ = 0;
  std::uint32_t rightPresses_ = 0;
};

}  // namespace qb
