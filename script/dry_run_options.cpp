#include "script/dry_run_options.h"

#include <cstdint>

#include "common/text.h"

namespace qb {
namespace {

std::optional<long long> readMs(const std::string& text) {
  const auto v = parseWholeNumber(text, 0, INT64_MAX / 4);
  if (!v) return std::nullopt;
  return static_cast<long long>(*v);
}

}  // namespace

std::optional<std::string> parseDryRunOptions(const std::vector<std::string>& args,
                                              DryRunOptions& options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto need = [&](std::size_t n) { return i + n < args.size(); };
    if (a == "--dry-run") continue;
    if (a == "--advanced") {
      options.advanced = true;
    } else if (a == "--recorded") {
      options.advanced = false;
    } else if (a == "--foreground") {
      if (!need(1)) return "--foreground needs a window title";
      options.foreground.emplace_back(0, args[++i]);
    } else if (a == "--foreground-at") {
      if (!need(2)) return "--foreground-at needs milliseconds and a window title";
      const auto ms = readMs(args[i + 1]);
      if (!ms) return "--foreground-at: \"" + args[i + 1] + "\" is not a number of milliseconds";
      options.foreground.emplace_back(*ms, args[i + 2]);
      i += 2;
    } else if (a == "--window") {
      if (!need(1)) return "--window needs a window title";
      options.windows.push_back(args[++i]);
    } else if (a == "--stop-at" || a == "--max-ms" || a == "--max-idle-turns") {
      if (!need(1)) return a + " needs a number";
      const auto ms = readMs(args[i + 1]);
      if (!ms) return a + ": \"" + args[i + 1] + "\" is not a whole number";
      if (a == "--stop-at")
        options.stopAt = *ms;
      else if (a == "--max-ms")
        options.lastMs = *ms;
      else
        options.idleTurns = *ms;
      ++i;
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      return "unknown option " + a;
    } else if (options.file.empty()) {
      options.file = a;
    } else {
      return "only one macro file can be played; \"" + a + "\" is one too many";
    }
  }
  if (options.file.empty()) return "--dry-run needs the macro file to play";
  return std::nullopt;
}

}  // namespace qb
