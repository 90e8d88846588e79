// The Win32 backend's timing, under Wine in a private X server: the keyboard hook's time per
// key event (idle and while recording), playback gaps as the probe window's own clock sees
// them, a long pause's end error and processor time, and how long a macro program made from
// Tapbolt.exe takes from its start to its first action.
//   qb_bench_win32 [--keys N] [--lines N] [--pause-ms N] [--runs N]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "common/utf16_win32.h"
#include "platform/action_log.h"
#include "platform/desktop.h"
#include "platform/sim/sim_desktop.h"
#include "platform/win32/registry_settings.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_event_loop.h"
#include "platform/win32/win32_key_sender.h"
#include "platform/win32/win32_key_state.h"
#include "platform/win32/win32_keyboard_hook.h"
#include "platform/win32/win32_pointer.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_windows.h"
#include "script/make_exe.h"
#include "script/module_data.h"
#include "script/play_host.h"
#include "script/player.h"
#include "tests/win32/probe_process.h"

namespace {

using namespace qb;
using namespace qb::platform::win32;

struct Summary {
  double median = 0, p99 = 0, max = 0;
};

Summary summarise(std::vector<double> values) {
  if (values.empty()) return {};
  std::sort(values.begin(), values.end());
  const auto at = [&](double q) {
    return values[std::min(values.size() - 1, static_cast<std::size_t>(q * (values.size() - 1)))];
  };
  return {at(0.5), at(0.99), values.back()};
}

// Processor time of the calling thread (the one that plays) in seconds. GetProcessTimes counts
// in clock ticks of 10 ms under Wine; there the Linux thread's own scheduler statistics
// (nanoseconds) are read through Wine's Z: drive instead.
double processSeconds() {
  if (FILE* stat = _wfopen(L"Z:\\proc\\thread-self\\schedstat", L"r")) {
    unsigned long long nanoseconds = 0;
    const int read = std::fscanf(stat, "%llu", &nanoseconds);
    std::fclose(stat);
    if (read == 1) return static_cast<double>(nanoseconds) / 1e9;
  }
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto value = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
  };
  return value(kernel) + value(user);
}

// The key-down times (ms, the probe's clock) of one virtual key in the probe's log, in order.
std::vector<double> keyDownTimes(const std::string& log, unsigned key) {
  std::vector<double> times;
  std::istringstream lines(log);
  std::string line;
  while (std::getline(lines, line)) {
    double ms = 0;
    char name[32] = {};
    unsigned long long wParam = 0;
    if (std::sscanf(line.c_str(), "%lf %31s %llu", &ms, name, &wParam) == 3 &&
        std::string(name) == "keydown" && wParam == key)
      times.push_back(ms);
  }
  return times;
}

// The program sees no arguments: the benchmark's own options are not a macro file for it.
class BenchEnvironment final : public platform::Environment {
 public:
  std::string executablePath() override { return real_.executablePath(); }
  std::string arguments() override { return {}; }
  std::vector<std::string> specialFolders() override { return real_.specialFolders(); }
  std::string userDataFolder() override { return real_.userDataFolder(); }

 private:
  Win32Environment real_;
};

class Bench {
 public:
  Bench()
      : desktop_{clock_,     loop_,      pointer_, pointer_, sender_,      keyState_,
                 windows_,   processes_, sim_,     nullLog_, settings_,    hook_,
                 clipboard_, shell_,     sim_,     sim_,     environment_, sim_} {}

  void turn(platform::Ms ms) { loop_.waitUntil(clock_.now() + ms); }
  bool highResolutionTimer() const { return loop_.highResolutionTimer(); }

  void hookTiming(int keys) {
    win32test::ProbeProcess probe("QB Bench hook");
    windows_.activate("QB Bench hook");
    Program program(desktop_, ProgramConfig{});
    if (!program.startUp()) {
      std::printf("the program did not start\n");
      return;
    }
    const auto typeKeys = [&](const char* what) {
      hook_.measureCalls(true);
      for (int i = 0; i < keys; ++i) {
        const WORD key = static_cast<WORD>('A' + i % 26);
        win32test::typeUnmarked(key, false);
        turn(5);
        win32test::typeUnmarked(key, true);
        turn(5);
      }
      hook_.measureCalls(false);
      const Summary s = summarise(hook_.callMicroseconds());
      std::printf("hook call, %-9s %5zu events: median %7.2f us  p99 %7.2f us  max %8.2f us\n",
                  what, hook_.callMicroseconds().size(), s.median, s.p99, s.max);
    };
    typeKeys("idle");
    // Left Ctrl+R records, Left Ctrl+T stops.
    // Keys sent with SendInput carry the injected flag, which the recorder leaves out as
    // another program's; the recording is started with its button, and the hook's procedure
    // is timed with the recorder's checks on every key.
    program.form1.Command1.onClick();
    turn(300);
    std::printf("  recording: %s\n", program.form1.Command1.enabled() ? "no" : "yes");
    typeKeys("recording");
    program.form1.Command5.onClick();
    turn(300);
    program.shutDown();
  }

  void playbackGaps(int lines, int runs) {
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> gap(5, 50);
    for (int run = 1; run <= runs; ++run) {
      win32test::ProbeProcess probe("QB Bench play");
      windows_.activate("QB Bench play");
      std::vector<std::int64_t> stamps{1000};
      std::string text;
      for (int i = 0; i < lines; ++i) {
        if (i > 0) stamps.push_back(stamps.back() + gap(random));
        text += "w:{a}-" + std::to_string(stamps.back()) + "\r\n";
      }
      const double cpuBefore = processSeconds();
      play(text);
      const double cpu = processSeconds() - cpuBefore;
      turn(200);
      const std::vector<double> seen = keyDownTimes(probe.log(), 'A');
      std::vector<double> errors;
      for (std::size_t i = 1; i < seen.size() && i < stamps.size(); ++i)
        errors.push_back(std::abs((seen[i] - seen[i - 1]) - double(stamps[i] - stamps[i - 1])));
      const Summary s = summarise(errors);
      const double span = seen.size() > 1 ? seen.back() - seen.front() : 0;
      std::printf(
          "play %d: %zu of %d lines seen; gap error median %.2f ms  p99 %.2f ms  max %.2f ms; "
          "span %.1f of %lld ms; cpu %.2f%% of a core\n",
          run, seen.size(), lines, s.median, s.p99, s.max, span,
          static_cast<long long>(stamps.back() - stamps.front()),
          100.0 * cpu / (span > 0 ? span / 1000.0 : 1.0));
    }
  }

  // The event loop's wait alone, as the player waits out a pause: its processor time.
  void bareWait(int ms) {
    const double before = processSeconds();
    turn(ms);
    const double cpu = processSeconds() - before;
    std::printf("a bare %d ms wait: processor %.2f ms = %.4f%% of a core\n", ms, cpu * 1000,
                100.0 * cpu / (ms / 1000.0));
    // What the process costs while it does nothing at all, for comparison: the system's (and
    // under Wine, Wine's) own share, and the measurement's.
    const double idleBefore = processSeconds();
    Sleep(static_cast<DWORD>(ms));
    const double idle = processSeconds() - idleBefore;
    std::printf("Sleep(%d) for comparison: processor %.2f ms = %.4f%% of a core\n", ms, idle * 1000,
                100.0 * idle / (ms / 1000.0));
  }

  // A macro program whose first action moves the pointer: the time from CreateProcess to the
  // pointer's arrival, polled every millisecond, and to the program's end.
  void madeProgramStart(int runs) {
    wchar_t own[MAX_PATH];
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring folder(own);
    folder.erase(folder.find_last_of(L'\\') + 1);
    const std::string stub = qb::win32::utf8FromUtf16(folder + L"..\\programs\\Tapbolt.exe");
    const std::wstring program = folder + L"qb-bench-start.exe";
    std::vector<double> firstAction, ended;
    for (int run = 1; run <= runs; ++run) {
      const POINT target{300 + run, 200 + run};
      SetCursorPos(target.x - 50, target.y - 50);
      const std::string macro =
          "m:" + std::to_string(target.x) + ", " + std::to_string(target.y) + "-1000\r\n";
      if (const auto made =
              writeStandAloneProgram(stub, qb::win32::utf8FromUtf16(program), macro, false);
          !made) {
        std::printf("made program: %s\n", made.message().c_str());
        return;
      }
      STARTUPINFOW startup{};
      startup.cb = sizeof startup;
      PROCESS_INFORMATION process{};
      std::wstring commandLine = L"\"" + program + L"\"";
      LARGE_INTEGER frequency, started, now;
      QueryPerformanceFrequency(&frequency);
      QueryPerformanceCounter(&started);
      if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process)) {
        std::printf("made program did not start\n");
        return;
      }
      const auto elapsed = [&] {
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - started.QuadPart) * 1000.0 /
               static_cast<double>(frequency.QuadPart);
      };
      double moved = -1;
      while (elapsed() < 30000) {
        POINT at;
        GetCursorPos(&at);
        if (at.x == target.x && at.y == target.y) {
          moved = elapsed();
          break;
        }
        Sleep(1);
      }
      WaitForSingleObject(process.hProcess, 30000);
      const double end = elapsed();
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
      std::printf("made program %d: first action after %.1f ms, ended after %.1f ms\n", run, moved,
                  end);
      if (moved >= 0) firstAction.push_back(moved);
      ended.push_back(end);
    }
    DeleteFileW(program.c_str());
    if (firstAction.empty()) return;
    const Summary first = summarise(firstAction), end = summarise(ended);
    std::printf(
        "made program start to first action: median %.1f ms, max %.1f ms; to its end: "
        "median %.1f ms\n",
        first.median, first.max, end.median);
  }

  void pause(int ms, int runs) {
    for (int run = 1; run <= runs; ++run) {
      win32test::ProbeProcess probe("QB Bench pause");
      windows_.activate("QB Bench pause");
      const std::string text = "w:{a}-1000\r\nw:{a}-" + std::to_string(1000 + ms) + "\r\n";
      const double cpuBefore = processSeconds();
      play(text);
      const double cpu = processSeconds() - cpuBefore;
      turn(200);
      const std::vector<double> seen = keyDownTimes(probe.log(), 'A');
      if (seen.size() != 2) {
        std::printf("pause %d: %zu keys seen of 2\n", run, seen.size());
        continue;
      }
      std::printf(
          "pause %d: %d ms recorded, %.2f ms observed, error %.2f ms; processor %.1f ms "
          "= %.4f%% of a core\n",
          run, ms, seen[1] - seen[0], seen[1] - seen[0] - ms, cpu * 1000,
          100.0 * cpu / (ms / 1000.0));
    }
  }

 private:
  void play(const std::string& text) {
    ModuleData module(desktop_);
    SimplePlayHost host;
    host.setText(text);
    PlayRecorded(module, host);
  }

  Win32Clock clock_;
  Win32EventLoop loop_{clock_};
  Win32Pointer pointer_;
  Win32KeyboardHook hook_{loop_, clock_};
  Win32KeySender sender_{&hook_};
  Win32KeyState keyState_{&hook_};
  Win32Windows windows_;
  Win32Processes processes_;
  Win32Shell shell_;
  Win32Clipboard clipboard_;
  BenchEnvironment environment_;
  RegistrySettings settings_{"Software\\QuillbarrowBench"};
  // What this benchmark shows no window for: message boxes, the notification icon, the
  // window order and shortcut files answer as on the simulated desktop.
  platform::sim::SimDesktop sim_;
  platform::NullActionLog nullLog_;
  platform::Desktop desktop_;
};

}  // namespace

int main(int argc, char** argv) {
  int keys = 200, lines = 200, pauseMs = 10000, runs = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const int value = std::atoi(argv[i + 1]);
    if (option == "--keys")
      keys = value;
    else if (option == "--lines")
      lines = value;
    else if (option == "--pause-ms")
      pauseMs = value;
    else if (option == "--runs")
      runs = value;
  }
  Bench bench;
  std::printf(
      "Win32 backend under %s\n",
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") ? "Wine" : "Windows");
  bench.madeProgramStart(std::max(runs, 5));
  bench.playbackGaps(lines, runs);
  bench.pause(pauseMs, runs);
  bench.bareWait(pauseMs);
  // Last: the program's shutdown ends the event loop.
  bench.hookTiming(keys);
  RegistrySettings("Software\\QuillbarrowBench").removeAll();
  return 0;
}
