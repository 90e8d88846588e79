// Timing harness for playback and the speed rewrite on large recorded macros.
//   qb_bench_playback generate N FILE   writes an N-line recording like the recorder makes
//   qb_bench_playback dryrun FILE       dry-runs it with the output discarded, prints seconds
//   qb_bench_playback speed FILE        rewrites it at 50% speed in place, prints seconds
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "app/dry_run.h"
#include "common/file_io.h"
#include "script/repeat_speed.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string recording(long lines) {
  std::string text;
  text.reserve(static_cast<std::size_t>(lines) * 20);
  long tick = 2'000'000'000 - lines * 5;
  for (long i = 0; i < lines; ++i) {
    tick += 3 + i % 11;
    switch (i % 10) {
      case 3:
        text += "w:{a}-";
        break;
      case 7:
        text += "m:clickl-";
        break;
      default:
        text += "m:" + std::to_string(100 + i % 1500) + ", " + std::to_string(200 + i % 900) + "-";
    }
    text += std::to_string(tick) + "\r\n";
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: qb_bench_playback generate N FILE | dryrun FILE | speed FILE\n";
    return 2;
  }
  const std::string command = argv[1];
  if (command == "generate" && argc == 4) {
    const auto result = qb::writeFileAtomic(argv[3], recording(std::stol(argv[2])));
    if (!result) std::cerr << result.message() << "\n";
    return result ? 0 : 1;
  }
  if (command == "dryrun") {
    std::FILE* devNull = std::fopen("/dev/null", "w");
    if (!devNull) return 1;
    qb::FileSink sink(devNull), errors(stderr);
    const auto start = std::chrono::steady_clock::now();
    const int status = qb::dryRunMain({"--dry-run", argv[2]}, sink, errors);
    std::fclose(devNull);
    std::printf("%.3f\n", secondsSince(start));
    return status;
  }
  if (command == "speed") {
    const auto start = std::chrono::steady_clock::now();
    const auto result = qb::rewriteMacroFile(argv[2], [](std::string_view t) {
      return qb::withScaledTimeStamps(t, qb::speedFactor(50, false));
    });
    std::printf("%.3f\n", secondsSince(start));
    return result ? 0 : 1;
  }
  std::cerr << "unknown command " << command << "\n";
  return 2;
}
