#include "recorder_window.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <thread>

namespace qb::winetest {

using namespace std::chrono_literals;

namespace {
constexpr unsigned long kMultiLine = 0x4;  // ES_MULTILINE
}

void RecorderWindowTest::startRecorder() {
  start("Daventi.exe", {}, kRecorderTitle);
  const auto window = inspector().window(kRecorderTitle);
  ASSERT_TRUE(window);
  recorder_ = *window;
}

void RecorderWindowTest::writeMacro(const std::string& name, const std::string& text) {
  std::ofstream(inApp(name), std::ios::binary) << text;
}

std::string RecorderWindowTest::readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

NativeControl RecorderWindowTest::control(unsigned long long window, const std::string& text) {
  const auto found = inspector().control(window, text);
  EXPECT_TRUE(found) << "no control \"" << text << "\"";
  return found.value_or(NativeControl{});
}

std::vector<NativeControl> RecorderWindowTest::oneLineFields(unsigned long long window) {
  std::vector<NativeControl> fields;
  for (const auto& c : inspector().controls(window))
    if (c.kind == "Edit" && c.visible && (c.style & kMultiLine) == 0) fields.push_back(c);
  std::sort(fields.begin(), fields.end(), [](const NativeControl& a, const NativeControl& b) {
    return std::pair(a.y, a.x) < std::pair(b.y, b.x);
  });
  return fields;
}

NativeControl RecorderWindowTest::multiLineField(unsigned long long window) {
  for (const auto& c : inspector().controls(window))
    if (c.visible &&
        ((c.kind == "Edit" && (c.style & kMultiLine) != 0) || c.kind == "QuillbarrowTextArea"))
      return c;
  return {};
}

void RecorderWindowTest::clickEntry(const NativeControl& list, int index) {
  const int height = std::max(inspector().itemHeight(list.handle), 8);
  clickAt(list.x + 20, list.y + 2 + height * index + height / 2);
}

std::set<unsigned long long> RecorderWindowTest::windowHandles() {
  std::set<unsigned long long> handles;
  for (const auto& w : inspector().windows()) handles.insert(w.handle);
  return handles;
}

std::optional<TopWindow> RecorderWindowTest::newWindow(const std::set<unsigned long long>& before,
                                                       std::chrono::milliseconds wait) {
  std::optional<TopWindow> found;
  waitFor(
      [&] {
        for (const auto& w : inspector().windows())
          if (!before.count(w.handle) && w.width > 0 && w.height > 0) {
            found = w;
            return true;
          }
        return false;
      },
      wait);
  return found;
}

bool RecorderWindowTest::gone(unsigned long long window) {
  return waitFor([&] {
    for (const auto& w : inspector().windows())
      if (w.handle == window) return false;
    return true;
  });
}

std::string RecorderWindowTest::boxText(const TopWindow& box) {
  std::string joined;
  for (const auto& c : inspector().controls(box.handle))
    if (c.kind == "Static" && !c.text.empty()) joined += (joined.empty() ? "" : "\n") + c.text;
  return joined;
}

std::string RecorderWindowTest::answerBox(const std::set<unsigned long long>& before,
                                          const std::string& picture, const std::string& key) {
  const auto box = newWindow(before);
  EXPECT_TRUE(box) << picture << ": no message box came";
  if (!box) return {};
  // The box's text and buttons are its children once it is drawn.
  waitFor([&] { return inspector().control(box->handle, "", "Button", 0ms).has_value(); }, 5s);
  screenshot(*box, picture);
  const std::string shown = boxText(*box);
  tap(key);
  EXPECT_TRUE(gone(box->handle)) << picture << ": " << key << " did not answer the box";
  return shown;
}

void RecorderWindowTest::emptyField(const NativeControl& field) {
  click(field);
  tap("End");
  chord({"Shift_L"}, "Home");
  tap("Delete");
}

void RecorderWindowTest::copyThroughProbe(const std::string& text) {
  const auto probe = inspector().window("QB Clipboard Source", 1s);
  if (!probe) {
    programs_.push_back(std::make_unique<WineProgram>(
        display(), "qb_win32_probe.exe",
        std::vector<std::string>{"QB Clipboard Source", windowsPath(sessionFolder() + "/clip.log"),
                                 "620", "560"}));
  }
  const auto source = inspector().window("QB Clipboard Source", 30s);
  ASSERT_TRUE(source) << "the clipboard's source window did not appear";
  activate(*source);
  click(*inspector().nth(source->handle, "Edit", 0));
  // Everything selected from the end back to the start: Wine's edit field has no Ctrl+A.
  const auto selectAll = [&] {
    chord({"Control_L"}, "End");
    chord({"Control_L", "Shift_L"}, "Home");
  };
  selectAll();
  tap("Delete");
  type(text);
  selectAll();
  chord({"Control_L"}, "c");
  const auto field = *inspector().nth(source->handle, "Edit", 0);
  ASSERT_EQ(inspector().text(field.handle), text) << "the clipboard's source did not take it";
}

}  // namespace qb::winetest
