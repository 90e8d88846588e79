#pragma once
// The recorder program started in normal mode on a simulated desktop, its macro folder a fresh
// temporary folder, with helpers to type on the desktop's keyboard and read the macro text.

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "common/file_io.h"
#include "platform/sim/sim_desktop.h"
#include "platform/virtual_keys.h"

namespace qb::test {

// A folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    path_ = (std::filesystem::temp_directory_path() /
             ("qb-test-" + std::to_string(random()) + std::to_string(random())))
                .string();
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  // With the system's separator, as the program joins names to folders.
  std::string pathOf(const std::string& name) const { return joinPath(path_, name); }
  void writeFile(const std::string& name, const std::string& content) const {
    std::ofstream(pathOf(name), std::ios::binary) << content;
  }
  std::string readFile(const std::string& name) const {
    std::ifstream in(pathOf(name), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

 private:
  std::string path_;
};

// Passes the hook through to the simulated desktop and keeps every set of swallowable keys the
// program announces, which the simulated desktop itself ignores.
class SwallowWatch final : public platform::KeyboardHookSource {
 public:
  explicit SwallowWatch(platform::KeyboardHookSource& inner) : inner_(inner) {}
  bool install(Callback callback) override { return inner_.install(std::move(callback)); }
  void uninstall() override { inner_.uninstall(); }
  void setSwallowable(std::vector<platform::SwallowableKey> keys) override {
    announced.push_back(keys);
    inner_.setSwallowable(std::move(keys));
  }
  std::vector<std::vector<platform::SwallowableKey>> announced;

 private:
  platform::KeyboardHookSource& inner_;
};

inline platform::Desktop withHook(platform::Desktop& d, platform::KeyboardHookSource& hook) {
  return platform::Desktop{d.clock,       d.loop,        d.cursor,    d.buttons, d.keys,
                           d.keyState,    d.windows,     d.processes, d.dialogs, d.log,
                           d.settings,    hook,          d.clipboard, d.shell,   d.tray,
                           d.windowStack, d.environment, d.shortcuts};
}

struct SimProgram {
  platform::sim::SimDesktop sim;
  TempFolder folder;
  SwallowWatch hookSource{sim};
  platform::Desktop desktop{withHook(sim.desktop(), hookSource)};
  Program program{desktop, ProgramConfig{}};
  int startUpWrites = 0;  // settings written by start-up itself

  // `before` prepares the desktop (stored settings, say) before the program starts.
  explicit SimProgram(const std::function<void(platform::sim::SimDesktop&)>& before = {}) {
    sim.setExecutablePath(folder.path() + "/daventi");
    if (before) before(sim);
    program.startUp();
    startUpWrites = sim.settings().writes();
  }

  Form1& form() { return program.form1; }
  std::string text() const { return program.form1.Text1.text(); }

  // One key event; true when the hook swallowed it.
  bool key(std::uint32_t vk, std::uint32_t flags = 0) {
    return sim.pressKey(platform::HookKeyEvent{vk, 0, flags, 0, 0});
  }
  // The right Ctrl and Alt keys are extended keys; the right Shift key is not.
  static std::uint32_t extended(std::uint32_t vk) {
    return vk == platform::vk::RControl || vk == platform::vk::RMenu ? platform::kHookExtended : 0;
  }
  bool down(std::uint32_t vk) { return key(vk, extended(vk)); }
  bool up(std::uint32_t vk) { return key(vk, extended(vk) | platform::kHookUp); }
  // Press and release; the answer to the press.
  bool tap(std::uint32_t vk, std::uint32_t flags = 0) {
    const bool swallowed = key(vk, flags);
    key(vk, flags | platform::kHookUp);
    return swallowed;
  }
  // `vk` pressed and released while `modifier` is held.
  bool chord(std::uint32_t modifier, std::uint32_t vk, std::uint32_t flags = 0) {
    down(modifier);
    const bool swallowed = tap(vk, flags);
    up(modifier);
    return swallowed;
  }

  // Lets virtual time pass; `ms` 0 runs what was posted.
  void run(platform::Ms ms = 0) { sim.loop().runUntil(sim.loop().now() + ms); }

  std::vector<std::string> actions() const {
    std::vector<std::string> lines;
    for (const auto& e : sim.log().entries()) {
      std::string line = platform::sim::SimLog::formatLine(e.at, e.action, e.args);
      line.pop_back();  // the newline
      lines.push_back(line);
    }
    return lines;
  }
};

}  // namespace qb::test
