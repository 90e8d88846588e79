// The recorder on Windows, used from outside as a person uses it: recording what is typed and
// clicked into another program's window, Stop, Save Macro, choosing the macro in the list and
// playing it back, the Break key, and the main window's own controls.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "wine_app_fixture.h"

namespace qb::winetest {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kRecorder = "Quillbarrow 4.1";

class RecorderApp : public WineAppTest {
 protected:
  void startRecorder() {
    start("Daventi.exe", {}, kRecorder);
    const auto window = inspector().window(kRecorder);
    ASSERT_TRUE(window);
    recorder_ = *window;
  }
  NativeControl control(const std::string& text) {
    const auto found = inspector().control(recorder_.handle, text);
    EXPECT_TRUE(found) << "no control \"" << text << "\"";
    return found.value_or(NativeControl{});
  }
  bool enabled(const std::string& text) { return control(text).enabled; }
  // The macro text field (the window's multi-line field) and the name field.
  NativeControl macroField() {
    for (const auto& c : inspector().controls(recorder_.handle))
      if ((c.kind == "Edit" && (c.style & 0x4) != 0) || c.kind == "QuillbarrowTextArea") return c;
    return {};
  }
  std::string macroText() { return inspector().text(macroField().handle); }
  // Without their time stamps.
  std::vector<std::string> macroLines() { return macroLinesOf(macroText()); }
  // The one-line field highest in the window.
  NativeControl nameField() {
    NativeControl top;
    top.y = 1 << 30;
    for (const auto& c : inspector().controls(recorder_.handle))
      if (c.kind == "Edit" && c.visible && (c.style & 0x4) == 0 && c.y < top.y) top = c;
    return top;
  }
  NativeControl macroList() { return *inspector().nth(recorder_.handle, "ListBox", 0); }
  static std::string at(const std::string& prefix, int x, int y) {
    return prefix + std::to_string(x) + ", " + std::to_string(y);
  }

  TopWindow recorder_;
};

TEST_F(RecorderApp, RecordsStopsSavesAndReplaysKeysClicksAndADragIntoAnotherWindow) {
  startRecorder();
  screenshot(recorder_, "main-window");
  // "Enable Draging" makes drags drag lines.
  const auto dragging = control("Enable Draging");
  EXPECT_EQ(dragging.check, 0);
  click(dragging);
  ASSERT_TRUE(waitFor([&] { return control("Enable Draging").check == 1; }));
  startProbe("QB Road Target");
  const auto probe = *inspector().window("QB Road Target");
  const int px = probe.x + 60, py = probe.y + 80;
  moveTo(px, py);

  // Left Ctrl+R records, while the other window has the keyboard.
  chord({"Control_L"}, "r");
  ASSERT_TRUE(waitFor([&] { return !enabled("Record"); })) << "Ctrl+R did not record";
  ASSERT_TRUE(waitFor([&] {
    const auto lines = macroLines();
    return !lines.empty() && lines.back() == at("m:", px, py);
  })) << macroText();

  // A click, keys, and a drag.
  clickAt(px + 20, py + 10);
  type("aB-1");
  tap("Return");
  // A drag: each step waits for the recorder to see it, as a person's hand is slower.
  // (Key lines may come a moment after a move's line: they come from another source.)
  const auto lastLineIs = [&](const std::string& expected) {
    return waitFor([&] {
      const auto lines = macroLines();
      return std::find(lines.begin(), lines.end(), expected) != lines.end();
    });
  };
  moveTo(px + 40, py + 40);
  ASSERT_TRUE(lastLineIs(at("m:", px + 40, py + 40))) << macroText();
  driver().button(1, true);
  driver().sync();
  ASSERT_TRUE(lastLineIs(at("t:", px + 40, py + 40))) << macroText();
  moveTo(px + 80, py + 60);
  ASSERT_TRUE(lastLineIs(at("t:", px + 80, py + 60))) << macroText();
  moveTo(px + 120, py + 90);
  ASSERT_TRUE(lastLineIs(at("t:", px + 120, py + 90))) << macroText();
  driver().button(1, false);
  driver().sync();
  moveTo(px + 130, py + 100);
  ASSERT_TRUE(lastLineIs(at("m:", px + 130, py + 100))) << macroText();

  // Left Ctrl+T stops; the shortcuts left no line.
  chord({"Control_L"}, "t");
  ASSERT_TRUE(waitFor([&] { return enabled("Record"); })) << "Ctrl+T did not stop";
  const auto lines = macroLines();
  const std::string text = macroText();
  for (const std::string expected : {"w:{a}", "w:+{b}", "w:{-}", "w:{1}", "w:{enter}", "m:clickl"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end())
        << expected << " missing from\n"
        << text;
  EXPECT_NE(std::find(lines.begin(), lines.end(), at("q:", px + 40, py + 40)), lines.end()) << text;
  EXPECT_NE(std::find(lines.begin(), lines.end(), at("t:", px + 80, py + 60)), lines.end()) << text;
  EXPECT_NE(std::find(lines.begin(), lines.end(), at("u:", px + 120, py + 90)), lines.end())
      << text;
  for (const auto& l : lines) EXPECT_EQ(l.find("{r}"), std::string::npos) << l;
  ASSERT_TRUE(waitFor([&] { return probeChars() == "aB-1\r"; })) << probeChars();
  const auto pressesWhileRecording = probeEvents("ldown").size();

  // Save Macro under a name typed into the name field.
  activate(recorder_);
  click(nameField());
  type("road trip");
  EXPECT_EQ(inspector().text(nameField().handle), "road trip");
  click(recorder_.handle, "Save Macro");
  const std::string file = inApp("Macro-road trip.txt");
  ASSERT_TRUE(waitFor([&] { return fs::exists(file); }));
  ASSERT_TRUE(waitFor([&] { return inspector().items(macroList().handle).size() == 1; }));
  EXPECT_EQ(inspector().items(macroList().handle)[0].text, "Macro-road trip.txt");
  EXPECT_EQ(inspector().text(nameField().handle), "");

  // A click on the entry loads it; Play plays it into the other window.
  const auto list = macroList();
  clickAt(list.x + 20, list.y + 8);
  ASSERT_TRUE(waitFor([&] { return macroText() == text + "\r\n" || macroText() == text; }))
      << macroText();
  ASSERT_TRUE(waitFor([&] { return enabled("Play"); }));
  click(recorder_.handle, "Play");
  ASSERT_TRUE(waitFor([&] { return probeChars() == "aB-1\raB-1\r"; }, 20s))
      << probeChars() << " presses " << probeEvents("ldown").size() << " focus "
      << inspector().focus().second;
  ASSERT_TRUE(waitFor([&] { return enabled("Record"); }, 20s));
  EXPECT_EQ(probeEvents("ldown").size(), 2 * pressesWhileRecording);
  // The last move was played: the pointer is where the recording left it.
  EXPECT_EQ(driver().pointer(), std::pair(px + 130, py + 100));

  // Left Ctrl+P plays it again, from the other window.
  activate(probe);
  chord({"Control_L"}, "p");
  ASSERT_TRUE(waitFor([&] { return probeChars() == "aB-1\raB-1\raB-1\r"; }, 20s)) << probeChars();
}

}  // namespace
}  // namespace qb::winetest
