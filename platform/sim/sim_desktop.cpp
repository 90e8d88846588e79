#include "platform/sim/sim_desktop.h"

namespace qb::platform::sim {

SimDesktop::SimDesktop()
    : desktop_{loop_, loop_,     *this, *this, *this, *this, *this, *this, *this,
               log_,  settings_, *this, *this, *this, *this, *this, *this, *this} {}

bool SimDesktop::position(Point& out) {
  out = cursor_;
  return true;
}

bool SimDesktop::setPosition(Point to) {
  cursor_ = to;
  if (traceCursor_ && keepHistory_) cursorTrace_.push_back(to);
  return true;
}

bool SimDesktop::press(MouseButton button, bool down) {
  const bool left = button == MouseButton::Left;
  (left ? leftDown_ : rightDown_) = down;
  setPhysicalKey(left ? 1 : 2, down);
  log_.record(left ? (down ? "LeftDown" : "LeftUp") : (down ? "RightDown" : "RightUp"), "");
  return true;
}

bool SimDesktop::send(const KeySequence& keys, std::string_view text, bool waitUntilProcessed) {
  if (keepHistory_) sent_.push_back(SentKeys{std::string(text), keys, waitUntilProcessed});
  std::string args = waitUntilProcessed ? "wait " : "nowait ";
  args += text;
  log_.record("SendKeyString", args);
  if (typingMs_ > 0) loop_.waitUntil(loop_.now() + typingMs_);
  return true;
}

std::uint16_t SimDesktop::asyncKeyState(int vk) {
  auto it = keys_.find(vk);
  if (it == keys_.end() || !it->second.down) return 0;
  const bool fresh = it->second.newlyPressed;
  it->second.newlyPressed = false;
  return fresh ? 0x8001 : 0x8000;
}

void SimDesktop::setPhysicalKey(int vk, bool down) {
  KeyHold& hold = keys_[vk];
  if (down && !hold.down) hold.newlyPressed = true, ++presses_[vk];
  if (!down) hold.newlyPressed = false;
  hold.down = down;
}

std::string SimDesktop::foregroundTitle() {
  return foreground_;
}

void SimDesktop::setForegroundAt(Ms when, std::string title) {
  loop_.at(when, [this, title = std::move(title)] { foreground_ = title; });
}

bool SimDesktop::activate(std::string_view title) {
  log_.record("Activate", title);
  for (const auto& w : windows_)
    if (w == title) return foreground_ = w, true;
  for (const auto& w : windows_)
    if (w.compare(0, title.size(), title) == 0) return foreground_ = w, true;
  return false;
}

Result<> SimDesktop::start(std::string_view commandLine) {
  log_.record("Run", commandLine);
  if (failingPrograms_.count(std::string(commandLine)))
    return fail("cannot start " + std::string(commandLine));
  if (keepHistory_) started_.emplace_back(commandLine);
  return {};
}

MessageAnswer SimDesktop::messageBox(std::string_view text, std::string_view title,
                                     MessageButtons buttons) {
  log_.record("MessageBox", text);
  MessageAnswer answer = buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  if (keepHistory_)
    messages_.push_back(ShownMessage{std::string(text), std::string(title), buttons, answer});
  return answer;
}

bool SimDesktop::install(Callback callback) {
  hook_ = std::move(callback);
  return true;
}

void SimDesktop::uninstall() {
  hook_ = nullptr;
}

bool SimDesktop::pressKey(const HookKeyEvent& event) {
  // The key state follows the keyboard before the hook hears of the key, as on Windows.
  if (!(event.flags & kHookInjected))
    setPhysicalKey(static_cast<int>(event.vkCode), !(event.flags & kHookUp));
  if (!hook_) return false;
  auto hook = hook_;  // the callback may remove the hook
  return hook(event);
}

bool SimDesktop::clear() {
  clipboard_.reset();
  log_.record("ClipboardClear", "");
  return true;
}

ClipboardContents SimDesktop::contents() {
  ClipboardContents kept;
  if (clipboard_) kept.formats.emplace_back("text/plain", *clipboard_);
  return kept;
}

bool SimDesktop::restore(const ClipboardContents& contents) {
  clear();
  for (const auto& [format, bytes] : contents.formats)
    if (format == "text/plain") setText(bytes);
  return true;
}

bool SimDesktop::setText(std::string_view text) {
  clipboard_ = std::string(text);
  log_.record("ClipboardSet", text);
  return true;
}

bool SimDesktop::openUrl(std::string_view url) {
  log_.record("OpenUrl", url);
  return true;
}

Result<> SimDesktop::openTextEditor(std::string_view path) {
  log_.record("OpenEditor", path);
  if (failEditor_) return fail("no text editor could be started");
  return {};
}

bool SimDesktop::addIcon(std::string_view tip, std::function<void(int)> onMouse) {
  log_.record("TrayAdd", tip);
  trayMouse_ = std::move(onMouse);
  trayShown_ = true;
  return true;
}

bool SimDesktop::minimize(std::string_view form) {
  log_.record("Minimize", form);
  return true;
}

void SimDesktop::removeIcon() {
  log_.record("TrayRemove", "");
  trayShown_ = false;
  trayMouse_ = nullptr;
}

void SimDesktop::clickTray(int buttons) {
  if (trayShown_ && trayMouse_) trayMouse_(buttons);
}

bool SimDesktop::setTopmost(std::string_view form, bool on) {
  log_.record("SetTopmost", std::string(form) + (on ? " on" : " off"));
  return true;
}

Result<> SimDesktop::write(const Shortcut& shortcut) {
  log_.record("WriteShortcut", shortcut.path + " -> " + shortcut.target +
                                   (shortcut.hotKey.empty() ? "" : " [" + shortcut.hotKey + "]"));
  if (failShortcuts_) return fail(shortcut.path + ": cannot be written");
  if (keepHistory_) shortcuts_.push_back(shortcut);
  return {};
}

std::string SimDesktop::armHotKey(const Shortcut& shortcut) {
  log_.record("ArmHotKey", shortcut.path + " [" + shortcut.hotKey + "]");
  return hotKeyProblem_;
}

}  // namespace qb::platform::sim
