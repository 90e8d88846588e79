#include "platform/sim/sim_log.h"

namespace qb::platform::sim {

void SimLog::record(std::string_view action, std::string_view args) {
  if (stream_) {
    *stream_ << formatLine(clock_.now() - origin_, action, args);
    return;
  }
  entries_.push_back(LoggedAction{clock_.now(), std::string(action), std::string(args)});
}

void SimLog::streamTo(TextSink* out, Ms origin) {
  stream_ = out;
  origin_ = origin;
}

std::string SimLog::formatLine(Ms ms, std::string_view action, std::string_view args) {
  std::string line = std::to_string(ms);
  line += ' ';
  line += action;
  if (!args.empty()) {
    line += ' ';
    for (char c : args) {
      if (c == '\r')
        line += "\\r";
      else if (c == '\n')
        line += "\\n";
      else
        line += c;
    }
  }
  line += '\n';
  return line;
}

}  // namespace qb::platform::sim
