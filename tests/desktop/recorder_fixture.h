#pragma once
// The recorder program in the test process on the test's own X server, with a Qt view per
// window as the real program has; its settings and macro folder live in the session's folder.
// Tests drive it only through the input driver (pointer moves, clicks and keys of Xvfb's own
// devices) and read the effects from the program's model, its files and the probe windows.

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "tests/x11/desktop_fixture.h"
#include "ui/qt/program_views.h"
#include "ui/qt/qt_form_view.h"

class QTimer;

namespace qb::desktoptest {

using x11test::ProbeEvent;
using x11test::ProbeWindow;

// The program's own folder is where the built programs are, so it finds the stub, the
// shortcut maker and the help page; it has no arguments, so it starts in normal mode.
class ProgramEnvironment final : public platform::Environment {
 public:
  explicit ProgramEnvironment(platform::Environment& inner) : inner_(inner) {}
  std::string executablePath() override { return QB_DAVENTI; }
  std::string arguments() override { return {}; }
  std::vector<std::string> specialFolders() override { return inner_.specialFolders(); }
  std::string userDataFolder() override { return inner_.userDataFolder(); }
  std::string sessionLimits() override { return inner_.sessionLimits(); }

 private:
  platform::Environment& inner_;
};

// Answers the message boxes the program shows, one after the other, by clicking their default
// button with the pointer. Keeps what they said.
class MessageBoxAnswerer {
 public:
  explicit MessageBoxAnswerer(x11test::InputDriver& driver);
  ~MessageBoxAnswerer();
  const std::vector<std::string>& texts() const { return texts_; }
  // Called with each box once it is on the screen, before it is answered.
  void beforeAnswer(std::function<void(QWidget* box, const std::string& text)> look) {
    look_ = std::move(look);
  }

 private:
  void step();

  x11test::InputDriver& driver_;
  std::unique_ptr<QTimer> timer_;
  std::vector<std::string> texts_;
  QPointer<QWidget> box_;
  int phase_ = 0;
  bool looking_ = false;
  std::function<void(QWidget*, const std::string&)> look_;
};

// Runs `action` once, as soon as `condition` holds, from the event loop: also while a play or
// a modal window turns a loop nested in the test's own wait.
class WhenReady {
 public:
  WhenReady(std::function<bool()> condition, std::function<void()> action);
  ~WhenReady();
  bool done() const { return done_; }

 private:
  std::unique_ptr<QTimer> timer_;
  bool done_ = false;
};

class RecorderTest : public x11test::DesktopTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A value stored before the program starts.
  void setting(const std::string& section, const std::string& key, const std::string& value);
  // Starts the program in normal mode and waits until its main window is on the screen.
  void start();

  Program& program() { return *program_; }
  Form1& form1() { return program_->form1; }
  const std::string& macroFolder() const { return macroFolder_; }
  MessageBoxAnswerer& boxes() { return *boxes_; }

  // The native widget of one of the program's controls.
  QWidget* widget(const forms::Control& control);
  // Whether a widget is on the screen (its window mapped and exposed); onScreen() waits for it.
  static bool exposed(QWidget* widget);
  static bool onScreen(QWidget* widget);
  // A point of a widget on the root window.
  QPoint rootPoint(QWidget* widget, QPoint local);
  QPoint centre(QWidget* widget) { return rootPoint(widget, widget->rect().center()); }

  // The pointer moved to a root position.
  void moveTo(QPoint at);
  // A click at a root position; the button is held a little, as a hand holds it.
  void clickAt(QPoint at, unsigned button = 1);
  void click(QWidget* widget) { clickAt(centre(widget)); }
  void click(const forms::Control& control);
  // Clicks entry `index` of a list box of the program's.
  void clickItem(const forms::ListBox& list, std::size_t index);
  void clickItem(QWidget* list, std::size_t index);
  // Keys: a tap of a key, a key tapped with modifiers held, text typed key by key.
  void tap(const std::string& keysym);
  void chord(const std::vector<std::string>& modifiers, const std::string& keysym);
  void type(const std::string& text);
  // Clicks into a text field, empties it and types `text` into it.
  void fill(QWidget* field, const std::string& text);

  // A PNG of a window with its frame in the artifacts folder, cut by a process of its own out
  // of the X server's framebuffer; fails the test where the screen shows the window undrawn.
  void screenshot(QWidget* window, const std::string& name);
  // Opens a drop-down's list with its arrow, takes its screenshot, and closes it with Escape.
  void lookAtDropDown(QWidget* comboBox, const std::string& name);
  // Takes a screenshot of every message box as it comes, named `prefix`-1, -2, ...
  void screenshotBoxes(const std::string& prefix);

  // Text1's lines without their time stamps ("m:12, 30-1234" gives "m:12, 30").
  std::vector<std::string> macroLines() const;
  static std::vector<std::string> linesOf(const std::string& text);
  static std::string withoutStamp(const std::string& line);
  static std::string readFile(const std::string& path);
  static void writeFile(const std::string& path, const std::string& content);

  // What a window received, as comparable lines: key presses of keys other than modifiers with
  // their text, and button presses and releases with their root positions.
  static std::vector<std::string> received(const std::vector<ProbeEvent>& events,
                                           std::size_t from = 0);

 private:
  std::string macroFolder_;
  std::unique_ptr<ProgramEnvironment> environment_;
  std::unique_ptr<platform::Desktop> programDesktop_;
  std::unique_ptr<Program> program_;
  std::unique_ptr<ui::ProgramViews> views_;
  std::unique_ptr<MessageBoxAnswerer> boxes_;
};

}  // namespace qb::desktoptest
