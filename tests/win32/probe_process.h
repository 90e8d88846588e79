#pragma once
// The probe window (qb_win32_probe) run as a program of its own, for the backend tests.

#include <cstdint>
#include <string>

namespace qb::win32test {

class ProbeProcess {
 public:
  // Starts the probe with this title beside the test program and waits for its window.
  explicit ProbeProcess(std::string title);
  ~ProbeProcess();
  ProbeProcess(const ProbeProcess&) = delete;
  ProbeProcess& operator=(const ProbeProcess&) = delete;

  bool ready() const { return window_ != nullptr; }
  void* window() const { return window_; }
  // The text of its edit field, read with WM_GETTEXT.
  std::string text() const;
  // The log lines written so far.
  std::string log() const;

 private:
  std::string title_;
  std::string logPath_;
  void* process_ = nullptr;
  void* window_ = nullptr;
  void* edit_ = nullptr;
};

// The folder of the running test program.
std::string ownFolder();

// A key as a person's keyboard would send it, through SendInput without this program's mark:
// the hook takes it for the user's (Windows marks it injected all the same).
void typeUnmarked(std::uint16_t key, bool up);

}  // namespace qb::win32test
