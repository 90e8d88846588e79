// The Advanced Macro Builder on Windows, used with the mouse and the keyboard: commands composed
// in its panels, the macro saved and played from the main window or run from the builder,
// against real windows with "activate=" and "limitto:" lines.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "flow_fixture.h"

namespace qb::winetest {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kBuilderTitle = "Advanced Macro Builder - quillbarrow.example";

class BuilderApp : public FlowTest {
 protected:
  void openBuilder() {
    main_ = startRecorder();
    click(main_.handle, "Advanced Macro Builder");
    const auto window = windowTitled(kBuilderTitle);
    ASSERT_TRUE(window) << "the builder did not open";
    builder_ = *window;
  }
  // The builder's macro text (its multi-line field) and the shown panel's one-line fields.
  NativeControl macroField() {
    for (const auto& c : inspector().controls(builder_.handle))
      if (c.visible &&
          ((c.kind == "Edit" && (c.style & 0x4) != 0) || c.kind == "QuillbarrowTextArea"))
        return c;
    return {};
  }
  std::string macroText() { return inspector().text(macroField().handle); }
  std::vector<NativeControl> fields() {
    std::vector<NativeControl> found;
    for (const auto& c : visible(builder_.handle, "Edit"))
      if ((c.style & 0x4) == 0) found.push_back(c);
    return found;
  }
  // Opens a command editor with its button on the left.
  void open(const std::string& option, const std::string& panel) {
    const auto button = inspector().control(builder_.handle, option, "Button");
    ASSERT_TRUE(button) << "no button " << option;
    click(*button);
    // The panel's frame, which may have the button's caption.
    ASSERT_TRUE(waitFor([&] {
      for (const auto& c : inspector().controls(builder_.handle))
        if (c.visible && c.text == panel && c.handle != button->handle) return true;
      return false;
    })) << option
        << " showed no panel " << panel;
  }
  // Presses the shown panel's OK and waits for the macro text to grow.
  void pressOk() {
    const std::size_t before = macroText().size();
    click(builder_.handle, "OK");
    ASSERT_TRUE(waitFor([&] { return macroText().size() > before; })) << macroText();
  }
  // Adds the line of an editor with one field.
  void add(const std::string& option, const std::string& panel, const std::string& value) {
    open(option, panel);
    const auto field = fields();
    ASSERT_EQ(field.size(), 1u) << panel;
    fill(field[0], value);
    pressOk();
  }
  // "Limit To Window": the window name, the match typed into its list's field, quit or wait.
  void addLimit(const std::string& window, const std::string& match, bool wait) {
    open("Limit To Window", "Limit to Specific Windows");
    const auto field = fields();  // the name, then the match list's own field
    ASSERT_EQ(field.size(), 2u);
    fill(field[0], window);
    fill(field[1], match);
    click(builder_.handle,
          wait ? "Have Macro Wait until window is active" : "Quit Marco if Winodw is not active");
    pressOk();
  }

  TopWindow main_, builder_;
};

TEST_F(BuilderApp, ComposedSavedAndPlayedItActivatesAWindowAndQuitsWhenAnotherIsInFront) {
  const Probe alpha = startProbeAt("Alpha Target", 620, 60);
  const Probe beta = startProbeAt("Beta Target", 620, 420);
  openBuilder();
  shot(builder_, "builder-mouse-panel");

  add("Activate Window", "Activate Window", "Alpha Target");
  shot(builder_, "builder-activate-panel");
  add("Send Keyboard Text", "Send Keyoad Text", "one");
  addLimit("Alpha", "Starts With", false);
  shot(builder_, "builder-limit-panel");
  add("Send Keyboard Text", "Send Keyoad Text", "two");
  add("Activate Window", "Activate Window", "Beta Target");
  addLimit("Alpha Target", "Exact Match", false);
  add("Send Keyboard Text", "Send Keyoad Text", "three");
  const std::string macro =
      "activate=Alpha Target\r\nw:one\r\nlimitto:q:sw=Alpha\r\nw:two\r\n"
      "activate=Beta Target\r\nlimitto:q:em=Alpha Target\r\nw:three\r\n";
  ASSERT_EQ(macroText(), macro);

  // Saved under a name: said in a box, written as a file, listed in the builder's list.
  open("Save Macro", "Save Macro");
  ASSERT_EQ(fields().size(), 1u);
  fill(fields()[0], "gates");
  click(builder_.handle, "OK");
  const auto saved = messageBox(kProductTitle, "builder-saved-box");
  ASSERT_TRUE(saved) << "saving said nothing";
  EXPECT_EQ(saved->text, "The Macro has been saved");
  answer(*saved, "OK");
  const std::string file = inApp("Macro-AM-gates.txt");
  ASSERT_TRUE(fs::exists(file));
  {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), macro + "\r\n");
  }
  const auto list = inspector().control(builder_.handle, "", "ListBox");
  ASSERT_TRUE(list) << "the builder's list of advanced macros is not shown";
  ASSERT_TRUE(waitFor([&] { return inspector().items(list->handle).size() == 1; }));
  EXPECT_EQ(inspector().items(list->handle)[0].text, "Macro-AM-gates.txt");
  shot(builder_, "builder-list-panel");

  // Exit closes the builder; the main window lists the macro.
  click(builder_.handle, "E&xit");
  ASSERT_TRUE(waitFor([&] { return !windowTitled(kBuilderTitle, {}, 0ms); }));
  const auto mainList = *inspector().nth(main_.handle, "ListBox", 0);
  ASSERT_TRUE(waitFor([&] {
    const auto items = inspector().items(mainList.handle);
    return items.size() == 1 && items[0].text == "Macro-AM-gates.txt";
  }));

  // Played from the main window: Alpha comes to the front and gets the keys until the second
  // gate, which finds Beta in front and ends the run there.
  clickAt(mainList.x + 30, mainList.y + 8);
  ASSERT_TRUE(waitFor([&] { return enabled(main_.handle, "Play"); }));
  click(main_.handle, "Play");
  ASSERT_TRUE(waitFor([&] { return typed(alpha) == "onetwo"; }, 20s)) << typed(alpha);
  ASSERT_TRUE(waitFor([&] { return inFront(beta); })) << "Beta was not activated";
  ASSERT_TRUE(waitFor([&] { return enabled(main_.handle, "Record"); }, 20s))
      << "the run did not end";
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(typed(alpha), "onetwo");
  EXPECT_EQ(typed(beta), "");
  EXPECT_FALSE(windowTitled(kProductTitle, {}, 0ms)) << "the run said something";
}

TEST_F(BuilderApp, RunFromTheBuilderAWaitGateWaitsForItsWindowAndAMissingWindowEndsTheRun) {
  const Probe alpha = startProbeAt("Alpha Target", 620, 60);
  const Probe beta = startProbeAt("Beta Target", 620, 420);
  openBuilder();
  addLimit("pha Target", "Ends With", true);
  add("Send Keyboard Text", "Send Keyoad Text", "late");
  ASSERT_EQ(macroText(), "limitto:w:ew=pha Target\r\nw:late\r\n");

  // Run with the builder in front: nothing is typed until Alpha comes to the front.
  click(builder_.handle, "Run Macro");
  ASSERT_TRUE(waitFor([&] { return !inspector().enabled(builder_.handle); }))
      << "the builder does not show the run";
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(typed(alpha) + typed(beta), "") << "the gate did not wait";
  EXPECT_FALSE(inspector().enabled(builder_.handle)) << "the run ended";
  activate(probeWindow(alpha));
  ASSERT_TRUE(waitFor([&] { return typed(alpha) == "late"; }, 20s)) << typed(alpha);
  ASSERT_TRUE(waitFor([&] { return inspector().enabled(builder_.handle); }));
  EXPECT_EQ(typed(beta), "");

  // Clear Macro asks first.
  activate(builder_);
  click(builder_.handle, "Clear Macro");
  const auto question = messageBox(kProductTitle, "builder-clear-question");
  ASSERT_TRUE(question);
  EXPECT_EQ(question->text, "Are you sure you would like to clear the macro text");
  answer(*question, "Yes");
  ASSERT_TRUE(waitFor([&] { return macroText().empty(); })) << macroText();

  // A window "activate=" cannot find: the run says so and ends before the keys.
  add("Activate Window", "Activate Window", "No Such Window");
  add("Send Keyboard Text", "Send Keyoad Text", "never");
  activate(probeWindow(beta));
  activate(builder_);
  click(builder_.handle, "Run Macro");
  const auto missing = messageBox(kProductTitle, "builder-activate-missing");
  ASSERT_TRUE(missing) << "the missing window was not said";
  EXPECT_EQ(missing->text, "No Such Window application to activate was not found");
  answer(*missing, "OK");
  ASSERT_TRUE(waitFor([&] { return inspector().enabled(builder_.handle); }));
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(typed(alpha), "late");
  EXPECT_EQ(typed(beta), "");
}

TEST_F(BuilderApp, ASampledPointerPositionBecomesAClickThatLandsThere) {
  const Probe probe = startProbeAt("Click Target", 620, 200);
  openBuilder();
  const auto target = probeWindow(probe);
  const int x = target.x + 150, y = target.y + 120;

  // "Get Mouse Position" follows the pointer until it is pressed again (its caption says Stop).
  click(builder_.handle, "Get Mouse Position");
  ASSERT_TRUE(inspector().control(builder_.handle, "Stop", "Button"))
      << "the sampler did not start";
  moveTo(x, y);
  const auto position = fields();  // Mouse X, Mouse Y
  ASSERT_EQ(position.size(), 2u);
  ASSERT_TRUE(waitFor([&] {
    return inspector().text(position[0].handle) == std::to_string(x) &&
           inspector().text(position[1].handle) == " " + std::to_string(y);
  })) << inspector().text(position[0].handle)
      << "," << inspector().text(position[1].handle);
  // The button keeps the keyboard: Space stops the sampler with the pointer still out there.
  tap("space");
  ASSERT_TRUE(inspector().control(builder_.handle, "Get Mouse Position", "Button"))
      << "the sampler did not stop";
  moveTo(builder_.x + 20, builder_.y + 20);
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(inspector().text(position[0].handle), std::to_string(x)) << "the sampler went on";

  click(builder_.handle, "Left Click");
  pressOk();
  const std::string lines =
      "m:" + std::to_string(x) + ",  " + std::to_string(y) + "\r\nm:leftclick\r\n";
  ASSERT_EQ(macroText(), lines);
  shot(builder_, "builder-mouse-sampled");

  // Run: the pointer goes there and clicks into the probe, once.
  click(builder_.handle, "Run Macro");
  ASSERT_TRUE(waitFor([&] { return events(probe, "ldown").size() == 1; }, 20s))
      << "the click did not reach the window";
  // Where the click landed is the pointer's place on the X server (below); the probe's own
  // account of it goes through Wine's idea of where its window is, which lagged the window
  // manager's by 162 pixels in one run of three on a loaded machine.
  EXPECT_TRUE(waitFor([&] { return events(probe, "lup").size() == 1; }));
  EXPECT_TRUE(waitFor([&] { return inspector().enabled(builder_.handle); }));
  EXPECT_EQ(driver().pointer(), std::pair(x, y));
}

}  // namespace
}  // namespace qb::winetest
