#include "inspector.h"

#include <signal.h>

#include <sstream>
#include <thread>

namespace qb::winetest {

namespace {

// The rest of a line after `fields` blank-separated fields.
std::string restAfter(const std::string& line, int fields) {
  std::size_t at = 0;
  for (int i = 0; i < fields && at != std::string::npos; ++i) {
    at = line.find(' ', at);
    if (at != std::string::npos) ++at;
  }
  return at == std::string::npos ? std::string() : unescaped(line.substr(at));
}

std::string hex(unsigned long long handle) {
  std::ostringstream out;
  out << std::hex << handle;
  return out.str();
}

}  // namespace

std::string unescaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    out += next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : next;
  }
  return out;
}

Inspector::Inspector(const std::string& display) : agent_(display, "qb_win32_inspect.exe", {}) {
  signal(SIGPIPE, SIG_IGN);  // an agent that ended must fail a test, not end the run
  ready_ = agent_.nextLine(std::chrono::seconds(30)) == "ready";
}

std::vector<std::string> Inspector::ask(const std::string& command) {
  std::vector<std::string> lines;
  const auto asked = std::chrono::steady_clock::now();
  if (!agent_.send(command)) return lines;
  while (const auto line = agent_.nextLine(std::chrono::seconds(20))) {
    if (*line == ".") break;
    lines.push_back(*line);
  }
  lastAnswerTime_ = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - asked);
  return lines;
}

long long Inspector::textLength(unsigned long long window) {
  const auto lines = ask("length " + hex(window));
  long long length = -1;
  if (!lines.empty()) std::istringstream(lines.front()) >> length;
  return length;
}

int Inspector::itemHeight(unsigned long long list) {
  const auto lines = ask("itemheight " + hex(list));
  int height = 0;
  if (!lines.empty()) std::istringstream(lines.front()) >> height;
  return height;
}

std::vector<int> Inspector::heldKeys() {
  std::vector<int> keys;
  const auto lines = ask("held");
  if (lines.empty()) return keys;
  std::istringstream in(lines.front());
  for (int key; in >> key;) keys.push_back(key);
  return keys;
}

std::vector<TopWindow> Inspector::windows() {
  std::vector<TopWindow> found;
  for (const auto& line : ask("windows")) {
    TopWindow w;
    std::istringstream in(line);
    in >> std::hex >> w.handle >> std::dec >> w.pid >> w.topmost >> w.x >> w.y >> w.width >>
        w.height;
    w.title = restAfter(line, 7);
    found.push_back(w);
  }
  return found;
}

std::optional<TopWindow> Inspector::window(const std::string& title,
                                           std::chrono::milliseconds wait) {
  const auto until = std::chrono::steady_clock::now() + wait;
  do {
    for (const auto& w : windows())
      if (w.title.rfind(title, 0) == 0) return w;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (std::chrono::steady_clock::now() < until);
  return std::nullopt;
}

std::vector<NativeControl> Inspector::controls(unsigned long long window) {
  std::vector<NativeControl> found;
  for (const auto& line : ask("controls " + hex(window))) {
    NativeControl c;
    std::istringstream in(line);
    in >> std::hex >> c.handle >> c.kind >> std::dec >> c.id >> std::hex >> c.style >> std::dec >>
        c.visible >> c.enabled >> c.check >> c.x >> c.y >> c.width >> c.height;
    c.text = restAfter(line, 11);
    found.push_back(c);
  }
  return found;
}

std::optional<NativeControl> Inspector::control(unsigned long long window, const std::string& text,
                                                const std::string& kind,
                                                std::chrono::milliseconds wait) {
  const auto until = std::chrono::steady_clock::now() + wait;
  do {
    for (const auto& c : controls(window))
      if (c.visible && (text.empty() || c.text == text) && (kind.empty() || c.kind == kind))
        return c;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (std::chrono::steady_clock::now() < until);
  return std::nullopt;
}

std::optional<NativeControl> Inspector::nth(unsigned long long window, const std::string& kind,
                                            std::size_t index) {
  for (const auto& c : controls(window))
    if (c.visible && c.kind == kind && index-- == 0) return c;
  return std::nullopt;
}

std::vector<ListEntry> Inspector::items(unsigned long long list) {
  std::vector<ListEntry> found;
  for (const auto& line : ask("items " + hex(list))) {
    if (line.rfind("caret ", 0) == 0) continue;
    found.push_back({line.rfind("1 ", 0) == 0, restAfter(line, 1)});
  }
  return found;
}

std::string Inspector::text(unsigned long long window) {
  const auto lines = ask("text " + hex(window));
  return lines.empty() ? std::string() : unescaped(lines.front());
}

bool Inspector::enabled(unsigned long long window) {
  const auto lines = ask("state " + hex(window));
  int visible = 0, enabled = 0;
  if (!lines.empty()) std::istringstream(lines.front()) >> visible >> enabled;
  return enabled == 1;
}

std::vector<std::string> Inspector::comboItems(unsigned long long combo) {
  std::vector<std::string> found;
  for (const auto& line : ask("combo " + hex(combo)))
    if (line.rfind("current ", 0) != 0) found.push_back(restAfter(line, 1));
  return found;
}

ShortcutFile Inspector::shortcut(const std::string& windowsPath) {
  ShortcutFile file;
  for (const auto& line : ask("link " + windowsPath)) {
    const std::string value = restAfter(line, 1);
    if (line.rfind("error ", 0) == 0)
      file.error = value;
    else if (line.rfind("target ", 0) == 0)
      file.target = value;
    else if (line.rfind("folder ", 0) == 0)
      file.workingFolder = value;
    else if (line.rfind("hotkey ", 0) == 0)
      file.hotKey = static_cast<unsigned>(std::stoul(value, nullptr, 16));
  }
  if (file.error.empty() && file.target.empty()) file.error = "the inspector gave no answer";
  return file;
}

std::vector<std::pair<std::pair<int, int>, std::string>> Inspector::menu(
    unsigned long long window) {
  std::vector<std::pair<std::pair<int, int>, std::string>> entries;
  for (const auto& line : ask("menu " + hex(window))) {
    int index = 0, x = 0, y = 0, width = 0, height = 0;
    std::istringstream(line) >> index >> x >> y >> width >> height;
    entries.push_back({{x + width / 2, y + height / 2}, restAfter(line, 5)});
  }
  return entries;
}

std::pair<unsigned long long, std::string> Inspector::focus() {
  const auto lines = ask("focus");
  if (lines.empty()) return {0, "none"};
  unsigned long long handle = 0;
  std::string kind;
  std::istringstream(lines.front()) >> std::hex >> handle >> kind;
  return {handle, kind};
}

unsigned long long Inspector::foreground() {
  const auto lines = ask("focus");
  if (lines.empty()) return 0;
  std::string focus, kind;
  int id = 0;
  unsigned long long top = 0;
  std::istringstream(lines.front()) >> focus >> kind >> id >> std::hex >> top;
  return top;
}

}  // namespace qb::winetest
