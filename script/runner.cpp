#include "script/runner.h"

#include <limits>
#include <string>

#include "common/like.h"
#include "common/text.h"
#include "script/macro_text.h"

namespace qb {
namespace {

// How often a waiting window gate looks at the foreground window again.
constexpr platform::Ms kGatePollMs = 10;

struct Repeat {
  bool infinite = false;
  std::int64_t count = 1;
};

Repeat readAdvancedRepeat(std::string_view text) {
  Repeat r;
  if (const auto count = repeatHeaderCount(firstLine(text))) {
    if (equalsNoCase(*count, "infinite"))
      r.infinite = true;
    else
      r.count = readRepeatCount(*count);
  }
  return r;
}

class AdvancedRun {
 public:
  AdvancedRun(ModuleData& module, PlayHost& host) : module_(module), host_(host) {}

  PlayEnd run() {
    auto& loop = module_.desktop().loop;
    auto text = host_.macroText();
    const Repeat repeat = readAdvancedRepeat(*text);
    for (std::int64_t pass = 0; (repeat.infinite || pass < repeat.count) && !stopped();) {
      loop.yield();
      if (pass > 0 || repeat.infinite) text = host_.macroText();
      CrLfLines lines(*text);
      std::string_view line;
      while (lines.next(line) && !stopped()) {
        if (startsWithNoCase(line, "limitto:") && !passGate(line.substr(8))) return stop();
        loop.yield();
        if (!execute(line)) return stop();
      }
      if (!repeat.infinite) ++pass;
    }
    if (stopped()) return stop();
    return PlayEnd::Finished;
  }

 private:
  bool stopped() { return host_.stopRequested() || module_.desktop().loop.quitting(); }

  PlayEnd stop() {
    module_.ReleaseHeldButtons();
    return PlayEnd::Stopped;
  }

  // False when the run must end: a quit gate that does not match, or a stop while waiting.
  bool passGate(std::string_view argument) {
    auto& windows = module_.desktop().windows;
    int result = CheckWindowLimit(windows, argument);
    while (result == 1) {
      // The stop keys still end a run that waits for a window that never comes.
      if (stopped()) return false;
      module_.WaitMs(kGatePollMs);
      result = CheckWindowLimit(windows, argument);
    }
    return result == 0;
  }

  // Executes one line; false when the run must end.
  bool execute(std::string_view line) {
    if (line.substr(0, 2) == "m:") {
      mouse(line.substr(2));
      return true;
    }
    if (line.substr(0, 2) == "w:") {
      module_.SendKeyString(line.substr(2), true);
      return true;
    }
    if (startsWithNoCase(line, "waiting=")) {
      const auto ms = parseWholeNumber(line.substr(8), std::numeric_limits<std::int32_t>::min(),
                                       std::numeric_limits<std::int32_t>::max());
      if (ms) module_.WaitMs(*ms);
      return true;
    }
    if (startsWithNoCase(line, "run=")) {
      // A program that does not start is skipped; the macro goes on.
      (void)module_.desktop().processes.start(line.substr(4));
      return true;
    }
    if (startsWithNoCase(line, "activate=")) {
      const std::string_view title = line.substr(9);
      if (module_.desktop().windows.activate(title)) return true;
      module_.desktop().dialogs.messageBox(activateFailedMessage(title), kProductTitle,
                                           platform::MessageButtons::Ok);
      return false;
    }
    if (startsWithNoCase(line, "filedata=")) {
      if (const auto data = module_.NextDataLine(std::string(line.substr(9))))
        module_.SendKeyString(*data, false);
      return true;
    }
    return true;
  }

  void mouse(std::string_view rest) {
    const std::string word = toLowerAscii(rest);
    if (word == "leftclick") return module_.LeftClick();
    if (word == "rightclick") return module_.RightClick();
    if (word == "leftclickdown") return module_.LeftDown();
    if (word == "leftclickup") return module_.LeftUp();
    if (word == "rightclickdown") return module_.RightDown();
    if (word == "rightclickup") return module_.RightUp();
    const auto comma = rest.find(',');
    if (comma == std::string_view::npos) return;
    if (const auto x = parseCoordinate(rest.substr(0, comma))) lastX_ = *x;
    if (const auto y = parseCoordinate(rest.substr(comma + 1))) lastY_ = *y;
    module_.SetMousePos(lastX_, lastY_);
  }

  ModuleData& module_;
  PlayHost& host_;
  int lastX_ = 0;
  int lastY_ = 0;
};

}  // namespace

PlayEnd RunAdvanced(ModuleData& module, PlayHost& host) {
  return AdvancedRun(module, host).run();
}

int CheckWindowLimit(platform::Windows& windows, std::string_view argument) {
  std::string raw = windows.foregroundTitle();
  std::string title;
  for (char c : raw)
    if (c != '\0') title += c;
  const std::string_view trimmed = trimBlanks(title);

  const auto equals = argument.find('=');
  const std::string_view wanted =
      equals == std::string_view::npos ? argument : argument.substr(equals + 1);
  const std::string_view code = argument.size() >= 4 ? argument.substr(2, 2) : std::string_view{};
  const char mode = argument.empty() ? '\0' : argument[0];

  bool match = true;
  if (code == "sw")
    match = likeMatch(trimmed, std::string(wanted) + "*");
  else if (code == "ew")
    match = likeMatch(trimmed, "*" + std::string(wanted));
  else if (code == "em")
    match = trimmed == wanted;
  else if (code == "in")
    match = trimmed.find(wanted) != std::string_view::npos;
  if (match) return 0;
  return mode == 'w' ? 1 : 2;
}

std::string activateFailedMessage(std::string_view title) {
  return std::string(title) + " application to activate was not found";
}

}  // namespace qb
