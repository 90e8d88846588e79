#pragma once
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/sim/memory_settings.h"
#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_log.h"

namespace qb::platform::sim {

struct SentKeys {
  std::string text;
  KeySequence keys;
  bool wait = false;
};

struct ShownMessage {
  std::string text;
  std::string title;
  MessageButtons buttons = MessageButtons::Ok;
  MessageAnswer answer = MessageAnswer::Ok;
};

// A complete simulated desktop: cursor, buttons, keys, windows, programs and message boxes on
// a virtual clock, with a log of every action performed on it.
class SimDesktop final : public Cursor,
                         public MouseButtons,
                         public KeySender,
                         public KeyState,
                         public Windows,
                         public Processes,
                         public Dialogs,
                         public KeyboardHookSource,
                         public Clipboard,
                         public Shell,
                         public TrayIcon,
                         public WindowStack,
                         public Environment,
                         public ShortcutWriter {
 public:
  SimDesktop();
  SimDesktop(const SimDesktop&) = delete;
  SimDesktop& operator=(const SimDesktop&) = delete;

  Desktop& desktop() { return desktop_; }
  SimEventLoop& loop() { return loop_; }
  SimLog& log() { return log_; }
  const SimLog& log() const { return log_; }

  // Cursor, MouseButtons, KeySender, KeyState.
  bool position(Point& out) override;
  bool setPosition(Point to) override;
  bool press(MouseButton button, bool down) override;
  bool send(const KeySequence& keys, std::string_view text, bool waitUntilProcessed) override;
  std::uint16_t asyncKeyState(int vk) override;
  std::uint32_t buttonPresses(int vk) override { return presses_[vk]; }

  // Windows, Processes, Dialogs.
  std::string foregroundTitle() override;
  bool activate(std::string_view title) override;
  Result<> start(std::string_view commandLine) override;
  MessageAnswer messageBox(std::string_view text, std::string_view title,
                           MessageButtons buttons) override;

  // KeyboardHookSource, Clipboard, Shell, TrayIcon, WindowStack, Environment, ShortcutWriter.
  bool install(Callback callback) override;
  void uninstall() override;
  std::optional<std::string> text() override { return clipboard_; }
  bool clear() override;
  bool setText(std::string_view text) override;
  // The simulated clipboard holds text only.
  ClipboardContents contents() override;
  bool restore(const ClipboardContents& contents) override;
  bool openUrl(std::string_view url) override;
  Result<> openTextEditor(std::string_view path) override;
  bool addIcon(std::string_view tip, std::function<void(int)> onMouse) override;
  void removeIcon() override;
  bool iconVisible() const override { return trayShown_ && notificationArea_; }
  bool setTopmost(std::string_view form, bool on) override;
  bool minimize(std::string_view form) override;
  std::string executablePath() override { return executablePath_; }
  std::string arguments() override { return arguments_; }
  std::vector<std::string> specialFolders() override { return specialFolders_; }
  std::string userDataFolder() override { return userDataFolder_; }
  std::string sessionLimits() override { return sessionLimits_; }
  Result<> write(const Shortcut& shortcut) override;
  std::string armHotKey(const Shortcut& shortcut) override;

  // Scripting and inspection.
  MemorySettings& settings() { return settings_; }
  // Tests read back what was sent, started, shown and written; a dry run only streams its log
  // and turns that history off, so an endless play runs in constant memory.
  void setKeepHistory(bool on) { keepHistory_ = on; }
  // A key event from the keyboard; returns whether the hook swallowed it.
  bool pressKey(const HookKeyEvent& event);
  bool hookInstalled() const { return static_cast<bool>(hook_); }
  void setClipboard(std::optional<std::string> text) { clipboard_ = std::move(text); }
  // The user clicks the notification icon with this button state.
  void clickTray(int buttons);
  bool trayShown() const { return trayShown_; }
  // Whether the simulated desktop has a notification area (it has one unless told otherwise).
  void setNotificationArea(bool on) { notificationArea_ = on; }
  void setExecutablePath(std::string path) { executablePath_ = std::move(path); }
  void setArguments(std::string args) { arguments_ = std::move(args); }
  void setSpecialFolders(std::vector<std::string> f) { specialFolders_ = std::move(f); }
  void setUserDataFolder(std::string folder) { userDataFolder_ = std::move(folder); }
  void setSessionLimits(std::string text) { sessionLimits_ = std::move(text); }
  void failEditor(bool on) { failEditor_ = on; }
  void failShortcuts(bool on) { failShortcuts_ = on; }
  // What arming a hot key answers from now on: empty when the key works.
  void setHotKeyProblem(std::string problem) { hotKeyProblem_ = std::move(problem); }
  const std::vector<Shortcut>& shortcuts() const { return shortcuts_; }

  void setForeground(std::string title) { foreground_ = std::move(title); }
  void setForegroundAt(Ms when, std::string title);
  void addWindow(std::string title) { windows_.push_back(std::move(title)); }
  void failProgram(std::string commandLine) { failingPrograms_.insert(std::move(commandLine)); }
  void answerNext(MessageAnswer answer) { answers_.push_back(answer); }
  // The user holds or releases a key or mouse button (vk 1 left, 2 right).
  void setPhysicalKey(int vk, bool down);
  void moveCursor(Point to) { cursor_ = to; }
  void traceCursor(bool on) { traceCursor_ = on; }
  // Each key string then takes this long to type.
  void setTypingTime(Ms ms) { typingMs_ = ms; }

  Point cursor() const { return cursor_; }
  const std::vector<Point>& cursorTrace() const { return cursorTrace_; }
  bool buttonDown(MouseButton b) const { return b == MouseButton::Left ? leftDown_ : rightDown_; }
  const std::vector<SentKeys>& sentKeys() const { return sent_; }
  const std::vector<std::string>& startedPrograms() const { return started_; }
  const std::vector<ShownMessage>& messages() const { return messages_; }

 private:
  struct KeyHold {
    bool down = false;
    bool newlyPressed = false;
  };

  SimEventLoop loop_;
  SimLog log_{loop_};
  MemorySettings settings_;
  Desktop desktop_;

  bool keepHistory_ = true;
  Point cursor_;
  bool traceCursor_ = false;
  std::vector<Point> cursorTrace_;
  bool leftDown_ = false;
  bool rightDown_ = false;
  std::map<int, KeyHold> keys_;
  std::map<int, std::uint32_t> presses_;
  std::vector<SentKeys> sent_;
  Ms typingMs_ = 0;

  std::string foreground_;
  std::vector<std::string> windows_;
  std::set<std::string> failingPrograms_;
  std::vector<std::string> started_;
  std::deque<MessageAnswer> answers_;
  std::vector<ShownMessage> messages_;

  Callback hook_;
  std::optional<std::string> clipboard_;
  std::function<void(int)> trayMouse_;
  bool trayShown_ = false;
  bool notificationArea_ = true;
  std::string executablePath_ = "/sim/prog/daventi";
  std::string userDataFolder_;  // none unless a test gives one
  std::string sessionLimits_;
  std::string arguments_;
  std::vector<std::string> specialFolders_;
  bool failEditor_ = false;
  bool failShortcuts_ = false;
  std::string hotKeyProblem_;
  std::vector<Shortcut> shortcuts_;
};

}  // namespace qb::platform::sim
