#include "flow_fixture.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace qb::winetest {

using namespace std::chrono_literals;

TopWindow FlowTest::startRecorder() {
  start("Daventi.exe", {}, kMainTitle);
  const auto window = windowTitled(kMainTitle);
  EXPECT_TRUE(window) << "the recorder's window did not appear";
  return window.value_or(TopWindow{});
}

std::optional<TopWindow> FlowTest::windowTitled(const std::string& title,
                                                const std::set<unsigned long long>& except,
                                                std::chrono::milliseconds wait) {
  std::optional<TopWindow> found;
  waitFor(
      [&] {
        for (const auto& w : inspector().windows())
          if (w.title == title && !except.count(w.handle)) {
            found = w;
            return true;
          }
        return false;
      },
      wait);
  return found;
}

void FlowTest::shot(const TopWindow& window, const std::string& name) {
  std::this_thread::sleep_for(200ms);  // a resize reaches the window manager a moment later
  for (const auto& now : inspector().windows())
    if (now.handle == window.handle) return screenshot(now, name);
  ADD_FAILURE() << name << ": the window has gone";
}

namespace {

// The X windows titled `title` under `parent`, each with its place and size on the screen.
void titledWindows(Display* dpy, Window parent, const std::string& title,
                   std::vector<std::pair<Window, std::array<int, 4>>>& found) {
  Window root = 0, up = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(dpy, parent, &root, &up, &children, &count)) return;
  for (unsigned i = 0; i < count; ++i) {
    char* name = nullptr;
    if (XFetchName(dpy, children[i], &name) && name) {
      XWindowAttributes attributes{};
      Window child = 0;
      int x = 0, y = 0;
      if (title == name && XGetWindowAttributes(dpy, children[i], &attributes) &&
          XTranslateCoordinates(dpy, children[i], root, 0, 0, &x, &y, &child))
        found.push_back({children[i], {x, y, attributes.width, attributes.height}});
      XFree(name);
    }
    titledWindows(dpy, children[i], title, found);
  }
  if (children) XFree(children);
}

}  // namespace

void FlowTest::raise(const TopWindow& window) {
  // Of the X windows with its title, the one whose place and size are nearest the window's.
  Display* dpy = XOpenDisplay(display().c_str());
  ASSERT_TRUE(dpy);
  std::vector<std::pair<Window, std::array<int, 4>>> found;
  titledWindows(dpy, DefaultRootWindow(dpy), window.title, found);
  XCloseDisplay(dpy);
  ASSERT_FALSE(found.empty()) << "no X window is titled " << window.title;
  const auto distance = [&](const std::array<int, 4>& r) {
    return std::abs(r[0] - window.x) + std::abs(r[1] - window.y) + std::abs(r[2] - window.width) +
           std::abs(r[3] - window.height);
  };
  const auto nearest = std::min_element(found.begin(), found.end(), [&](auto& a, auto& b) {
    return distance(a.second) < distance(b.second);
  });
  driver().activate(nearest->first);
  EXPECT_TRUE(waitFor([&] { return inspector().foreground() == window.handle; }))
      << window.title << " did not come to the front";
}

std::optional<FlowTest::Box> FlowTest::messageBox(const std::string& title,
                                                  const std::string& picture,
                                                  const std::set<unsigned long long>& except) {
  const auto window = windowTitled(title, except);
  if (!window) return std::nullopt;
  Box box{*window, {}};
  // The message is the box's text that is no button's.
  waitFor([&] {
    for (const auto& c : inspector().controls(window->handle))
      if (c.kind == "Static" && !c.text.empty()) box.text = c.text;
    return !box.text.empty();
  });
  activate(box.window);
  shot(box.window, picture);
  return box;
}

void FlowTest::answer(const Box& box, const std::string& answer) {
  std::optional<NativeControl> button;
  for (const auto& c : inspector().controls(box.window.handle)) {
    std::string caption = c.text;
    caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
    if (c.kind == "Button" && c.visible && caption == answer) button = c;
  }
  ASSERT_TRUE(button) << "the box \"" << box.text << "\" has no button " << answer;
  click(*button);
  EXPECT_TRUE(waitFor([&] {
    const auto windows = inspector().windows();
    return std::none_of(windows.begin(), windows.end(),
                        [&](const TopWindow& w) { return w.handle == box.window.handle; });
  })) << "the box \""
      << box.text << "\" stayed after " << answer;
}

std::vector<NativeControl> FlowTest::visible(unsigned long long window, const std::string& kind) {
  std::vector<NativeControl> found;
  for (const auto& c : inspector().controls(window))
    if (c.visible && c.kind == kind) found.push_back(c);
  std::stable_sort(found.begin(), found.end(), [](const NativeControl& a, const NativeControl& b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
  });
  return found;
}

bool FlowTest::enabled(unsigned long long window, const std::string& text) {
  const auto control = inspector().control(window, text, {}, 0ms);
  return control && control->enabled;
}

void FlowTest::fill(const NativeControl& field, const std::string& text) {
  click(field);
  tap("End");
  chord({"Shift_L"}, "Home");
  if (text.empty())
    tap("Delete");
  else
    type(text);
}

Probe FlowTest::startProbeAt(const std::string& title, int x, int y) {
  Probe probe{title, sessionFolder() + "/probe-" + std::to_string(programs_.size()) + ".log"};
  programs_.push_back(std::make_unique<WineProgram>(
      display(), "qb_win32_probe.exe",
      std::vector<std::string>{title, windowsPath(probe.log), std::to_string(x),
                               std::to_string(y)}));
  const auto window = windowTitled(title, {}, 30s);
  EXPECT_TRUE(window) << "the probe window " << title << " did not appear";
  if (window) activate(*window);
  EXPECT_TRUE(waitFor([&] { return inFront(probe); })) << title << " is not in front";
  return probe;
}

std::vector<std::string> FlowTest::events(const Probe& probe, const std::string& name) {
  std::ifstream in(probe.log);
  std::vector<std::string> found;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string ms, message;
    fields >> ms >> message;
    if (message == name) found.push_back(line);
  }
  return found;
}

std::string FlowTest::typed(const Probe& probe) {
  return charsOf(events(probe, "char"));
}

TopWindow FlowTest::probeWindow(const Probe& probe) {
  return windowTitled(probe.title).value_or(TopWindow{});
}

bool FlowTest::inFront(const Probe& probe) {
  const unsigned long long front = inspector().foreground();
  return front != 0 && front == probeWindow(probe).handle;
}

}  // namespace qb::winetest
