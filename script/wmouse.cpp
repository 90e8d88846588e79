#include "script/wmouse.h"

#include <cmath>

namespace qb {

static int nearestWhole(float v) { return static_cast<int>(std::nearbyint(v)); }

float WMouse::X() const {
  platform::Point p;
  return cursor_.position(p) ? static_cast<float>(p.x) : 0.0f;
}

float WMouse::Y() const {
  platform::Point p;
  return cursor_.position(p) ? static_cast<float>(p.y) : 0.0f;
}

void WMouse::setX(float x) {
  platform::Point p;
  if (!cursor_.position(p)) p = {};
  cursor_.setPosition({nearestWhole(x), p.y});
}

void WMouse::setY(float y) {
  platform::Point p;
  if (!cursor_.position(p)) p = {};
  cursor_.setPosition({p.x, nearestWhole(y)});
}

}  // namespace qb
