#include "script/player.h"

#include <cstdint>

#include "common/text.h"
#include "script/macro_text.h"
#include "script/runner.h"

namespace qb {

void PlayAction(ModuleData& module, PlayHost& host) {
  host.setStopRequest(false);
  if (!host.hasMacroText()) {
    module.desktop().dialogs.messageBox(kNothingToPlay, kProductTitle,
                                        platform::MessageButtons::Ok);
    host.playRefused();
    return;
  }
  host.setPlayingMark("ok");
  host.playStarting();
  if (host.advancedMark())
    RunAdvanced(module, host);
  else
    PlayRecorded(module, host);
  host.setPlayingMark("");
  host.playEnded();
}

namespace {

class RecordedPass {
 public:
  RecordedPass(ModuleData& module, int& lastX, int& lastY)
      : module_(module), lastX_(lastX), lastY_(lastY) {}

  void play(const RecordedLine& line) {
    if (line.hasPosition) lastX_ = line.x, lastY_ = line.y;
    auto& clock = module_.desktop().clock;
    if (!started_) {
      started_ = true;
      previous_ = line.stamp;
      due_ = clock.now();
    }
    // Each pause counts from when the previous line was due, so the time the actions take
    // does not add up over a long macro.
    const std::int64_t pause = pauseBetween(previous_, line.stamp);
    if (pause > 0) {
      // A pause longer than the clock can count never comes due.
      due_ = due_ > 0 && pause > INT64_MAX - due_ ? INT64_MAX : due_ + pause;
      module_.WaitUntil(due_);
      // A program that is leaving plays nothing more, even when its wait was cut short.
      if (module_.desktop().loop.quitting()) return;
    }
    act(line);
    previous_ = line.stamp;
  }

 private:
  void act(const RecordedLine& line) {
    switch (line.kind) {
      case RecordedKind::Move:
      case RecordedKind::DragStep:
        module_.SetMousePos(line.x, line.y);
        break;
      case RecordedKind::ClickLeft:
        module_.LeftClick();
        break;
      case RecordedKind::ClickRight:
        module_.RightClick();
        break;
      case RecordedKind::ClickOther:
        module_.SetMousePos(lastX_, lastY_);
        break;
      case RecordedKind::Key:
        module_.SendKeyString(line.keys, false);  // a rejected key string is skipped
        break;
      case RecordedKind::DragStart:
        module_.SetMousePos(line.x, line.y);
        module_.LeftDown();
        break;
      case RecordedKind::DragEnd:
        module_.SetMousePos(line.x, line.y);
        module_.LeftUp();
        break;
    }
  }

  ModuleData& module_;
  int& lastX_;
  int& lastY_;
  bool started_ = false;  // the first timed line of a pass runs at once
  std::int64_t previous_ = 0;
  platform::Ms due_ = 0;
};

}  // namespace

PlayEnd PlayRecorded(ModuleData& module, PlayHost& host) {
  auto& loop = module.desktop().loop;
  const auto stopped = [&] { return host.stopRequested() || loop.quitting(); };

  auto text = host.macroText();
  std::int64_t repeat = 1;
  if (const auto count = repeatHeaderCount(firstLine(*text))) repeat = readRepeatCount(*count);

  int lastX = 0, lastY = 0;
  for (std::int64_t pass = 0; pass < repeat && !stopped(); ++pass) {
    loop.yield();
    // A repeated macro is read afresh each pass, so edits made meanwhile are played.
    if (repeat > 1) text = host.macroText();
    CrLfLines lines(*text);
    std::string_view line;
    if (repeat > 1) lines.next(line);  // the header
    RecordedPass player(module, lastX, lastY);
    while (lines.next(line) && !stopped()) {
      loop.yield();
      if (const auto parsed = parseRecordedLine(line)) player.play(*parsed);
    }
  }
  if (stopped()) {
    module.ReleaseHeldButtons();
    return PlayEnd::Stopped;
  }
  return PlayEnd::Finished;
}

}  // namespace qb
