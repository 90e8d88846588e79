#pragma once
// The two mouse samplers that run while recording: cursor positions (and drag steps) every
// 10 ms, and a click line when a button goes down.

#include <string>

#include "platform/clock.h"

namespace qb {

class Program;

class MouseCapture {
 public:
  explicit MouseCapture(Program& program) : program_(program) {}

  // The cursor position as mouse lines carry it: "512, 384", "-5, 384", "512,-12".
  std::string MousePosText();
  void moveTick();   // Timer1
  void clickTick();  // Timer4

 private:
  Program& program_;
  std::string previousSample_;
  int clickLatch_ = 0;
  platform::Ms lastDownTick_ = 0;
};

}  // namespace qb
