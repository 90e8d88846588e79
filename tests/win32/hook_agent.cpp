// The keyboard hook as a program of its own, for tests that type from outside Wine (XTest):
//   qb_win32_hook_agent [--swallow VK[,VK...]] [--seconds N]
// Installs the hook, prints "ready", then one line per key event, "<vk> <flags>" in hex, and
// swallows the listed keys. Ends after N seconds (60 by default).

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_event_loop.h"
#include "platform/win32/win32_keyboard_hook.h"

int main(int argc, char** argv) {
  std::set<unsigned> swallow;
  long seconds = 60;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--seconds") seconds = std::strtol(argv[i + 1], nullptr, 10);
    if (option == "--swallow")
      for (char* next = argv[i + 1]; *next;) {
        swallow.insert(static_cast<unsigned>(std::strtoul(next, &next, 16)));
        if (*next == ',')
          ++next;
        else if (*next)
          break;
      }
  }
  using namespace qb::platform::win32;
  Win32Clock clock;
  Win32EventLoop loop(clock);
  Win32KeyboardHook hook(loop, clock);
  const bool installed = hook.install([&](const qb::platform::HookKeyEvent& event) {
    std::printf("%x %x\n", event.vkCode, event.flags);
    std::fflush(stdout);
    return swallow.count(event.vkCode) > 0;
  });
  if (!installed) {
    std::printf("no hook\n");
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  loop.startTimer(seconds * 1000, [&] { loop.quit(); });
  loop.run();
  return 0;
}
