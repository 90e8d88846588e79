#pragma once
#include "platform/input.h"

namespace qb {

// The cursor as two properties. Each access asks the platform afresh; each assignment is one
// cursor move that keeps the other coordinate.
class WMouse {
 public:
  explicit WMouse(platform::Cursor& cursor) : cursor_(cursor) {}
  float X() const;
  float Y() const;
  void setX(float x);
  void setY(float y);

 private:
  platform::Cursor& cursor_;
};

}  // namespace qb
