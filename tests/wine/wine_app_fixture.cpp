#include "wine_app_fixture.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace qb::winetest {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A control with fewer pixels unlike its background than this shows no text.
constexpr int kInkPixels = 12;

// The program's file in the Windows build, whichever case its name was built with.
std::string builtProgram(const std::string& name) {
  const fs::path folder = fs::path(windowsBuildFolder()) / "programs";
  std::string lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const auto& candidate : {name, lower})
    if (fs::exists(folder / candidate)) return (folder / candidate).string();
  return {};
}

// The key and whether Shift goes with it, for a character on the US keyboard.
std::pair<std::string, bool> keyFor(char c) {
  if (std::islower(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)))
    return {std::string(1, c), false};
  if (std::isupper(static_cast<unsigned char>(c)))
    return {std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(c)))), true};
  switch (c) {
    case ' ':
      return {"space", false};
    case '.':
      return {"period", false};
    case ',':
      return {"comma", false};
    case '-':
      return {"minus", false};
    case '_':
      return {"minus", true};
    case '=':
      return {"equal", false};
    case '+':
      return {"equal", true};
    case '/':
      return {"slash", false};
    case '\\':
      return {"backslash", false};
    case ';':
      return {"semicolon", false};
    case ':':
      return {"semicolon", true};
    case '!':
      return {"1", true};
    case '{':
      return {"bracketleft", true};
    case '}':
      return {"bracketright", true};
    case '\n':
      return {"Return", false};
    default:
      return {"question", true};
  }
}

// Runs a program, its standard output returned; -1 status when it could not run.
std::pair<int, std::string> capture(const std::vector<std::string>& args) {
  int fds[2];
  if (pipe(fds) != 0) return {-1, {}};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], 1);
    close(fds[0]);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(fds[1]);
  std::string out;
  char buffer[4096];
  for (ssize_t got; (got = read(fds[0], buffer, sizeof buffer)) > 0;)
    out.append(buffer, static_cast<std::size_t>(got));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

}  // namespace

void WineAppTest::SetUp() {
  std::string error;
  session_ = x11test::XSession::start(&error);
  ASSERT_TRUE(session_) << error;
  ASSERT_TRUE(preparePrefix(&error)) << error;
  driver_ = std::make_unique<x11test::InputDriver>(session_->display());
  inspector_ = std::make_unique<Inspector>(session_->display());
  ASSERT_TRUE(inspector_->ready()) << "the inspector did not start";
  inspector_->forgetSettings();
  appFolder_ = session_->folder() + "/app";
  fs::create_directories(appFolder_);
  for (const std::string name : {"Daventi.exe", "Tapbolt.exe", "Kestrip.exe"}) {
    const std::string built = builtProgram(name);
    ASSERT_FALSE(built.empty()) << name << " is not in the Windows build";
    fs::copy_file(built, inApp(name));
  }
  const fs::path help = fs::path(windowsBuildFolder()) / "programs" / "quillbarrow-help.html";
  if (fs::exists(help)) fs::copy_file(help, inApp("quillbarrow-help.html"));
}

void WineAppTest::TearDown() {
  programs_.clear();
  inspector_.reset();
  endWineServer();
}

WineProgram& WineAppTest::start(const std::string& program, const std::vector<std::string>& args,
                                const std::string& title) {
  programs_.push_back(std::make_unique<WineProgram>(display(), inApp(program), args, appFolder_));
  EXPECT_TRUE(inspector_->window(title, 30s)) << program << " showed no window " << title;
  return *programs_.back();
}

void WineAppTest::startProbe(const std::string& title) {
  probeLog_ = session_->folder() + "/probe.log";
  programs_.push_back(std::make_unique<WineProgram>(
      display(), "qb_win32_probe.exe",
      // Right of the programs' windows, which open at the top left.
      std::vector<std::string>{title, windowsPath(probeLog_), "620", "200"}));
  const auto probe = inspector_->window(title, 30s);
  ASSERT_TRUE(probe) << "the probe window did not appear";
  activate(*probe);
}

std::vector<std::string> WineAppTest::probeEvents(const std::string& name) {
  std::ifstream in(probeLog_);
  std::vector<std::string> events;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string ms, message;
    fields >> ms >> message;
    if (message == name) events.push_back(line);
  }
  return events;
}

std::string charsOf(const std::vector<std::string>& charEvents) {
  std::string chars;
  for (const auto& line : charEvents) {
    double ms = 0;
    char name[32] = {};
    unsigned long long code = 0;
    if (std::sscanf(line.c_str(), "%lf %31s %llu", &ms, name, &code) == 3)
      chars += static_cast<char>(code);
  }
  return chars;
}

std::vector<std::string> macroLinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (const auto dash = line.rfind('-'); dash != std::string::npos && dash > 2) line.erase(dash);
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

std::string WineAppTest::probeChars() {
  return charsOf(probeEvents("char"));
}

void WineAppTest::moveTo(int x, int y) {
  driver_->move(x, y);
  driver_->sync();
  std::this_thread::sleep_for(30ms);
}

void WineAppTest::clickAt(int x, int y, unsigned button) {
  moveTo(x, y);
  driver_->button(button, true);
  driver_->sync();
  std::this_thread::sleep_for(40ms);
  driver_->button(button, false);
  driver_->sync();
  std::this_thread::sleep_for(60ms);
}

void WineAppTest::click(unsigned long long window, const std::string& text) {
  const auto control = inspector_->control(window, text);
  ASSERT_TRUE(control) << "no control shows \"" << text << "\"";
  click(*control);
}

void WineAppTest::tap(const std::string& keysym) {
  driver_->tap(keysym);
  driver_->sync();
  std::this_thread::sleep_for(30ms);
}

void WineAppTest::chord(const std::vector<std::string>& modifiers, const std::string& keysym) {
  for (const auto& m : modifiers) driver_->key(m, true);
  driver_->tap(keysym);
  for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) driver_->key(*m, false);
  driver_->sync();
  std::this_thread::sleep_for(30ms);
}

void WineAppTest::type(const std::string& text) {
  for (char c : text) {
    const auto [key, shift] = keyFor(c);
    if (shift)
      chord({"Shift_L"}, key);
    else
      tap(key);
  }
}

void WineAppTest::activate(const TopWindow& window) {
  const unsigned long x = windowByTitle(display(), window.title);
  if (x) driver_->activate(x);
  std::this_thread::sleep_for(200ms);
}

bool WineAppTest::waitFor(const std::function<bool()>& done, std::chrono::milliseconds wait) {
  const auto until = std::chrono::steady_clock::now() + wait;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

void WineAppTest::screenshot(const TopWindow& window, const std::string& name) {
  fs::create_directories(QB_WINE_ARTIFACTS);
  const std::string path = std::string(QB_WINE_ARTIFACTS) + "/" + name + ".png";
  std::this_thread::sleep_for(300ms);  // lets the window and the server draw what changed last
  const int left = std::max(0, window.x), top = std::max(0, window.y);
  const int width = std::min(window.x + window.width, session_->width()) - left;
  const int height = std::min(window.y + window.height, session_->height()) - top;
  ASSERT_GT(width, 0) << name;
  ASSERT_GT(height, 0) << name;
  std::vector<std::string> args{QB_SCREENSHOT,
                                session_->framebufferFile(),
                                std::to_string(left),
                                std::to_string(top),
                                std::to_string(width),
                                std::to_string(height),
                                path};
  std::vector<NativeControl> texts;
  for (const auto& c : inspector_->controls(window.handle)) {
    const bool inside = c.x >= left && c.y >= top && c.x + c.width <= left + width &&
                        c.y + c.height <= top + height;
    if (!c.visible || c.text.empty() || !inside || c.width < 10 || c.height < 10) continue;
    if (c.kind != "Button" && c.kind != "Static" && c.kind != "Edit") continue;
    texts.push_back(c);
    args.push_back(std::to_string(c.x - left + 3) + "," + std::to_string(c.y - top + 3) + "," +
                   std::to_string(c.width - 6) + "," + std::to_string(c.height - 6));
  }
  args.push_back("0,0,1,1");  // so the colour count is printed for a window without text too
  const auto [status, out] = capture(args);
  ASSERT_EQ(status, 0) << name;
  std::istringstream lines(out);
  std::string word;
  std::size_t colours = 0;
  lines >> word >> colours;
  EXPECT_GT(colours, 2u) << name << ": the window is one flat colour on the screen: " << path;
  for (const auto& c : texts) {
    int ink = 0;
    lines >> word >> ink;
    EXPECT_GE(ink, kInkPixels) << name << ": \"" << c.text
                               << "\" shows no text on the screen: " << path;
  }
}

}  // namespace qb::winetest
