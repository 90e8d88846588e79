#pragma once
// The shortcut maker run beside the recorder on one simulated desktop. It is a program of its
// own: its own command line and executable path, and an event loop of its own to leave, so
// "Cancel It" ends the shortcut maker and not the recorder. Everything else (virtual time,
// message boxes, the shortcut writer, settings) is the shared desktop's.

#include <memory>
#include <string>

#include "platform/desktop.h"
#include "shortcut/kestrip_form.h"

namespace qb::scenario {

// Forwards to the shared loop until this program quits; quitting ends only this program.
class ProcessLoop final : public platform::EventLoop {
 public:
  explicit ProcessLoop(platform::EventLoop& shared) : shared_(shared) {}
  void yield() override;
  void waitUntil(platform::Ms deadline) override;
  void post(std::function<void()> task) override { shared_.post(std::move(task)); }
  platform::TimerId startTimer(platform::Ms interval, std::function<void()> tick) override {
    return shared_.startTimer(interval, std::move(tick));
  }
  void stopTimer(platform::TimerId id) override { shared_.stopTimer(id); }
  void runModal(const std::function<bool()>& open) override;
  bool quitting() const override { return quit_ || shared_.quitting(); }
  void quit() override { quit_ = true; }
  // This program, not the desktop, has left its loop.
  bool left() const { return quit_; }

 private:
  platform::EventLoop& shared_;
  bool quit_ = false;
};

// The shared environment with this program's own executable path and argument string.
class ProcessEnvironment final : public platform::Environment {
 public:
  ProcessEnvironment(platform::Environment& shared, std::string executable, std::string arguments)
      : shared_(shared), executable_(std::move(executable)), arguments_(std::move(arguments)) {}
  std::string executablePath() override { return executable_; }
  std::string arguments() override { return arguments_; }
  std::vector<std::string> specialFolders() override { return shared_.specialFolders(); }
  std::string userDataFolder() override { return shared_.userDataFolder(); }
  std::string sessionLimits() override { return shared_.sessionLimits(); }

 private:
  platform::Environment& shared_;
  std::string executable_;
  std::string arguments_;
};

// The shortcut maker started as its main does: the window loads, then shows unless it ended.
class KestripProcess {
 public:
  KestripProcess(platform::Desktop& shared, std::string executable, std::string arguments);
  KestripForm& form() { return *form_; }
  ProcessLoop& loop() { return loop_; }

 private:
  ProcessLoop loop_;
  ProcessEnvironment environment_;
  platform::Desktop desktop_;
  std::unique_ptr<KestripForm> form_;
};

}  // namespace qb::scenario
