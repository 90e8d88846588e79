#include "bench/x11_observer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace qb::bench {
namespace {

constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 300;
// Asked to take the focus, the window manager normally gives it at once; past this the window
// takes it itself.
constexpr int kFocusGraceMs = 1000;

std::int64_t monotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void report(int fd, Observed record) {
  record.seenNs = monotonicNs();
  // One record is far below PIPE_BUF, so each write is whole; a failed write loses a record,
  // which the measurement then reports as missing.
  [[maybe_unused]] const ssize_t written = write(fd, &record, sizeof record);
}

void selectEvents(Display* dpy, Window window, bool raw) {
  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  if (raw) {
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
  }
  // Warping the pointer makes no raw motion, but device motion events.
  XISetMask(bits, XI_Motion);
  XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
  XISelectEvents(dpy, window, &mask, 1);
}

void handle(Display* dpy, int opcode, XEvent& event, int out) {
  if (event.type != GenericEvent || event.xcookie.extension != opcode ||
      !XGetEventData(dpy, &event.xcookie))
    return;
  Observed record;
  switch (event.xcookie.evtype) {
    case XI_RawKeyPress:
    case XI_RawKeyRelease:
    case XI_RawButtonPress:
    case XI_RawButtonRelease: {
      const auto* raw = static_cast<const XIRawEvent*>(event.xcookie.data);
      const int type = event.xcookie.evtype;
      record.kind = type == XI_RawKeyPress      ? Observed::KeyDown
                    : type == XI_RawKeyRelease  ? Observed::KeyUp
                    : type == XI_RawButtonPress ? Observed::ButtonDown
                                                : Observed::ButtonUp;
      record.serverMs = static_cast<std::uint32_t>(raw->time);
      record.a = raw->detail;
      record.source = raw->sourceid;
      report(out, record);
      break;
    }
    case XI_Motion: {
      const auto* device = static_cast<const XIDeviceEvent*>(event.xcookie.data);
      record.kind = Observed::Motion;
      record.serverMs = static_cast<std::uint32_t>(device->time);
      record.a = static_cast<std::int32_t>(device->root_x);
      record.b = static_cast<std::int32_t>(device->root_y);
      record.source = device->sourceid;
      report(out, record);
      break;
    }
    default:
      break;
  }
  XFreeEventData(dpy, &event.xcookie);
}

[[noreturn]] void runObserver(const std::string& display, int out, int commands) {
  Display* dpy = XOpenDisplay(display.c_str());
  int opcode = 0, firstEvent = 0, firstError = 0, major = 2, minor = 2;
  if (!dpy || !XQueryExtension(dpy, "XInputExtension", &opcode, &firstEvent, &firstError) ||
      XIQueryVersion(dpy, &major, &minor) != Success)
    _exit(1);
  const Window root = DefaultRootWindow(dpy);
  selectEvents(dpy, root, true);
  XSync(dpy, False);
  report(out, Observed{.kind = Observed::Ready});

  Window window = 0;
  std::int64_t focusAskedNs = -1;
  for (;;) {
    while (XPending(dpy) > 0) {
      XEvent event;
      XNextEvent(dpy, &event);
      handle(dpy, opcode, event, out);
    }
    pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {commands, POLLIN, 0}};
    poll(fds, 2, focusAskedNs >= 0 ? 20 : -1);
    if (fds[1].revents) {
      char command = 0;
      if (read(commands, &command, 1) != 1 || command == 'q') _exit(0);
      if (command == 'f') {
        if (!window) {
          window = XCreateSimpleWindow(dpy, root, 0, 0, kWindowWidth, kWindowHeight, 0, 0,
                                       WhitePixel(dpy, DefaultScreen(dpy)));
          XStoreName(dpy, window, "observer");
          selectEvents(dpy, window, false);  // motion over the window comes to us first
          XMapWindow(dpy, window);
        }
        focusAskedNs = monotonicNs();
      }
    }
    if (focusAskedNs >= 0) {
      Window focus = 0;
      int revert = 0;
      XGetInputFocus(dpy, &focus, &revert);
      if (focus == window) {
        Window child = 0;
        int x = 0, y = 0;
        XTranslateCoordinates(dpy, window, root, 0, 0, &x, &y, &child);
        report(out, Observed{.kind = Observed::Focused, .a = x, .b = y});
        focusAskedNs = -1;
      } else if (monotonicNs() - focusAskedNs > kFocusGraceMs * 1'000'000LL) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(dpy, window, &attributes);
        if (attributes.map_state == IsViewable)
          XSetInputFocus(dpy, window, RevertToParent, CurrentTime);
      }
    }
  }
}

}  // namespace

Observer::Observer(const std::string& display) {
  int events[2], commands[2];
  if (pipe(events) != 0) return;
  if (pipe(commands) != 0) {
    close(events[0]);
    close(events[1]);
    return;
  }
  // Room for every event of a measurement even if it is read only at the end.
  fcntl(events[1], F_SETPIPE_SZ, 1 << 20);
  pid_ = fork();
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    close(events[0]);
    close(commands[1]);
    runObserver(display, events[1], commands[0]);
  }
  close(events[1]);
  close(commands[0]);
  events_ = events[0];
  commands_ = commands[1];
  if (pid_ < 0) {
    close(events_);
    close(commands_);
    events_ = commands_ = -1;
  }
}

Observer::~Observer() {
  if (commands_ >= 0) {
    [[maybe_unused]] const ssize_t written = write(commands_, "q", 1);
    close(commands_);
  }
  if (events_ >= 0) close(events_);
  if (pid_ > 0) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (waitpid(pid_, nullptr, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > until) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
}

void Observer::read(int timeoutMs, std::int32_t until) {
  if (events_ < 0) return;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  const auto seen = [&] {
    return until != 0 && std::any_of(received_.begin(), received_.end(),
                                     [&](const Observed& o) { return o.kind == until; });
  };
  while (!seen()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    pollfd fd{events_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(std::max<std::int64_t>(left, 0))) <= 0) return;
    Observed batch[256];
    const ssize_t got = ::read(events_, batch, sizeof batch);
    if (got <= 0) return;
    // Whole records only: every write was one record, and the pipe hands out whole writes.
    received_.insert(received_.end(), batch, batch + got / static_cast<ssize_t>(sizeof(Observed)));
  }
}

bool Observer::waitReady(int timeoutMs) {
  read(timeoutMs, Observed::Ready);
  const auto it = std::find_if(received_.begin(), received_.end(),
                               [](const Observed& o) { return o.kind == Observed::Ready; });
  if (it == received_.end()) return false;
  received_.erase(it);
  return true;
}

bool Observer::focusWindow(int& x, int& y, int& width, int& height, int timeoutMs) {
  if (commands_ < 0 || write(commands_, "f", 1) != 1) return false;
  read(timeoutMs, Observed::Focused);
  const auto it = std::find_if(received_.begin(), received_.end(),
                               [](const Observed& o) { return o.kind == Observed::Focused; });
  if (it == received_.end()) return false;
  x = it->a;
  y = it->b;
  width = kWindowWidth;
  height = kWindowHeight;
  received_.erase(it);
  return true;
}

std::vector<Observed> Observer::take(int settleMs) {
  read(settleMs, 0);
  std::vector<Observed> out;
  out.swap(received_);
  return out;
}

namespace {

[[noreturn]] void runStallMonitor(std::int64_t thresholdNs, int out) {
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  sched_getaffinity(0, sizeof allowed, &allowed);
  std::vector<std::thread> threads;
  for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
    if (!CPU_ISSET(cpu, &allowed)) continue;
    threads.emplace_back([cpu, thresholdNs, out] {
      cpu_set_t one;
      CPU_ZERO(&one);
      CPU_SET(cpu, &one);
      pthread_setaffinity_np(pthread_self(), sizeof one, &one);
      // At real-time priority nothing on the machine keeps the thread waiting: a late wake-up
      // is the machine's own.
      sched_param priority{};
      priority.sched_priority = 50;
      const bool realTime = pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority) == 0;
      const StallMonitor::Stall hello{0, 0, cpu, realTime ? 1 : 0};
      if (write(out, &hello, sizeof hello) != sizeof hello) _exit(0);
      timespec due{};
      clock_gettime(CLOCK_MONOTONIC, &due);
      for (;;) {
        due.tv_nsec += 1'000'000;
        if (due.tv_nsec >= 1'000'000'000) due.tv_nsec -= 1'000'000'000, ++due.tv_sec;
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr);
        const std::int64_t dueNs =
            static_cast<std::int64_t>(due.tv_sec) * 1'000'000'000 + due.tv_nsec;
        const std::int64_t now = monotonicNs();
        if (now - dueNs > thresholdNs) {
          const StallMonitor::Stall stall{dueNs, now, cpu, realTime ? 1 : 0};
          if (write(out, &stall, sizeof stall) != sizeof stall) _exit(0);
        }
        if (now - dueNs > 1'000'000) {  // start afresh after a long stall
          due.tv_sec = static_cast<time_t>(now / 1'000'000'000);
          due.tv_nsec = static_cast<long>(now % 1'000'000'000);
        }
      }
    });
  }
  for (auto& t : threads) t.join();
  _exit(0);
}

}  // namespace

StallMonitor::StallMonitor(std::int64_t thresholdNs) {
  int fds[2];
  if (pipe(fds) != 0) return;
  fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
  pid_ = fork();
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    close(fds[0]);
    runStallMonitor(thresholdNs, fds[1]);
  }
  close(fds[1]);
  stalls_ = fds[0];
  fcntl(stalls_, F_SETFL, O_NONBLOCK);
  if (pid_ < 0) {
    close(stalls_);
    stalls_ = -1;
  }
}

StallMonitor::~StallMonitor() {
  if (stalls_ >= 0) close(stalls_);
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

std::vector<StallMonitor::Stall> StallMonitor::take() {
  std::vector<Stall> out;
  if (stalls_ < 0) return out;
  Stall batch[256];
  for (;;) {
    const ssize_t got = ::read(stalls_, batch, sizeof batch);
    if (got <= 0) break;
    out.insert(out.end(), batch, batch + got / static_cast<ssize_t>(sizeof(Stall)));
  }
  // Each thread says first whether it got real-time priority.
  for (const Stall& s : out)
    if (s.fromNs == 0) realTime_ = realTime_ || s.realTime;
  std::erase_if(out, [](const Stall& s) { return s.fromNs == 0; });
  return out;
}

}  // namespace qb::bench
