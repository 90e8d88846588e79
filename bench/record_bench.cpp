// Timing harness for recording on the simulated desktop:
//   1. appending N recorded lines (key lines through the keyboard hook, move lines through the
//      mouse sampler) to the macro text, N = 100,000 to 400,000;
//   2. Stop's post-processing of an N-line recording, N = 100,000 to 1,000,000;
//   3. the keyboard hook callback's time per key event: idle, recording, shortcuts and hot
//      keys, and while a play started by a hot key runs.
// Prints seconds and microseconds; asserts nothing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "tests/support/sim_program.h"

namespace {

using Clock = std::chrono::steady_clock;
using qb::test::SimProgram;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void appendLines(long lines) {
  SimProgram p;
  p.form().Command1.click();
  p.form().Timer1.setRunning(false);  // the sampler is called directly below
  p.form().Timer4.setRunning(false);
  const auto start = Clock::now();
  for (long i = 0; i < lines; ++i) {
    if (i % 2 == 0) {
      p.key('A' + static_cast<std::uint32_t>(i % 26));
    } else {
      p.sim.moveCursor({static_cast<int>(i % 1920), static_cast<int>(i % 1080)});
      p.program.mouse.moveTick();
    }
  }
  const double secs = secondsSince(start);
  std::printf("append %8ld lines: %7.3f s  %6.1f ns/line  (%zu bytes)\n", lines, secs,
              secs * 1e9 / static_cast<double>(lines), p.text().size());
}

std::string recording(long lines) {
  std::string text;
  text.reserve(static_cast<std::size_t>(lines) * 16);
  for (long i = 0; i < lines; ++i) {
    const std::string stamp = "-" + std::to_string(1'000'000 + i * 10) + "\r\n";
    const std::string pos = std::to_string(100 + i % 1500) + ", " + std::to_string(200 + i % 900);
    switch (i % 20) {
      case 5:
        text += "m:clickl" + stamp;
        break;
      case 6:
      case 7:
      case 8:
      case 9:
      case 10:
        text += "t:" + pos + stamp;
        break;
      case 14:
        text += "w:{A}" + stamp;
        break;
      case 15:
        text += "w:+{HOME}" + stamp;
        break;
      default:
        text += "m:" + pos + stamp;
    }
  }
  return text;
}

void stopProcessing(long lines) {
  SimProgram p;
  p.form().Text1.setText(recording(lines));
  const auto start = Clock::now();
  p.program.recording.Stop();
  const double secs = secondsSince(start);
  std::printf("stop   %8ld lines: %7.3f s  %6.1f ns/line  (%zu bytes after)\n", lines, secs,
              secs * 1e9 / static_cast<double>(lines), p.text().size());
}

struct Timings {
  std::vector<double> us;
  void time(SimProgram& p, std::uint32_t vk, std::uint32_t flags) {
    const auto start = Clock::now();
    p.key(vk, flags);
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  void print(const char* what) {
    std::sort(us.begin(), us.end());
    const auto at = [&](double q) { return us[static_cast<std::size_t>(q * (us.size() - 1))]; };
    std::printf("hook %-44s %7zu events  median %6.2f us  p99 %6.2f us  max %7.2f us\n", what,
                us.size(), at(0.5), at(0.99), us.back());
  }
};

void hookIdle() {
  SimProgram p;
  Timings t;
  for (int i = 0; i < 100000; ++i) {
    t.time(p, 'A' + static_cast<std::uint32_t>(i % 26), 0);
    t.time(p, 'A' + static_cast<std::uint32_t>(i % 26), qb::platform::kHookUp);
  }
  t.print("idle typing");
}

void hookRecording() {
  SimProgram p;
  p.form().Command1.click();
  Timings t;
  for (int i = 0; i < 50000; ++i) {
    const bool shift = i % 3 == 0;
    if (shift) t.time(p, qb::platform::vk::LShift, 0);
    t.time(p, 'A' + static_cast<std::uint32_t>(i % 26), 0);
    t.time(p, 'A' + static_cast<std::uint32_t>(i % 26), qb::platform::kHookUp);
    if (shift) t.time(p, qb::platform::vk::LShift, qb::platform::kHookUp);
  }
  t.print("recording (key lines appended)");
}

void hookShortcutsAndHotKeys() {
  SimProgram p;
  p.program.form2.text(5).setText("x");
  p.program.form2.option(3, 5).setValue(1);
  Timings t;
  for (int i = 0; i < 20000; ++i) {
    t.time(p, qb::platform::vk::LControl, 0);
    t.time(p, i % 2 ? 'T' : 'R', 0);  // Record, Stop posted
    t.time(p, i % 2 ? 'T' : 'R', qb::platform::kHookUp);
    t.time(p, qb::platform::vk::LControl, qb::platform::kHookUp);
    t.time(p, qb::platform::vk::F1 + 4, 0);  // a hot key's passes posted
    t.time(p, qb::platform::vk::F1 + 4, qb::platform::kHookUp);
    p.run();  // the posted actions, untimed
  }
  t.print("shortcuts and hot keys (actions posted)");
}

void hookDuringHotKeyPlay() {
  SimProgram p;
  std::string macro;
  for (int i = 0; i < 20000; ++i)
    macro += "m:" + std::to_string(i % 1000) + ", 5-" + std::to_string(i * 5) + "\r\n";
  if (!qb::writeFileAtomic(p.folder.path() + "/Macro-Long.txt", macro).ok()) return;
  p.program.form2.text(2).setText("/Macro-Long.txt");
  p.program.form2.option(2, 2).setValue(1);
  p.program.form2.text(5).setText("x");
  p.program.form2.option(3, 5).setValue(1);
  Timings t;
  // Keys arrive every 3 ms of the play's 100 s: typing, the hot keys, shortcuts, and at the end
  // the Break key.
  for (int i = 0; i < 33000; ++i) {
    const std::uint32_t keys[] = {'A', qb::platform::vk::F1 + 4, qb::platform::vk::LControl, 'R',
                                  qb::platform::vk::F1 + 1};
    const std::uint32_t vk = keys[i % 5];
    p.sim.loop().at(1 + i * 3, [&t, &p, vk] {
      t.time(p, vk, 0);
      t.time(p, vk, qb::platform::kHookUp);
    });
  }
  p.sim.loop().at(99500, [&t, &p] { t.time(p, qb::platform::vk::Pause, 0); });
  p.key(qb::platform::vk::F1 + 1);
  p.run(200000);
  t.print("during a play started by a hot key");
  std::printf("     (the play ran %zu of 20000 lines, keys sent by hot keys meanwhile: %zu)\n",
              p.sim.log().entries().size(), p.sim.sentKeys().size());
}

}  // namespace

int main() {
  for (const long n : {100'000L, 200'000L, 400'000L}) appendLines(n);
  for (const long n : {100'000L, 200'000L, 500'000L, 1'000'000L}) stopProcessing(n);
  hookIdle();
  hookRecording();
  hookShortcutsAndHotKeys();
  hookDuringHotKeyPlay();
  return 0;
}
