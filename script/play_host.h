#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace qb {

// What the Play action and the executors need from the window that holds the macro: its text
// and advanced mark, the stop request and the playing mark, and the window's own steps
// around a play (button states, timers).
class PlayHost {
 public:
  virtual ~PlayHost() = default;
  // The text as it is now. Shared and never changed afterwards, so a play can read a long macro
  // without copying it while the window's text stays free to change.
  virtual std::shared_ptr<const std::string> macroText() = 0;
  // Whether there is anything to play, without a copy of the text.
  virtual bool hasMacroText() { return !macroText()->empty(); }
  virtual bool advancedMark() = 0;
  virtual bool stopRequested() = 0;
  virtual void setStopRequest(bool on) = 0;
  virtual void setPlayingMark(std::string_view mark) = 0;
  virtual void playStarting() {}
  virtual void playEnded() {}
  virtual void playRefused() {}
};

// A host with plain fields, for the dry run and tests.
class SimplePlayHost : public PlayHost {
 public:
  void setText(std::string text) { text_ = std::make_shared<const std::string>(std::move(text)); }
  bool advanced = false;
  bool stop = false;
  std::string playingMark;

  std::shared_ptr<const std::string> macroText() override { return text_; }
  bool advancedMark() override { return advanced; }
  bool stopRequested() override { return stop; }
  void setStopRequest(bool on) override { stop = on; }
  void setPlayingMark(std::string_view mark) override { playingMark = mark; }

 private:
  std::shared_ptr<const std::string> text_ = std::make_shared<const std::string>();
};

}  // namespace qb
