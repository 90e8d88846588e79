// A big recorded macro in the recorder's main window, on a private Xvfb with openbox: the
// macro is selected in the macro list with a click through Xvfb's pointer, played with Left
// Ctrl+P and stopped with the Break key, as a person does. Measures, for each step, the longest
// gap of a timer that ticks every 10 ms in the program's event loop (how long the window froze)
// and the process's peak resident memory (VmHWM) against the file's size.
//
// The program runs in this process, as the desktop tests run it; the macro's keys and clicks go
// to the observer's window in a process of its own, which ignores them. Asserts nothing.
//
//   qb_bench_big_macro [--lines N] [--play-ms MS]

#include <sys/stat.h>
#include <time.h>

#include <QApplication>
#include <QEventLoop>
#include <QListWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/program.h"
#include "bench/x11_observer.h"
#include "platform/x11/x11_desktop.h"
#include "tests/x11/input_driver.h"
#include "tests/x11/x_session.h"
#include "ui/qt/qt_form_view.h"

namespace qb::bench {
namespace {

struct Options {
  long lines = 1'000'000;
  int playMs = 3000;
};

std::int64_t monotonicMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
}

void pump(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const std::int64_t until = monotonicMs() + timeoutMs;
  while (!done()) {
    if (monotonicMs() > until) return false;
    pump(5);
  }
  return true;
}

// A field of /proc/self/status in kB ("VmRSS", "VmHWM").
long statusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(status, line))
    if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
  return -1;
}

// The peak resident size starts again from the present one.
bool resetPeak() {
  std::ofstream refs("/proc/self/clear_refs");
  refs << "5";
  refs.flush();
  return static_cast<bool>(refs);
}

// A recorded macro as the recorder writes it: moves most of the time, keys, clicks and drags,
// 1-20 ms apart, all inside the observer's window. Written a slice at a time, so the bench does
// not hold the text itself.
long writeMacro(const std::string& path, long lines, int left, int top) {
  std::mt19937 rng(20240601);
  std::uniform_int_distribution<int> gap(1, 20), kind(0, 99), letter(0, 25), dx(0, 399), dy(0, 299);
  std::ofstream out(path, std::ios::binary);
  std::string slice;
  long long stamp = 5'000'000;
  const auto position = [&] {
    return std::to_string(left + dx(rng)) + ", " + std::to_string(top + dy(rng));
  };
  for (long i = 0; i < lines; ++i) {
    stamp += gap(rng);
    const std::string at = "-" + std::to_string(stamp) + "\r\n";
    const int k = kind(rng);
    if (k < 60) {
      slice += "m:" + position() + at;
    } else if (k < 80) {
      slice += std::string("w:{") + static_cast<char>('a' + letter(rng)) + "}" + at;
    } else if (k < 90) {
      slice += "m:clickl" + at;
    } else {
      slice += "q:" + position() + at + "t:" + position() + at + "u:" + position() + at;
      i += 2;
    }
    if (slice.size() > (1 << 20)) out << slice, slice.clear();
  }
  out << slice;
  out.close();
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

// The longest time between two ticks of a 10 ms timer of the event loop, since reset().
class StallMeter {
 public:
  StallMeter() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const std::int64_t now = monotonicMs();
      if (now - last_ > longest_) longest_ = now - last_;
      last_ = now;
    });
    reset();
    timer_.start();
  }
  void reset() {
    last_ = monotonicMs();
    longest_ = 0;
  }
  std::int64_t longest() const { return std::max(longest_, monotonicMs() - last_); }

 private:
  QTimer timer_;
  std::int64_t last_ = 0, longest_ = 0;
};

struct Step {
  const char* name;
  std::int64_t stallMs = 0, tookMs = 0;
  long peakKb = 0;
  bool ok = false;
};

int run(const Options& options, x11test::XSession& session, Observer& observer, char** argv) {
  int x = 0, y = 0, width = 0, height = 0;
  if (!observer.focusWindow(x, y, width, height, 5000)) {
    std::fprintf(stderr, "the observer's window did not get the focus\n");
    return 1;
  }
  const std::string file = session.folder() + "/Macro-big.txt";
  const long bytes = writeMacro(file, options.lines, x + 10, y + 10);

  setenv("DISPLAY", session.display().c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  unsetenv("WAYLAND_DISPLAY");
  const std::string runtime = session.folder() + "/runtime";
  mkdir(runtime.c_str(), 0700);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 0);
  int argc = 1;
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  const std::string settings = session.folder() + "/settings.ini";
  std::ofstream(settings) << "[Options]\nLocation=" << session.folder() << "\n";
  auto created = platform::x11::X11Desktop::create(settings);
  if (!created) {
    std::fprintf(stderr, "the X11 desktop: %s\n", created.message().c_str());
    return 1;
  }
  auto desktop = std::move(*created);
  auto program = std::make_unique<Program>(desktop->desktop(), ProgramConfig{});
  std::vector<std::unique_ptr<ui::QtFormView>> views;
  for (forms::Form* form :
       {static_cast<forms::Form*>(&program->form1), static_cast<forms::Form*>(&program->form2),
        static_cast<forms::Form*>(&program->form4)}) {
    views.push_back(std::make_unique<ui::QtFormView>(*form));
    desktop->windowStack().registerWindow(form->name(), views.back()->window());
  }
  if (!program->startUp()) {
    std::fprintf(stderr, "the program ended at start-up\n");
    return 1;
  }
  Form1& form1 = program->form1;
  auto* list = qobject_cast<QListWidget*>(views.front()->widget(form1.List1));
  x11test::InputDriver driver(session.display());
  StallMeter meter;
  if (!list || !pumpUntil([&] { return list->count() == 1 && list->isVisible(); }, 10'000)) {
    std::fprintf(stderr, "the macro list does not show the macro\n");
    return 1;
  }
  pump(1000);
  const long baseKb = statusKb("VmRSS");
  const bool peakReset = resetPeak();

  // The steps run from a timer, never from a wait of the bench's own: the play turns an event
  // loop nested in whatever handler started it, and a wait of ours would not return before it.
  struct Action {
    const char* name;
    std::function<void()> start;
    std::function<bool()> done;
    int settleMs;
    int timeoutMs;
  };
  const std::vector<Action> actions{
      {"select",
       [&] {
         const QRect item = list->visualItemRect(list->item(0));
         const QPoint at = list->viewport()->mapToGlobal(item.center());
         driver.move(at.x(), at.y());
         driver.button(1, true);
         driver.button(1, false);
         driver.sync();
       },
       [&] { return form1.Text1.text().size() == static_cast<std::size_t>(bytes); }, 1000, 120'000},
      {"play",
       [&] {
         // The macro's keys go to the observer's window, not the program's.
         observer.focusWindow(x, y, width, height, 5000);
         driver.key("Control_L", true);
         driver.tap("p");
         driver.key("Control_L", false);
         driver.sync();
       },
       [&] { return !form1.playingMark().empty(); }, options.playMs, 60'000},
      {"stop",
       [&] {
         driver.tap("Pause");
         driver.sync();
       },
       [&] { return form1.playingMark().empty(); }, 500, 60'000},
  };
  std::vector<Step> steps;
  std::size_t current = 0;
  bool started = false;
  std::int64_t startMs = 0, doneMs = -1;
  QEventLoop whole;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (current == actions.size()) return;
    const Action& action = actions[current];
    const std::int64_t now = monotonicMs();
    if (!started) {
      started = true;
      doneMs = -1;
      action.start();
      meter.reset();
      startMs = monotonicMs();
      return;
    }
    const bool timedOut = now - startMs > action.timeoutMs;
    if (doneMs < 0 && !timedOut) {
      if (!action.done()) return;
      doneMs = now;
    }
    if (!timedOut && now - doneMs < action.settleMs) return;
    Step step{action.name};
    step.ok = !timedOut;
    step.tookMs = (doneMs < 0 ? now : doneMs) - startMs;
    step.stallMs = meter.longest();
    step.peakKb = statusKb("VmHWM");
    steps.push_back(step);
    started = false;
    if (++current == actions.size() || timedOut) whole.quit();
  });
  poll.start();
  whole.exec();
  poll.stop();
  const auto played = observer.take(100);

  const double mb = static_cast<double>(bytes) / (1 << 20);
  std::printf("%ld lines, %.1f MB file; resident before selecting %.1f MB%s\n", options.lines, mb,
              static_cast<double>(baseKb) / 1024, peakReset ? "" : " (peak not reset)");
  std::printf("%-7s %4s %9s %11s %12s %13s %12s\n", "step", "ok", "until_ms", "stall_ms", "peak_MB",
              "peak/file", "(peak-base)/file");
  for (const Step& s : steps) {
    const double peak = static_cast<double>(s.peakKb) / 1024;
    std::printf("%-7s %4s %9lld %11lld %12.1f %13.2f %12.2f\n", s.name, s.ok ? "yes" : "NO",
                static_cast<long long>(s.tookMs), static_cast<long long>(s.stallMs), peak,
                peak / mb, (peak - static_cast<double>(baseKb) / 1024) / mb);
  }
  std::printf("events the observer saw from the play: %zu\n", played.size());
  views.clear();
  program.reset();
  return 0;
}

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    if (arg == "--lines")
      options.lines = std::atol(argv[++i]);
    else if (arg == "--play-ms")
      options.playMs = std::atoi(argv[++i]);
    else
      return false;
  }
  return options.lines > 0 && options.playMs >= 0;
}

}  // namespace
}  // namespace qb::bench

int main(int argc, char** argv) {
  using namespace qb::bench;
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr, "usage: qb_bench_big_macro [--lines N] [--play-ms MS]\n");
    return 2;
  }
  std::string error;
  auto session = qb::x11test::XSession::start(&error);
  if (!session) {
    std::fprintf(stderr, "cannot start the X session: %s\n", error.c_str());
    return 1;
  }
  // Forked before Qt starts its threads.
  Observer observer(session->display());
  if (!observer.waitReady(10'000)) {
    std::fprintf(stderr, "the observer did not start\n");
    return 1;
  }
  return run(options, *session, observer, argv);
}
