// Timing of the recorder program on a real X server: a private Xvfb with openbox, the program
// with its windows and keyboard hook as on the desktop, and an independent XInput2 client in a
// process of its own that reports every key, button and pointer motion with the server's time.
//
//   dense   a 200-line recorded macro (keys, clicks and moves, gaps of 5-50 ms) played with the
//           Play action: |observed gap - recorded gap| by the server's event times, and the
//           process's processor time as a share of one core
//   pause   a play waiting in one long pause: its processor time
//   long    a sparse 60-second macro: its last line against its recorded length
//   record  keys typed through Xvfb's keyboard while the program records: the time from the key
//           to its line in the macro text, from the injection and from the server's event time
//   roundtrip  a person's typing (letters 20-150 ms apart through Xvfb's keyboard) recorded with
//           Left Ctrl+R / Left Ctrl+T and played with Left Ctrl+P: |replayed gap - typed gap|
//           and the replay's whole span against the typed one, by the server's event times
//   actions (only when asked for) what one key, click or move costs the player
//
// The player's calls into the desktop are timed too, which tells a line the player started late
// from one the X server stamped late. With --stall-monitor, real-time threads tell the moments
// the machine itself did not run (a virtual machine's host holding it). QB_BENCH_VERBOSE=1
// explains each late line and every event the program took a millisecond or more to handle.
//
// Prints one row per run and a pooled row per measurement; asserts nothing.
//   qb_bench_x11 [--only dense,pause,long,record,actions] [--runs N] [--pause-runs N] [--long-runs
//   N]
//                [--record-runs N] [--lines N] [--keys N] [--pause-ms MS] [--long-ms MS]
//                [--seed S] [--stall-monitor]

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "bench/x11_observer.h"
#include "platform/x11/x11_desktop.h"
#include "script/player.h"
#include "tests/x11/input_driver.h"
#include "tests/x11/x_session.h"
#include "ui/qt/qt_form_view.h"

namespace qb::bench {
namespace {

struct Options {
  std::set<std::string> only{"dense", "pause", "long", "record", "roundtrip"};
  int runs = 5;
  int pauseRuns = 3;
  int longRuns = 1;
  int recordRuns = 3;
  int roundtripRuns = 5;
  int roundtripKeys = 100;
  int lines = 200;
  int keys = 200;
  int pauseMs = 10'000;
  int longMs = 60'000;
  unsigned seed = 20240601;
  // Threads waking every millisecond on each processor to tell when the machine itself stalled.
  // They keep the processors awake and let the timers of long sleeps fire early, so the plain
  // measurement runs without them.
  bool monitor = false;
};

// A thread at real-time priority waking this much later than due: the machine did not run.
constexpr std::int64_t kStallNs = 1'000'000;

std::int64_t monotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

double cpuSeconds(clockid_t clock) {
  timespec ts{};
  clock_gettime(clock, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The processor time of our Xvfb child so far, in seconds (clock-tick resolution).
double xvfbCpuSeconds() {
  std::ifstream children("/proc/self/task/" + std::to_string(getpid()) + "/children");
  for (long pid = 0; children >> pid;) {
    std::string comm;
    std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/comm"), comm);
    if (comm != "Xvfb") continue;
    std::string stat;
    std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/stat"), stat);
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    // After the command: state is field 3, utime field 14 and stime field 15.
    double utime = 0, stime = 0;
    for (int n = 3; n <= 15 && fields >> field; ++n) {
      if (n == 14) utime = std::stod(field);
      if (n == 15) stime = std::stod(field);
    }
    return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }
  return 0;
}

// The processor time all processors spent busy so far, in seconds (clock-tick resolution).
double machineBusySeconds() {
  std::string name;
  double user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0, steal = 0;
  std::ifstream("/proc/stat") >> name >> user >> nice >> system >> idle >> iowait >> irq >>
      softirq >> steal;
  return (user + nice + system + irq + softirq + steal) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Processor time of this process, its main thread, the X server, and everything else running
// on the machine meanwhile (the noise), over a stretch of time.
class CpuMeter {
 public:
  CpuMeter()
      : startNs_(monotonicNs()),
        process_(cpuSeconds(CLOCK_PROCESS_CPUTIME_ID)),
        thread_(cpuSeconds(CLOCK_THREAD_CPUTIME_ID)),
        xvfb_(xvfbCpuSeconds()),
        machine_(machineBusySeconds()) {}
  void stop() {
    wall_ = static_cast<double>(monotonicNs() - startNs_) * 1e-9;
    process_ = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - process_;
    thread_ = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread_;
    xvfb_ = xvfbCpuSeconds() - xvfb_;
    machine_ = machineBusySeconds() - machine_;
  }
  double wallS() const { return wall_; }
  double processS() const { return process_; }
  double processPct() const { return 100 * process_ / wall_; }
  double threadPct() const { return 100 * thread_ / wall_; }
  double xvfbPct() const { return 100 * xvfb_ / wall_; }
  // Other processes' load, in % of one core (two cores: up to 200).
  double othersPct() const { return std::max(0.0, 100 * (machine_ - process_ - xvfb_) / wall_); }

 private:
  std::int64_t startNs_;
  double wall_ = 0, process_, thread_, xvfb_, machine_;
};

struct Stats {
  std::size_t n = 0;
  double median = 0, p99 = 0, max = 0, mean = 0;
};

// Nearest-rank percentiles.
Stats stats(std::vector<double> values) {
  Stats s;
  s.n = values.size();
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  const auto rank = [&](double p) {
    const auto k = static_cast<std::size_t>(std::ceil(p / 100 * static_cast<double>(s.n)));
    return values[std::clamp<std::size_t>(k, 1, s.n) - 1];
  };
  s.median = rank(50);
  s.p99 = rank(99);
  s.max = values.back();
  for (double v : values) s.mean += v;
  s.mean /= static_cast<double>(s.n);
  return s;
}

void pump(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

// With QB_BENCH_VERBOSE set, tells of every event whose handling took 1 ms or more.
class Application final : public QApplication {
 public:
  Application(int& argc, char** argv)
      : QApplication(argc, argv), verbose_(std::getenv("QB_BENCH_VERBOSE") != nullptr) {}
  bool notify(QObject* receiver, QEvent* event) override {
    if (!verbose_) return QApplication::notify(receiver, event);
    const int type = event->type();
    const std::int64_t start = monotonicNs();
    const bool result = QApplication::notify(receiver, event);
    const std::int64_t took = monotonicNs() - start;
    if (took >= 1'000'000)
      std::fprintf(stderr, "  [%.1f] event %d to %s took %.2f ms\n",
                   static_cast<double>(start % 100'000'000'000) * 1e-6, type,
                   receiver->metaObject()->className(), static_cast<double>(took) * 1e-6);
    return result;
  }

 private:
  bool verbose_;
};

// ---- the player's calls into the desktop, timed ----

// The player's calls into the input services, timed: where each line's action starts and ends.
class CallLog {
 public:
  struct Span {
    std::int64_t startNs = 0, endNs = 0;
    double startCpu = 0, endCpu = 0;  // the process's processor time, seconds
  };
  void clear() { calls_.clear(); }
  template <typename F>
  bool timed(F&& call) {
    Span span{monotonicNs(), 0, cpuSeconds(CLOCK_PROCESS_CPUTIME_ID), 0};
    const bool ok = call();
    span.endCpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    span.endNs = monotonicNs();
    calls_.push_back(span);
    return ok;
  }
  // One span per line: a key line makes one call, a click two, a move four (each coordinate
  // is read, then set). Empty when the calls do not add up.
  template <typename Lines>
  std::vector<Span> lineSpans(const Lines& lines) const {
    std::vector<Span> spans;
    std::size_t next = 0;
    for (const auto& line : lines) {
      const std::size_t n = line.calls();
      if (next + n > calls_.size()) return {};
      spans.push_back({calls_[next].startNs, calls_[next + n - 1].endNs, calls_[next].startCpu,
                       calls_[next + n - 1].endCpu});
      next += n;
    }
    return next == calls_.size() ? spans : std::vector<Span>{};
  }

 private:
  std::vector<Span> calls_;
};

class TimedCursor final : public platform::Cursor {
 public:
  TimedCursor(platform::Cursor& inner, CallLog& log) : inner_(inner), log_(log) {}
  bool position(platform::Point& out) override {
    return log_.timed([&] { return inner_.position(out); });
  }
  bool setPosition(platform::Point to) override {
    return log_.timed([&] { return inner_.setPosition(to); });
  }

 private:
  platform::Cursor& inner_;
  CallLog& log_;
};

class TimedButtons final : public platform::MouseButtons {
 public:
  TimedButtons(platform::MouseButtons& inner, CallLog& log) : inner_(inner), log_(log) {}
  bool press(platform::MouseButton button, bool down) override {
    return log_.timed([&] { return inner_.press(button, down); });
  }

 private:
  platform::MouseButtons& inner_;
  CallLog& log_;
};

class TimedKeys final : public platform::KeySender {
 public:
  TimedKeys(platform::KeySender& inner, CallLog& log) : inner_(inner), log_(log) {}
  bool send(const platform::KeySequence& keys, std::string_view text,
            bool waitUntilProcessed) override {
    return log_.timed([&] { return inner_.send(keys, text, waitUntilProcessed); });
  }

 private:
  platform::KeySender& inner_;
  CallLog& log_;
};

// ---- macros ----

struct Line {
  enum class Kind { Key, Click, Move } kind = Kind::Key;
  std::int64_t stamp = 0;
  int x = 0, y = 0;  // moves
  std::size_t calls() const { return kind == Kind::Key ? 1 : kind == Kind::Click ? 2 : 4; }
};

struct Macro {
  std::vector<Line> lines;
  std::string text;
  void add(const Line& line, char key = 'a') {
    lines.push_back(line);
    const std::string stamp = std::to_string(line.stamp);
    switch (line.kind) {
      case Line::Kind::Key:
        text += std::string("w:{") + key + "}-" + stamp + "\r\n";
        break;
      case Line::Kind::Click:
        text += "m:clickl-" + stamp + "\r\n";
        break;
      case Line::Kind::Move:
        text += "m:" + std::to_string(line.x) + "," + std::to_string(line.y) + "-" + stamp + "\r\n";
        break;
    }
  }
  std::int64_t length() const { return lines.back().stamp - lines.front().stamp; }
};

struct Area {
  int x = 0, y = 0, width = 0, height = 0;
};

constexpr std::int64_t kFirstStamp = 5'000'000;

// Keys (60%), left clicks (20%) and moves (20%) inside `area`, which the first line moves to.
// Every move changes both coordinates, so each shows as pointer motion.
Macro denseMacro(std::mt19937& rng, int count, const Area& area) {
  std::uniform_int_distribution<int> gap(5, 50), kind(0, 9), letter(0, 25);
  std::uniform_int_distribution<int> px(area.x + 20, area.x + area.width - 21);
  std::uniform_int_distribution<int> py(area.y + 20, area.y + area.height - 21);
  Macro macro;
  Line move{Line::Kind::Move, kFirstStamp, px(rng), py(rng)};
  macro.add(move);
  for (int i = 1; i < count; ++i) {
    Line line;
    line.stamp = macro.lines.back().stamp + gap(rng);
    const int k = kind(rng);
    if (k < 6) {
      line.kind = Line::Kind::Key;
      macro.add(line, static_cast<char>('a' + letter(rng)));
      continue;
    }
    if (k < 8) {
      line.kind = Line::Kind::Click;
    } else {
      line.kind = Line::Kind::Move;
      do line.x = px(rng);
      while (line.x == move.x);
      do line.y = py(rng);
      while (line.y == move.y);
      move = line;
    }
    macro.add(line);
  }
  return macro;
}

// Key lines with gaps of `minGap`-`maxGap` ms, the last exactly `total` ms after the first.
Macro sparseMacro(std::mt19937& rng, int total, int minGap, int maxGap) {
  std::uniform_int_distribution<int> gap(minGap, maxGap), letter(0, 25);
  Macro macro;
  macro.add({Line::Kind::Key, kFirstStamp}, 'a');
  std::int64_t at = kFirstStamp;
  while (at < kFirstStamp + total) {
    const std::int64_t left = kFirstStamp + total - at;
    at += left < maxGap + minGap ? left : gap(rng);
    macro.add({Line::Kind::Key, at}, static_cast<char>('a' + letter(rng)));
  }
  return macro;
}

// The server time of each line's first event, or nothing when it was not seen: a key line's
// key press, a click's button press, a move's first motion (the horizontal step comes first).
std::vector<std::optional<std::uint32_t>> lineTimes(const Macro& macro,
                                                    const std::vector<Observed>& seen) {
  std::vector<std::optional<std::uint32_t>> times;
  std::size_t from = 0;
  for (const Line& line : macro.lines) {
    const auto matches = [&](const Observed& o) {
      switch (line.kind) {
        case Line::Kind::Key:
          return o.kind == Observed::KeyDown;
        case Line::Kind::Click:
          return o.kind == Observed::ButtonDown && o.a == 1;
        case Line::Kind::Move:
          return o.kind == Observed::Motion && o.a == line.x;
      }
      return false;
    };
    const auto it =
        std::find_if(seen.begin() + static_cast<std::ptrdiff_t>(from), seen.end(), matches);
    if (it == seen.end()) {
      times.push_back(std::nullopt);
      continue;
    }
    times.push_back(it->serverMs);
    from = static_cast<std::size_t>(it - seen.begin()) + 1;
  }
  return times;
}

std::int64_t since(std::uint32_t later, std::uint32_t earlier) {
  return static_cast<std::int32_t>(later - earlier);  // server time wraps at 32 bits
}

// ---- the program on the private desktop ----

class Bench {
 public:
  Bench(const Options& options, x11test::XSession& session, Observer& observer,
        StallMonitor* monitor)
      : options_(options),
        session_(session),
        observer_(observer),
        monitor_(monitor),
        rng_(options.seed) {}

  bool start(char** argv) {
    setenv("DISPLAY", session_.display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    unsetenv("WAYLAND_DISPLAY");
    const std::string runtime = session_.folder() + "/runtime";
    mkdir(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 0);
    // The program reads its arguments from the application: it gets none, as when started
    // from a menu.
    argc_ = 1;
    app_ = std::make_unique<Application>(argc_, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const std::string settings = session_.folder() + "/settings.ini";
    std::ofstream(settings) << "[Options]\nLocation=" << session_.folder() << "\n";
    auto created = platform::x11::X11Desktop::create(settings);
    if (!created) {
      std::fprintf(stderr, "the X11 desktop: %s\n", created.message().c_str());
      return false;
    }
    desktop_ = std::move(*created);
    platform::Desktop& real = desktop_->desktop();
    cursor_ = std::make_unique<TimedCursor>(real.cursor, calls_);
    buttons_ = std::make_unique<TimedButtons>(real.buttons, calls_);
    keys_ = std::make_unique<TimedKeys>(real.keys, calls_);
    timed_ = std::make_unique<platform::Desktop>(platform::Desktop{
        real.clock, real.loop, *cursor_, *buttons_, *keys_, real.keyState, real.windows,
        real.processes, real.dialogs, real.log, real.settings, real.hook, real.clipboard,
        real.shell, real.tray, real.windowStack, real.environment, real.shortcuts});
    program_ = std::make_unique<Program>(*timed_, ProgramConfig{});
    for (forms::Form* form :
         {static_cast<forms::Form*>(&program_->form1), static_cast<forms::Form*>(&program_->form2),
          static_cast<forms::Form*>(&program_->form4)}) {
      views_.push_back(std::make_unique<ui::QtFormView>(*form));
      desktop_->windowStack().registerWindow(form->name(), views_.back()->window());
    }
    if (!program_->startUp()) {
      std::fprintf(stderr, "the program ended at start-up\n");
      return false;
    }
    pump(500);
    // The keys the measurements type go to the observer's window, not the program's.
    if (!observer_.focusWindow(area_.x, area_.y, area_.width, area_.height, 5000)) {
      std::fprintf(stderr, "the observer's window did not get the focus\n");
      return false;
    }
    pump(200);
    driver_ = std::make_unique<x11test::InputDriver>(session_.display());
    return true;
  }

  ~Bench() {
    driver_.reset();
    program_.reset();
    views_.clear();
    timed_.reset();
    desktop_.reset();
    app_.reset();
  }

  void dense() {
    std::printf("\nDense playback: %d lines (60%% keys, 20%% clicks, 20%% moves), gaps 5-50 ms.\n",
                options_.lines);
    std::printf(
        "Gap error = |observed gap - recorded gap| in ms, by the X server's event times.\n");
    std::printf(
        "%-4s %5s %4s %4s %4s %7s %7s | %-13s | %-10s | %5s %5s %5s %7s %6s | %-17s | %-17s\n",
        "run", "seen", "med", "p99", "max", "signed", "end_err", "unstalled p99/max", "stalls/ms",
        "cpu%", "main%", "xvfb%", "others%", "wall_s", "wake med/p99/max", "server med/p99/max");
    std::vector<double> all, clean, allWakes, allServer;
    std::vector<double> byKind[3];  // gap errors by the kind of the gap's later line
    std::vector<StallMonitor::Stall> allStalls;
    double cpu = 0, wall = 0, actionCpu = 0, waitCpu = 0;
    const auto triple = [](const Stats& s) {
      char text[32];
      std::snprintf(text, sizeof text, "%5.2f %5.2f %5.2f", s.median, s.p99, s.max);
      return std::string(text);
    };
    for (int run = 1; run <= options_.runs; ++run) {
      const Macro macro = denseMacro(rng_, options_.lines, area_);
      const Played played = play(macro.text);
      const Timing t = timing(macro, played);
      std::vector<double> errors, signedErrors;
      for (std::size_t i = 1; i < t.gapErrors.size(); ++i) {
        const double e = t.gapErrors[i];
        if (std::isnan(e)) continue;
        errors.push_back(std::fabs(e));
        signedErrors.push_back(e);
        byKind[static_cast<int>(macro.lines[i].kind)].push_back(std::fabs(e));
      }
      const std::vector<double> unstalled = unstalledGapErrors(t);
      all.insert(all.end(), errors.begin(), errors.end());
      clean.insert(clean.end(), unstalled.begin(), unstalled.end());
      allWakes.insert(allWakes.end(), t.wakes.begin(), t.wakes.end());
      allServer.insert(allServer.end(), t.serverDelays.begin(), t.serverDelays.end());
      allStalls.insert(allStalls.end(), played.stalls.begin(), played.stalls.end());
      cpu += played.meter.processS();
      wall += played.meter.wallS();
      actionCpu += t.actionCpuS;
      waitCpu += t.waitCpuS;
      const Stats s = stats(errors), u = stats(unstalled);
      const CpuMeter& m = played.meter;
      std::printf(
          "%-4d %5zu %4.0f %4.0f %4.0f %7.2f %7.0f | %6.0f %6.0f | %s | %5.2f %5.2f %5.2f "
          "%7.0f %6.2f | %s | %s\n",
          run, t.observed, s.median, s.p99, s.max, stats(signedErrors).mean, t.endError, u.p99,
          u.max, stallSummary(played.stalls).c_str(), m.processPct(), m.threadPct(), m.xvfbPct(),
          m.othersPct(), m.wallS(), triple(stats(t.wakes)).c_str(),
          triple(stats(t.serverDelays)).c_str());
      if (std::getenv("QB_BENCH_VERBOSE")) explainLateLines(macro, t);
      std::fflush(stdout);
    }
    const Stats s = stats(all), u = stats(clean);
    std::printf(
        "%-4s %5s %4.0f %4.0f %4.0f %7s %7s | %6.0f %6.0f | %s | %5.2f %5s %5s %7s %6s | %s | "
        "%s\n",
        "all", "", s.median, s.p99, s.max, "", "", u.p99, u.max, stallSummary(allStalls).c_str(),
        100 * cpu / wall, "", "", "", "", triple(stats(allWakes)).c_str(),
        triple(stats(allServer)).c_str());
    std::printf("  pooled: %zu gaps, %zu of them away from machine stalls (median %.0f)\n", s.n,
                u.n, u.median);
    std::printf(
        "  processor time: %.2f%% of a core over the plays; in the actions %.2f%%, waiting "
        "between them %.2f%%\n",
        100 * cpu / wall, 100 * actionCpu / wall, 100 * waitCpu / wall);
    const char* names[3] = {"keys", "clicks", "moves"};
    for (int k = 0; k < 3; ++k) {
      const Stats g = stats(byKind[k]);
      std::printf("  gaps before %-6s %4zu: median %.0f  p99 %.0f  max %.0f\n", names[k], g.n,
                  g.median, g.p99, g.max);
    }
    std::printf(
        "(seen: lines whose first event was observed, of %d; signed: mean of observed - recorded "
        "gap; end_err: last line against the first, observed - recorded; unstalled: the gaps "
        "next to no line the machine stalled on; stalls: times a real-time thread on either "
        "processor woke over 1 ms late during the play, and the longest; wake: the player's "
        "start of a line's action against its due time; server: the server's time stamp of the "
        "line's first event against that start, reading up to 1 ms low; all in ms)\n",
        options_.lines);
  }

  void pause() {
    std::printf("\nOne pause of %d ms between two key lines.\n", options_.pauseMs);
    std::printf("%-4s %9s %9s %6s %6s %6s | %-17s | %-20s | %6s %8s %7s %7s\n", "run", "recorded",
                "observed", "error", "wake", "server", "waiting cpu_ms/%", "whole play cpu_ms/%",
                "main%", "xvfb%", "others%", "stalls/ms");
    for (int run = 1; run <= options_.pauseRuns; ++run) {
      Macro macro;
      macro.add({Line::Kind::Key, kFirstStamp}, 'a');
      macro.add({Line::Kind::Key, kFirstStamp + options_.pauseMs}, 'b');
      const Played played = play(macro.text);
      const Timing t = timing(macro, played);
      const CpuMeter& m = played.meter;
      std::printf(
          "%-4d %9lld %9.0f %6.0f %6.2f %6.2f | %7.2f %8.4f | %8.2f %10.4f | %6.4f %8.3f "
          "%7.0f %s\n",
          run, static_cast<long long>(macro.length()),
          static_cast<double>(macro.length()) + t.endError, t.endError,
          t.wakes.size() > 1 ? t.wakes[1] : NAN,
          t.serverDelays.size() > 1 ? t.serverDelays[1] : NAN, t.waitCpuS * 1000,
          100 * t.waitCpuS / t.waitWallS, m.processS() * 1000, m.processPct(), m.threadPct(),
          m.xvfbPct(), m.othersPct(), stallSummary(played.stalls).c_str());
      std::fflush(stdout);
    }
    std::printf(
        "(wake: the player's start of the second line against its due time; server: the "
        "server's time stamp of its key against that start, reading up to 1 ms low; "
        "waiting: from the end of the first line's action to the start of the second; "
        "whole play: the Play action from its call to its return, the window's updates "
        "included; %% of one core)\n");
  }

  void longMacro() {
    std::printf(
        "\nA sparse macro of %d ms (key lines 1-9 s apart): its last line against its "
        "recorded length, by the X server's event times.\n",
        options_.longMs);
    std::printf("%-4s %5s %5s %9s %9s %7s %11s %9s %8s %8s %10s\n", "run", "lines", "seen",
                "recorded", "observed", "end_err", "max_gap_err", "wait_cpu%", "cpu%", "others%",
                "stalls/ms");
    for (int run = 1; run <= options_.longRuns; ++run) {
      const Macro macro = sparseMacro(rng_, options_.longMs, 1000, 9000);
      const Played played = play(macro.text);
      const Timing t = timing(macro, played);
      double maxGapError = 0;
      for (double e : t.gapErrors)
        if (!std::isnan(e)) maxGapError = std::max(maxGapError, std::fabs(e));
      std::printf("%-4d %5zu %5zu %9lld %9.0f %7.0f %11.0f %9.4f %8.4f %8.0f %s\n", run,
                  macro.lines.size(), t.observed, static_cast<long long>(macro.length()),
                  static_cast<double>(macro.length()) + t.endError, t.endError, maxGapError,
                  100 * t.waitCpuS / t.waitWallS, played.meter.processPct(),
                  played.meter.othersPct(), stallSummary(played.stalls).c_str());
      std::fflush(stdout);
    }
  }

  // What one line's action costs the player: the time until the next line could start.
  void actions() {
    std::printf(
        "\nOne line's action in the player, %d times each, the loop turning 5 ms between.\n",
        options_.lines);
    std::printf("%-6s %8s %8s %8s %9s\n", "action", "med_us", "p99_us", "max_us", "cpu_us");
    ModuleData& module = program_->module;
    std::uniform_int_distribution<int> px(area_.x + 20, area_.x + area_.width - 21);
    std::uniform_int_distribution<int> py(area_.y + 20, area_.y + area_.height - 21);
    const std::pair<const char*, std::function<void()>> kinds[] = {
        {"key", [&] { module.SendKeyString("{a}", false); }},
        {"click", [&] { module.LeftClick(); }},
        {"move", [&] { module.SetMousePos(px(rng_), py(rng_)); }},
    };
    module.SetMousePos(area_.x + 50, area_.y + 50);
    for (const auto& [name, act] : kinds) {
      std::vector<double> times;
      double cpu = 0;
      for (int i = 0; i < options_.lines; ++i) {
        pump(5);
        const double cpuBefore = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        const std::int64_t before = monotonicNs();
        act();
        times.push_back(static_cast<double>(monotonicNs() - before) * 1e-3);
        cpu += cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuBefore;
      }
      const Stats s = stats(times);
      std::printf("%-6s %8.0f %8.0f %8.0f %9.0f\n", name, s.median, s.p99, s.max,
                  cpu * 1e6 / options_.lines);
      std::fflush(stdout);
    }
    pump(200);
    observer_.take(0);
  }

  void record() {
    std::printf(
        "\nRecording: %d keys typed through Xvfb's keyboard 20-80 ms apart while the "
        "program records.\n",
        options_.keys);
    std::printf("Latency in ms until the key line is in the macro text (its change event).\n");
    std::printf("%-4s %5s %5s %5s | %-23s | %-23s | %7s %7s %7s\n", "run", "keys", "lines", "wrong",
                "from injection med/p99/max", "from event time med/p99/max", "cpu%", "main%",
                "others%");
    std::vector<double> allInjected, allServer;
    std::uniform_int_distribution<int> interval(20, 80), letter(0, 25);
    forms::TextBox& text = program_->form1.Text1;
    for (int run = 1; run <= options_.recordRuns; ++run) {
      struct Arrival {
        std::int64_t ns;
        std::string line;
      };
      std::vector<Arrival> arrivals;
      const auto previous = text.onChange;
      text.onChange = [&] {
        const std::int64_t now = monotonicNs();
        if (previous) previous();
        const std::size_t from = text.lastAppendOffset();
        if (from != std::string::npos && text.text().compare(from, 2, "w:") == 0)
          arrivals.push_back({now, text.text().substr(from)});
      };
      program_->form1.Command1.click();  // Record
      pump(200);
      observer_.take(0);
      std::vector<std::int64_t> injected;
      std::vector<char> letters;
      CpuMeter meter;
      for (int k = 0; k < options_.keys; ++k) {
        pump(interval(rng_));
        const char c = static_cast<char>('a' + letter(rng_));
        const int keycode = driver_->keycode(std::string(1, c));
        letters.push_back(c);
        injected.push_back(monotonicNs());
        driver_->key(keycode, true);
        driver_->key(keycode, false);
      }
      pump(300);
      meter.stop();
      program_->form1.Command5.click();  // Stop
      text.onChange = previous;
      std::vector<Observed> presses;
      for (const Observed& o : observer_.take(100))
        if (o.kind == Observed::KeyDown) presses.push_back(o);

      std::vector<double> fromInjection, fromServer;
      std::size_t wrong = 0;
      for (std::size_t k = 0; k < arrivals.size() && k < injected.size(); ++k) {
        const std::string token = std::string("w:{") + static_cast<char>(letters[k] - 'a' + 'A');
        if (arrivals[k].line.compare(0, token.size(), token) != 0) ++wrong;
        fromInjection.push_back(static_cast<double>(arrivals[k].ns - injected[k]) * 1e-6);
        if (k < presses.size()) {
          // Server times are CLOCK_MONOTONIC milliseconds, cut to 32 bits.
          const auto nowMs = static_cast<double>(arrivals[k].ns) * 1e-6;
          const double wrapped = std::fmod(nowMs, 4294967296.0);
          fromServer.push_back(wrapped - static_cast<double>(presses[k].serverMs));
        }
      }
      allInjected.insert(allInjected.end(), fromInjection.begin(), fromInjection.end());
      allServer.insert(allServer.end(), fromServer.begin(), fromServer.end());
      const Stats a = stats(fromInjection), b = stats(fromServer);
      std::printf(
          "%-4d %5d %5zu %5zu | %6.2f %7.2f %8.2f | %6.2f %7.2f %8.2f | %7.2f %7.2f %7.0f\n", run,
          options_.keys, arrivals.size(), wrong, a.median, a.p99, a.max, b.median, b.p99, b.max,
          meter.processPct(), meter.threadPct(), meter.othersPct());
      std::fflush(stdout);
      pump(200);
    }
    const Stats a = stats(allInjected), b = stats(allServer);
    std::printf("%-4s %5s %5zu %5s | %6.2f %7.2f %8.2f | %6.2f %7.2f %8.2f |\n", "all", "", a.n, "",
                a.median, a.p99, a.max, b.median, b.p99, b.max);
    std::printf(
        "(event time: the server's whole-millisecond stamp of the key press, so that "
        "column reads up to 1 ms high)\n");
  }

  void roundtrip() {
    std::printf(
        "\nRecord then replay: %d letters typed through Xvfb's keyboard 20-150 ms apart, recorded "
        "with Left Ctrl+R / Left Ctrl+T, played with Left Ctrl+P.\n",
        options_.roundtripKeys);
    std::printf("Gap error = |replayed gap - typed gap| in ms, by the X server's event times.\n");
    std::printf("%-4s %5s %8s %5s %5s %5s %9s %9s %8s\n", "run", "typed", "replayed", "med", "p99",
                "max", "typed_ms", "played_ms", "span_err");
    std::uniform_int_distribution<int> gap(20, 150), letter(0, 25);
    const int ctrl = driver_->keycode("Control_L");
    std::set<int> modifiers;
    for (const char* m : {"Control_L", "Control_R", "Shift_L", "Shift_R", "Alt_L", "Alt_R",
                          "Caps_Lock", "Num_Lock", "ISO_Level3_Shift", "Super_L", "Super_R"})
      if (const int kc = driver_->keycode(m)) modifiers.insert(kc);
    const auto chord = [&](const char* key) {
      driver_->key(ctrl, true);
      pump(30);
      driver_->tap(key);
      pump(30);
      driver_->key(ctrl, false);
    };
    // Letters from one device: the typing's from the keyboard, the replay's from XTEST (the
    // Ctrl+P that starts it comes from the keyboard and is left out).
    std::int32_t keyboard = -1;
    const auto letterPresses = [&](const std::vector<Observed>& seen, bool typing) {
      std::vector<std::uint32_t> times;
      for (const Observed& o : seen) {
        if (o.kind != Observed::KeyDown || modifiers.count(o.a)) continue;
        if (typing) keyboard = o.source;
        if (typing || o.source != keyboard) times.push_back(o.serverMs);
      }
      return times;
    };
    std::vector<double> all;
    for (int run = 1; run <= options_.roundtripRuns; ++run) {
      program_->form1.Text1.setText("");
      chord("r");
      pump(300);
      observer_.take(0);
      for (int k = 0; k < options_.roundtripKeys; ++k) {
        if (k > 0) pump(gap(rng_));
        const int keycode = driver_->keycode(std::string(1, static_cast<char>('a' + letter(rng_))));
        driver_->key(keycode, true);
        pump(15);
        driver_->key(keycode, false);
      }
      pump(300);
      const std::vector<std::uint32_t> typed = letterPresses(observer_.take(100), true);
      chord("t");
      pump(500);
      observer_.take(0);
      chord("p");
      const std::int64_t span = typed.size() > 1 ? typed.back() - typed.front() : 0;
      pump(static_cast<int>(span) + 2000);
      const std::vector<std::uint32_t> played = letterPresses(observer_.take(300), false);
      std::vector<double> errors;
      for (std::size_t i = 1; i < typed.size() && i < played.size(); ++i)
        errors.push_back(
            std::fabs(static_cast<double>(static_cast<std::int32_t>(played[i] - played[i - 1])) -
                      static_cast<double>(static_cast<std::int32_t>(typed[i] - typed[i - 1]))));
      all.insert(all.end(), errors.begin(), errors.end());
      const double playedSpan =
          played.size() > 1
              ? static_cast<double>(static_cast<std::int32_t>(played.back() - played.front()))
              : NAN;
      const Stats s = stats(errors);
      std::printf("%-4d %5zu %8zu %5.0f %5.0f %5.0f %9lld %9.0f %8.0f\n", run, typed.size(),
                  played.size(), s.median, s.p99, s.max, static_cast<long long>(span), playedSpan,
                  std::fabs(playedSpan - static_cast<double>(span)));
      std::fflush(stdout);
      pump(300);
    }
    const Stats s = stats(all);
    std::printf("%-4s %5s %8zu %5.0f %5.0f %5.0f\n", "all", "", s.n, s.median, s.p99, s.max);
  }

 private:
  struct Played {
    CpuMeter meter;
    std::vector<Observed> seen;
    CallLog calls;                            // the player's calls into the input services
    std::vector<StallMonitor::Stall> stalls;  // when the machine itself did not run
  };

  // One play's timing, line by line.
  struct Timing {
    std::size_t observed = 0;       // lines whose first event was seen
    std::vector<double> gapErrors;  // [i]: observed - recorded gap before line i, NaN if unseen
    std::vector<double> lateness;   // [i]: line i against the first line, by the server
    double endError = NAN;          // the last line against the first, observed - recorded
    std::vector<double> wakes;      // [i]: the player's start of line i against its due time
    std::vector<double> durations;  // [i]: how long line i's action took in the player
    std::vector<double> startsMs;   // [i]: when the player started line i, as the log shows it
    std::vector<bool> stalled;      // [i]: the machine stalled while line i was due
    double waitCpuS = 0, waitWallS = 0;  // between one line's action and the next
    double actionCpuS = 0;               // in the actions
    std::vector<double> serverDelays;    // the server's stamp of a line against the player's start
  };

  static Timing timing(const Macro& macro, const Played& played) {
    Timing t;
    const auto times = lineTimes(macro, played.seen);
    const auto recorded = [&](std::size_t i, std::size_t j) {
      return macro.lines[i].stamp - macro.lines[j].stamp;
    };
    std::optional<std::size_t> first;
    t.gapErrors.assign(times.size(), NAN);
    t.lateness.assign(times.size(), NAN);
    t.stalled.assign(times.size(), false);
    for (std::size_t i = 0; i < times.size(); ++i) {
      if (!times[i]) continue;
      ++t.observed;
      if (!first) first = i;
      t.lateness[i] = static_cast<double>(since(*times[i], *times[*first]) - recorded(i, *first));
      if (i > 0 && times[i - 1])
        t.gapErrors[i] = static_cast<double>(since(*times[i], *times[i - 1]) - recorded(i, i - 1));
    }
    if (times.front() && times.back())
      t.endError =
          static_cast<double>(since(*times.back(), *times.front()) - recorded(times.size() - 1, 0));
    // The first line is due in the millisecond its action started.
    const std::vector<CallLog::Span> spans = played.calls.lineSpans(macro.lines);
    if (spans.empty()) return t;
    const std::int64_t dueFirst = spans[0].startNs / 1'000'000;
    for (std::size_t i = 0; i < spans.size(); ++i) {
      t.actionCpuS += spans[i].endCpu - spans[i].startCpu;
      if (i > 0) {
        t.waitCpuS += spans[i].startCpu - spans[i - 1].endCpu;
        t.waitWallS += static_cast<double>(spans[i].startNs - spans[i - 1].endNs) * 1e-9;
      }
      const double startMs = static_cast<double>(spans[i].startNs) * 1e-6;
      t.wakes.push_back(startMs - static_cast<double>(dueFirst + recorded(i, 0)));
      t.durations.push_back(static_cast<double>(spans[i].endNs - spans[i].startNs) * 1e-6);
      t.startsMs.push_back(static_cast<double>(spans[i].startNs % 100'000'000'000) * 1e-6);
      // Server times are CLOCK_MONOTONIC milliseconds cut to 32 bits.
      if (times[i])
        t.serverDelays.push_back(static_cast<double>(*times[i]) - std::fmod(startMs, 4294967296.0));
      // A line the machine stalled on: from shortly before it was due until its action ended.
      const std::int64_t from = (dueFirst + recorded(i, 0) - 2) * 1'000'000;
      const std::int64_t to = spans[i].endNs + 1'000'000;
      for (const StallMonitor::Stall& stall : played.stalls)
        if (stall.fromNs < to && stall.toNs > from) t.stalled[i] = true;
    }
    return t;
  }

  // Gap errors leaving out the gaps next to a line the machine stalled on.
  static std::vector<double> unstalledGapErrors(const Timing& t) {
    std::vector<double> out;
    for (std::size_t i = 1; i < t.gapErrors.size(); ++i)
      if (!std::isnan(t.gapErrors[i]) && !t.stalled[i] && !t.stalled[i - 1])
        out.push_back(std::fabs(t.gapErrors[i]));
    return out;
  }

  std::string stallSummary(const std::vector<StallMonitor::Stall>& stalls) const {
    if (!monitor_) return "  -      -";
    double longest = 0;
    for (const auto& s : stalls)
      longest = std::max(longest, static_cast<double>(s.toNs - s.fromNs) * 1e-6);
    char text[32];
    std::snprintf(text, sizeof text, "%3zu %6.1f", stalls.size(), longest);
    return text;
  }

  static void explainLateLines(const Macro& macro, const Timing& t) {
    const char* names[3] = {"key", "click", "move"};
    for (std::size_t i = 1; i < t.lateness.size(); ++i) {
      if (std::isnan(t.lateness[i]) || t.lateness[i] < 2) continue;
      std::fprintf(stderr, "  line %zu (%s) %.0f ms late", i,
                   names[static_cast<int>(macro.lines[i].kind)], t.lateness[i]);
      if (i < t.startsMs.size()) std::fprintf(stderr, " [%.1f]", t.startsMs[i]);
      if (t.stalled[i]) std::fprintf(stderr, " (the machine stalled)");
      if (i < t.wakes.size())
        std::fprintf(stderr,
                     ": the player started it %.2f ms late; the line before, due %lld ms "
                     "earlier, took %.2f ms",
                     t.wakes[i],
                     static_cast<long long>(macro.lines[i].stamp - macro.lines[i - 1].stamp),
                     t.durations[i - 1]);
      std::fprintf(stderr, "\n");
    }
  }

  // Plays `text` with the Play action of the program's main window.
  Played play(const std::string& text) {
    program_->form1.Text1.setText(text);
    pump(100);
    observer_.take(0);
    calls_.clear();
    if (monitor_) monitor_->take();
    CpuMeter meter;
    PlayAction(program_->module, program_->form1);
    meter.stop();
    Played played{meter, observer_.take(200), calls_,
                  monitor_ ? monitor_->take() : std::vector<StallMonitor::Stall>{}};
    pump(100);
    return played;
  }

  const Options& options_;
  x11test::XSession& session_;
  Observer& observer_;
  StallMonitor* monitor_;  // null: no stall monitor
  std::mt19937 rng_;
  int argc_ = 1;
  std::unique_ptr<Application> app_;
  std::unique_ptr<platform::x11::X11Desktop> desktop_;
  CallLog calls_;
  std::unique_ptr<TimedCursor> cursor_;
  std::unique_ptr<TimedButtons> buttons_;
  std::unique_ptr<TimedKeys> keys_;
  std::unique_ptr<platform::Desktop> timed_;
  std::vector<std::unique_ptr<ui::QtFormView>> views_;
  std::unique_ptr<Program> program_;
  std::unique_ptr<x11test::InputDriver> driver_;
  Area area_;
};

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--stall-monitor") {
      options.monitor = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (arg == "--only") {
      options.only.clear();
      std::stringstream parts(value);
      for (std::string part; std::getline(parts, part, ',');) options.only.insert(part);
    } else if (arg == "--runs") {
      options.runs = std::stoi(value);
    } else if (arg == "--pause-runs") {
      options.pauseRuns = std::stoi(value);
    } else if (arg == "--long-runs") {
      options.longRuns = std::stoi(value);
    } else if (arg == "--record-runs") {
      options.recordRuns = std::stoi(value);
    } else if (arg == "--roundtrip-runs") {
      options.roundtripRuns = std::stoi(value);
    } else if (arg == "--roundtrip-keys") {
      options.roundtripKeys = std::max(2, std::stoi(value));
    } else if (arg == "--lines") {
      options.lines = std::max(2, std::stoi(value));
    } else if (arg == "--keys") {
      options.keys = std::stoi(value);
    } else if (arg == "--pause-ms") {
      options.pauseMs = std::stoi(value);
    } else if (arg == "--long-ms") {
      options.longMs = std::stoi(value);
    } else if (arg == "--seed") {
      options.seed = static_cast<unsigned>(std::stoul(value));
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace
}  // namespace qb::bench

int main(int argc, char** argv) {
  using namespace qb::bench;
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: qb_bench_x11 [--only dense,pause,long,record,roundtrip,actions] "
                 "[--runs N] [--pause-runs N] [--long-runs N] [--record-runs N] "
                 "[--roundtrip-runs N] [--roundtrip-keys N] [--lines N] [--keys N] "
                 "[--pause-ms MS] [--long-ms MS] [--seed S] [--stall-monitor]\n");
    return 2;
  }
  std::string error;
  auto session = qb::x11test::XSession::start(&error);
  if (!session) {
    std::fprintf(stderr, "cannot start the X session: %s\n", error.c_str());
    return 1;
  }
  // Forked before Qt starts its threads.
  std::unique_ptr<StallMonitor> monitor;
  if (options.monitor) monitor = std::make_unique<StallMonitor>(kStallNs);
  Observer observer(session->display());
  if (!observer.waitReady(10'000)) {
    std::fprintf(stderr, "the observer did not start\n");
    return 1;
  }
  int status = 0;
  {
    Bench bench(options, *session, observer, monitor.get());
    if (!bench.start(argv)) {
      status = 1;
    } else {
      if (monitor) monitor->take();
      std::printf("Private Xvfb %s with openbox; seed %u; %s.\n", session->display().c_str(),
                  options.seed,
                  !monitor              ? "no stall monitor"
                  : monitor->realTime() ? "stall monitor at real-time priority"
                                        : "stall monitor at normal priority (real-time refused)");
      if (options.only.count("dense")) bench.dense();
      if (options.only.count("pause")) bench.pause();
      if (options.only.count("long")) bench.longMacro();
      if (options.only.count("record")) bench.record();
      if (options.only.count("roundtrip")) bench.roundtrip();
      if (options.only.count("actions")) bench.actions();
    }
  }
  return status;
}
