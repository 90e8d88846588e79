#include "record/stop_processing.h"

#include <vector>

#include "common/text.h"

namespace qb {

namespace {

constexpr std::size_t kLinesPerPause = 4096;

enum class Mark : unsigned char { None, Emptied, DragStart, DragEnd };

struct Line {
  std::string_view text;
  Mark mark = Mark::None;
  // Only an untouched line can still begin with the drag step or click prefix.
  bool dragStep() const { return mark == Mark::None && text.substr(0, 2) == "t:"; }
  bool click() const { return mark == Mark::None && text.substr(0, 4) == "m:cl"; }
};

}  // namespace

std::string processRecording(std::string_view text, const std::function<void()>& pause) {
  if (text.empty()) return {};
  std::vector<Line> lines;
  for (const auto part : splitAtCrLf(text)) lines.push_back(Line{part});
  const std::size_t last = lines.size() - 1;  // the element after the final CR LF

  bool inDrag = false;
  for (std::size_t i = 0; i < last; ++i) {
    if (pause && i % kLinesPerPause == kLinesPerPause - 1) pause();
    if (i + 1 < last) {
      if (!lines[i].dragStep() && lines[i + 1].dragStep() && !lines[i + 2].dragStep())
        lines[i + 1].mark = Mark::Emptied;
      if (lines[i].click() && lines[i + 1].dragStep()) lines[i].mark = Mark::Emptied;
    }
    if (lines[i].dragStep() && !inDrag) {
      lines[i].mark = Mark::DragStart;
      inDrag = true;
    }
    if (lines[i].dragStep() && inDrag && !lines[i + 1].dragStep()) {
      lines[i].mark = Mark::DragEnd;
      inDrag = false;
    }
  }

  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < last; ++i) {
    const Line& line = lines[i];
    if (line.mark == Mark::Emptied || line.text.empty()) continue;
    const std::size_t start = out.size();
    if (line.mark == Mark::DragStart)
      out += 'q', out += line.text.substr(1);
    else if (line.mark == Mark::DragEnd)
      out += 'u', out += line.text.substr(1);
    else
      out += line.text;
    for (std::size_t k = start; k < out.size(); ++k) out[k] = toLowerAscii(out[k]);
    out += kCrLf;
  }
  return out;
}

}  // namespace qb
