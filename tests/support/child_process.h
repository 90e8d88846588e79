#pragma once
// Real child processes for tests of what outlives a process: one that does something, says it
// is ready and waits (alive) until it is killed, and the id of one that has ended. Windows
// cannot fork: there only the ended process is available.

#include <cstdint>
#include <functional>
#include <memory>

#ifdef _WIN32
#include <windows.h>

#include <string>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace qb::test {

#ifdef _WIN32

// The id of a process that has ended, its handles closed: a short-lived command interpreter.
inline std::uint64_t endedProcessId() {
  std::wstring command = L"cmd.exe /c exit 0";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
    return 0;
  ::WaitForSingleObject(process.hProcess, INFINITE);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return process.dwProcessId;
}

#else

class WaitingChild {
 public:
  // `work` runs in the child; what it returns lives until the child is killed.
  explicit WaitingChild(const std::function<std::shared_ptr<void>()>& work) {
    int ready[2], hold[2];
    if (::pipe(ready) != 0 || ::pipe(hold) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(hold[1]);
      const auto kept = work();
      const char byte = 1;
      if (::write(ready[1], &byte, 1) != 1) ::_exit(2);
      char none;
      while (::read(hold[0], &none, 1) > 0) {
      }
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(hold[0]);
    hold_ = hold[1];
    char byte = 0;
    ready_ = pid_ > 0 && ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
  }
  ~WaitingChild() {
    end();
    if (hold_ >= 0) ::close(hold_);
  }
  WaitingChild(const WaitingChild&) = delete;
  WaitingChild& operator=(const WaitingChild&) = delete;

  bool ready() const { return ready_; }
  std::uint64_t id() const { return static_cast<std::uint64_t>(pid_); }
  // Killed the hard way (nothing of it runs after) and reaped, so its id is free.
  void end() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int hold_ = -1;
  bool ready_ = false;
};

// The id of a process that has ended and been reaped: no process has it (until the system
// hands it out again, which takes a full round of ids).
inline std::uint64_t endedProcessId() {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return static_cast<std::uint64_t>(pid);
}

#endif

}  // namespace qb::test
