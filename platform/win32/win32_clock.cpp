#include "platform/win32/win32_clock.h"

#include <windows.h>

#include <chrono>

namespace qb::platform::win32 {
namespace {

std::int64_t counter() {
  LARGE_INTEGER value;
  QueryPerformanceCounter(&value);
  return value.QuadPart;
}

}  // namespace

Win32Clock::Win32Clock() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  frequency_ = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
  offset_ = static_cast<Ms>(GetTickCount64()) - now();
}

Ms Win32Clock::now() const {
  const std::int64_t ticks = counter();
  // Whole seconds and the rest apart, so the product never overflows.
  return offset_ + (ticks / frequency_) * 1000 + (ticks % frequency_) * 1000 / frequency_;
}

std::int64_t Win32Clock::wallSeconds() const {
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace qb::platform::win32
