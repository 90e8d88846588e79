// Kill trials: each trial starts a file write of the program in a child process, kills the
// child (SIGKILL) at a random moment (every other one aimed at the write itself), checks that the
// target is whole (exactly its old content or exactly its new one) and then that the next start of
// the program leaves nothing of the write behind.
//
//   qb_kill_trials [--trials N] [--megabytes M] [--folder DIR] [--seed S] [--only NAME]
//
// One line per operation; the exit status is 1 when any target was torn, any debris was left
// or a write that ran to its end did not write the new content.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "kill_operations.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using qb::kill::Operation;

struct Options {
  int trials = 3;
  double megabytes = 4;
  std::string folder;
  unsigned seed = std::random_device{}();
  std::string only;
};

std::optional<std::string> readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool isWriteDebris(const std::string& name) {
  return name.rfind(".qb-", 0) == 0;
}

int countDebris(const fs::path& folder) {
  int found = 0;
  for (const auto& e : fs::directory_iterator(folder))
    if (isWriteDebris(e.path().filename().string())) ++found;
  return found;
}

bool temporaryPresent(const fs::path& folder) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (isWriteDebris(name) && name.size() > 4 && name.substr(name.size() - 4) == ".tmp")
      return true;
  }
  return false;
}

// Half the kills land at any moment from the click on (reading, converting, writing, after);
// the other half are aimed at the write itself: from the moment its temporary file shows.
enum class Aim { anyMoment, theWrite };
struct KillPlan {
  Aim aim;
  std::chrono::microseconds after;
};

struct Run {
  bool exitedByItself = false;
  bool succeeded = false;  // exited by itself and said the write worked
  double readyToEndMs = 0;
  double writeMs = 0;  // how long the temporary file was seen, without a kill
};

// Runs the operation in a child and, with a plan, kills it; without one, watches how long the
// whole operation and its write take.
Run runChild(const Operation& op, const fs::path& folder, std::size_t bytes,
             std::optional<KillPlan> plan) {
  int ready[2];
  if (::pipe(ready) != 0) std::exit(2);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ready[0]);
    const bool ok = op.perform(folder.string(), bytes, [&] {
      const char byte = 1;
      if (::write(ready[1], &byte, 1) != 1) ::_exit(3);
    });
    ::_exit(ok ? 0 : 1);
  }
  ::close(ready[1]);
  char byte = 0;
  const bool wasReady = ::read(ready[0], &byte, 1) == 1;
  ::close(ready[0]);
  const auto start = Clock::now();
  Run run;
  int status = 0;
  bool reaped = false;
  const auto poll = [&] {
    reaped = ::waitpid(child, &status, WNOHANG) == child;
    return reaped;
  };
  if (wasReady && plan && plan->aim == Aim::anyMoment) {
    std::this_thread::sleep_for(plan->after);
    ::kill(child, SIGKILL);
  } else if (wasReady && plan) {
    while (!poll()) {
      if (temporaryPresent(folder)) {
        std::this_thread::sleep_for(plan->after);
        ::kill(child, SIGKILL);
        break;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
  } else if (wasReady) {
    std::optional<Clock::time_point> firstSeen, lastSeen;
    while (!poll()) {
      if (temporaryPresent(folder)) {
        lastSeen = Clock::now();
        if (!firstSeen) firstSeen = lastSeen;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    if (firstSeen)
      run.writeMs = std::chrono::duration<double, std::milli>(*lastSeen - *firstSeen).count();
  }
  if (!reaped) ::waitpid(child, &status, 0);
  run.readyToEndMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  run.exitedByItself = WIFEXITED(status);
  run.succeeded = run.exitedByItself && WEXITSTATUS(status) == 0;
  return run;
}

bool executable(const fs::path& path) {
  std::error_code ec;
  return (fs::status(path, ec).permissions() & fs::perms::owner_exec) != fs::perms::none;
}

struct Tally {
  double uninterruptedMs = 0;  // from the click to the child's end, without a kill
  double writeMs = 0;          // of which the temporary file was there
  int trials = 0, finished = 0, beforeWrite = 0, midWrite = 0, afterRename = 0;
  int torn = 0, failed = 0, debris = 0;
};

Tally runTrials(const Operation& op, const Options& options, std::mt19937& random) {
  const auto bytes = static_cast<std::size_t>(options.megabytes * 1024 * 1024);
  const fs::path base = fs::path(options.folder) / op.name;
  fs::create_directories(base);

  // One uninterrupted run: the new content, and how long the write takes from the click.
  const fs::path reference = base / "reference";
  fs::create_directories(reference);
  op.prepare(reference.string(), bytes);
  const auto oldContent = readFile(reference / op.target);
  const Run clean = runChild(op, reference, bytes, std::nullopt);
  const auto newContent = readFile(reference / op.target);
  Tally tally;
  if (!clean.succeeded || !oldContent || !newContent || *oldContent == *newContent) {
    std::cerr << op.name << ": the uninterrupted run did not write new content\n";
    tally.failed = 1;
    return tally;
  }
  tally.uninterruptedMs = clean.readyToEndMs;
  tally.writeMs = clean.writeMs;
  fs::remove_all(reference);
  std::uniform_int_distribution<long> anyMoment(
      0, static_cast<long>(clean.readyToEndMs * 1000 * 1.2) + 1);
  std::uniform_int_distribution<long> inTheWrite(0,
                                                 static_cast<long>(clean.writeMs * 1000 * 1.5) + 1);

  for (int i = 0; i < options.trials; ++i) {
    const fs::path folder = base / std::to_string(i);
    fs::create_directories(folder);
    op.prepare(folder.string(), bytes);
    const KillPlan plan =
        i % 2 == 0 ? KillPlan{Aim::anyMoment, std::chrono::microseconds(anyMoment(random))}
                   : KillPlan{Aim::theWrite, std::chrono::microseconds(inTheWrite(random))};
    const Run run = runChild(op, folder, bytes, plan);
    ++tally.trials;
    const fs::path target = folder / op.target;
    const bool leftover = countDebris(folder) > 0;
    const auto content = readFile(target);
    const bool isOld = content && *content == *oldContent;
    const bool isNew = content && *content == *newContent && (!op.executable || executable(target));
    bool bad = false;
    if (!isOld && !isNew) {
      ++tally.torn;
      bad = true;
      std::cerr << op.name << " trial " << i << ": torn target ("
                << (content ? std::to_string(content->size()) + " bytes" : "missing") << ")\n";
    }
    if (run.exitedByItself) {
      ++tally.finished;
      if (!run.succeeded || !isNew) {
        ++tally.failed;
        bad = true;
        std::cerr << op.name << " trial " << i << ": the write ran to its end but failed\n";
      }
    } else if (leftover) {
      ++tally.midWrite;
    } else if (isNew) {
      ++tally.afterRename;
    } else {
      ++tally.beforeWrite;
    }
    op.nextStart(folder.string());
    if (const int left = countDebris(folder); left > 0) {
      tally.debris += left;
      bad = true;
      std::cerr << op.name << " trial " << i << ": " << left
                << " files left after the next start\n";
    }
    // A trial that went wrong keeps its folder to look at.
    if (!bad) fs::remove_all(folder);
  }
  return tally;
}

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (arg == "--trials")
      options.trials = std::atoi(value.c_str());
    else if (arg == "--megabytes")
      options.megabytes = std::atof(value.c_str());
    else if (arg == "--folder")
      options.folder = value;
    else if (arg == "--seed")
      options.seed = static_cast<unsigned>(std::stoul(value));
    else if (arg == "--only")
      options.only = value;
    else
      return false;
  }
  return options.trials > 0 && options.megabytes > 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::cerr << "usage: qb_kill_trials [--trials N] [--megabytes M] [--folder DIR] [--seed S]"
                 " [--only NAME]\n";
    return 2;
  }
  const bool ownFolder = options.folder.empty();
  if (ownFolder)
    options.folder =
        (fs::temp_directory_path() / ("qb-kill-" + std::to_string(options.seed))).string();
  std::mt19937 random(options.seed);
  std::cout
      << "seed " << options.seed << ", " << options.megabytes << " MB, in " << options.folder
      << "\n"
      << "operation           ms  write ms  trials  ended  killed:before  mid-write  after  torn"
         "  failed  debris\n";
  bool good = true;
  for (const Operation& op : qb::kill::operations()) {
    if (!options.only.empty() && op.name != options.only) continue;
    const Tally t = runTrials(op, options, random);
    char line[160];
    std::snprintf(line, sizeof line, "%-16s %6.0f %9.0f %7d %6d %14d %10d %6d %5d %7d %7d\n",
                  op.name.c_str(), t.uninterruptedMs, t.writeMs, t.trials, t.finished,
                  t.beforeWrite, t.midWrite, t.afterRename, t.torn, t.failed, t.debris);
    std::cout << line << std::flush;
    good = good && t.torn == 0 && t.failed == 0 && t.debris == 0;
  }
  std::error_code ignored;
  if (good && ownFolder) fs::remove_all(options.folder, ignored);
  return good ? 0 : 1;
}
