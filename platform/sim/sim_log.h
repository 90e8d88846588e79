#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "common/text_sink.h"
#include "platform/action_log.h"
#include "platform/clock.h"

namespace qb::platform::sim {

struct LoggedAction {
  Ms at = 0;
  std::string action;
  std::string args;
};

// The simulated desktop's action log: kept in memory for tests, or streamed as
// "<ms> <Action> <args>" lines, ms counted from an origin, for the dry run.
class SimLog final : public ActionLog {
 public:
  explicit SimLog(const Clock& clock) : clock_(clock) {}
  void record(std::string_view action, std::string_view args) override;

  void streamTo(TextSink* out, Ms origin);
  const std::vector<LoggedAction>& entries() const { return entries_; }
  void clear() { entries_.clear(); }
  // One "<ms> <Action> <args>" line, with CR and LF in args written as \r and \n.
  static std::string formatLine(Ms ms, std::string_view action, std::string_view args);

 private:
  const Clock& clock_;
  TextSink* stream_ = nullptr;
  Ms origin_ = 0;
  std::vector<LoggedAction> entries_;
};

}  // namespace qb::platform::sim
