#pragma once
// What the tests of the recorder's other windows share: the main window, windows told apart by
// their exact titles (the shortcut maker and the message boxes have titles the main window's
// starts with), message boxes read and answered with the mouse, and probe windows of their
// own, each with its own log.

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "wine_app_fixture.h"

namespace qb::winetest {

inline constexpr const char* kProductTitle = "Quillbarrow 4.1";
inline constexpr const char* kMainTitle = "Quillbarrow 4.1 - quillbarrow.example";

// A probe window with a log of its own.
struct Probe {
  std::string title;
  std::string log;  // a Unix path
};

class FlowTest : public WineAppTest {
 protected:
  // Starts the recorder and waits for its main window.
  TopWindow startRecorder();
  // The first visible top-level window titled exactly `title` that is none of `except`.
  std::optional<TopWindow> windowTitled(const std::string& title,
                                        const std::set<unsigned long long>& except = {},
                                        std::chrono::milliseconds wait = std::chrono::seconds(10));
  // A picture of the window where and as large as it is now (screenshot() takes the geometry
  // it is given, which may be older than a resize).
  void shot(const TopWindow& window, const std::string& name);
  // Brings a window to the front as a task bar does, also where windows share its title
  // (activate() takes the first X window with the title).
  void raise(const TopWindow& window);
  // A message box titled `title` that is none of `except`: its text, and a picture of it.
  struct Box {
    TopWindow window;
    std::string text;
  };
  std::optional<Box> messageBox(const std::string& title, const std::string& picture,
                                const std::set<unsigned long long>& except = {});
  // Clicks the box's button showing `answer` ("OK", "Yes", "No"; its "&" ignored) and waits
  // until the box has gone.
  void answer(const Box& box, const std::string& answer);
  // The visible controls of `kind` in `window`, top to bottom, then left to right.
  std::vector<NativeControl> visible(unsigned long long window, const std::string& kind);
  // Whether the visible control of `window` showing `text` takes input; false when there is none.
  bool enabled(unsigned long long window, const std::string& text);
  // Clicks into a one-line field and types `text` after selecting what it held.
  void fill(const NativeControl& field, const std::string& text);

  // A probe window at `x`, `y`, in front.
  Probe startProbeAt(const std::string& title, int x, int y);
  // What the probe's edit field received: its characters, and its log lines of one message.
  static std::string typed(const Probe& probe);
  static std::vector<std::string> events(const Probe& probe, const std::string& name);
  // The probe's window, and whether it (or a child of it) has the keyboard.
  TopWindow probeWindow(const Probe& probe);
  bool inFront(const Probe& probe);
};

}  // namespace qb::winetest
