// The Win32 desktop backend against the real Win32 API (under Wine in ./test): the settings
// store, the clipboard, the event loop, the keyboard hook and its watchdog, typing, the cursor,
// buttons and activation, each checked against the probe window, a program of its own.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>
#include <windows.h>
// windows.h first: the common controls header needs its types.
#include <commctrl.h>

#include <chrono>
#include <thread>

#include "common/utf16_win32.h"
#include "platform/virtual_keys.h"
#include "platform/win32/registry_settings.h"
#include "platform/win32/shell_link_writer.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_event_loop.h"
#include "platform/win32/win32_key_sender.h"
#include "platform/win32/win32_key_state.h"
#include "platform/win32/win32_keyboard_hook.h"
#include "platform/win32/win32_pointer.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_windows.h"
#include "probe_process.h"
#include "script/send_keys.h"

namespace qb::win32test {
namespace {

using namespace platform::win32;
namespace vk = platform::vk;

constexpr const char* kTestKey = "Software\\QuillbarrowTest";

// Runs the event loop until `done` or the time is up.
bool turnUntil(Win32EventLoop& loop, const Win32Clock& clock, const std::function<bool()>& done,
               platform::Ms ms = 3000) {
  const platform::Ms until = clock.now() + ms;
  while (!done() && clock.now() < until) loop.waitUntil(std::min(until, clock.now() + 10));
  return done();
}

class Win32Backend : public ::testing::Test {
 protected:
  Win32Clock clock;
  Win32EventLoop loop{clock};
};

TEST(RegistrySettings, ValuesRoundTripWithoutRegardToCaseAndLastBeyondTheProcess) {
  RegistrySettings store(kTestKey);
  store.removeAll();
  const std::string value = "2\r\nfast = ü€😀";
  ASSERT_TRUE(store.write("Options", "Speed", value));
  EXPECT_EQ(store.read("OPTIONS", "speed"), value);
  ASSERT_TRUE(store.write("options", "SPEED", "3"));
  EXPECT_EQ(store.read("Options", "Speed"), "3");
  EXPECT_EQ(store.read("Options", "Missing"), std::nullopt);

  // Another process reads what this one wrote.
  ASSERT_TRUE(store.write("Hotkeys", "text1-3", value));
  const std::string folder = ownFolder();
  std::wstring line = L"\"" + qb::win32::utf16FromUtf8(folder) +
                      L"\\qb_win32_tests.exe\" --read-setting Hotkeys TEXT1-3";
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring out = std::wstring(temp) + L"qb-read-setting.txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE file = CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = file;
  PROCESS_INFORMATION child{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                             &startup, &child));
  ASSERT_EQ(WaitForSingleObject(child.hProcess, 30000), WAIT_OBJECT_0) << "the reader hangs";
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  CloseHandle(file);
  std::string read(4096, '\0');
  HANDLE in = CreateFileW(out.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD got = 0;
  ReadFile(in, read.data(), static_cast<DWORD>(read.size()), &got, nullptr);
  CloseHandle(in);
  DeleteFileW(out.c_str());
  read.resize(got);
  EXPECT_EQ(read, value);
  store.removeAll();
  EXPECT_EQ(RegistrySettings(kTestKey).read("Hotkeys", "text1-3"), std::nullopt);
}

TEST(ShellLinks, TheHotKeyTextBecomesTheShortcutsHotKey) {
  struct Case {
    const char* text;
    std::optional<std::uint16_t> word;
  };
  for (const Case& c : {
           Case{"", 0},
           Case{"F7", VK_F7},
           Case{"CTRL+ALT+F12", MAKEWORD(VK_F12, HOTKEYF_CONTROL | HOTKEYF_ALT)},
           Case{"CTRL+SHIFT+A", MAKEWORD('A', HOTKEYF_CONTROL | HOTKEYF_SHIFT)},
           // The capitals of the key list are the letter keys, without Shift.
           Case{"CTRL+ALT+Q", MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT)},
           Case{"ALT+Z", MAKEWORD('Z', HOTKEYF_ALT)},
           Case{"ALT+1", MAKEWORD('1', HOTKEYF_ALT)},
           Case{"CTRL+!", MAKEWORD('1', HOTKEYF_CONTROL | HOTKEYF_SHIFT)},  // Shift+1 (US)
           Case{"CTRL+F13", std::nullopt},
           Case{"CTRL+€", std::nullopt},
       })
    EXPECT_EQ(shellLinkHotKey(c.text), c.word) << c.text;
}

TEST(ShellLinks, AShortcutStartsItsProgramInItsFolderWithItsHotKey) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string folder = qb::win32::utf8FromUtf16(temp) + "qb links é";
  CreateDirectoryW(qb::win32::utf16FromUtf8(folder).c_str(), nullptr);
  const std::string link = folder + "\\Macro-Test.lnk";
  const std::string target = folder + "\\Macro-Test.exe";
  ShellLinkWriter writer;
  const auto written = writer.write({link, target, "CTRL+ALT+F7"});
  ASSERT_TRUE(written) << written.message();
  const auto read = readShellLink(link);
  ASSERT_TRUE(read) << read.message();
  EXPECT_EQ(read->target, target);
  EXPECT_EQ(read->workingFolder, folder);
  EXPECT_EQ(read->hotKey, MAKEWORD(VK_F7, HOTKEYF_CONTROL | HOTKEYF_ALT));

  const std::string nowhere = folder + "\\no such folder\\x.lnk";
  const auto refused = writer.write({nowhere, target, ""});
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.message().find(nowhere), std::string::npos) << refused.message();
  DeleteFileW(qb::win32::utf16FromUtf8(link).c_str());
  RemoveDirectoryW(qb::win32::utf16FromUtf8(folder).c_str());
}

TEST(Clipboard, TextAndEveryKeptFormatComeBack) {
  Win32Clipboard clipboard;
  ASSERT_TRUE(clipboard.setText("héllo\r\n😀"));
  EXPECT_EQ(clipboard.text(), "héllo\r\n😀");
  const platform::ClipboardContents kept = clipboard.contents();
  ASSERT_TRUE(clipboard.clear());
  EXPECT_EQ(clipboard.text(), std::nullopt);
  ASSERT_TRUE(clipboard.restore(kept));
  EXPECT_EQ(clipboard.text(), "héllo\r\n😀");
}

TEST(Environment, ArgumentsFollowTheProgramNameQuotedOrNot) {
  struct Case {
    const wchar_t* line;
    const wchar_t* arguments;
  };
  for (const Case& c : {Case{L"prog.exe", L""}, Case{L"prog.exe  a b", L"a b"},
                        Case{L"\"C:\\My Programs\\prog.exe\" \"x y\" z", L"\"x y\" z"},
                        Case{L"\"C:\\unclosed prog.exe", L""}})
    EXPECT_EQ(argumentsOf(c.line), c.arguments) << qb::win32::utf8FromUtf16(c.line);
  Win32Environment environment;
  EXPECT_NE(environment.executablePath().find("qb_win32_tests.exe"), std::string::npos);
  EXPECT_NE(environment.userDataFolder().find("Quillbarrow"), std::string::npos);
}

TEST(Processes, ProgramsStartFromCommandLinesAndAFailureNamesTheLine) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string out = qb::win32::utf8FromUtf16(temp) + "qb started é.txt";
  DeleteFileW(qb::win32::utf16FromUtf8(out).c_str());
  Win32Processes processes;
  const auto started = processes.start("cmd.exe /c echo started> \"" + out + "\"");
  ASSERT_TRUE(started) << started.message();
  for (int i = 0; i < 500 && GetFileAttributesW(qb::win32::utf16FromUtf8(out).c_str()) ==
                                 INVALID_FILE_ATTRIBUTES;
       ++i)
    Sleep(10);
  EXPECT_NE(GetFileAttributesW(qb::win32::utf16FromUtf8(out).c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileW(qb::win32::utf16FromUtf8(out).c_str());

  for (const char* line : {"qb-no-such-program.exe --x", "   "}) {
    const auto refused = processes.start(line);
    ASSERT_FALSE(refused) << line;
    EXPECT_NE(refused.message().find(std::string("Cannot run \"") + line + "\""), std::string::npos)
        << refused.message();
  }
}

// The top-level window whose title contains `fragment`, waited for; null when none came.
HWND windowNaming(const std::string& fragment) {
  struct Search {
    std::string fragment;
    HWND found = nullptr;
  } search{fragment};
  for (int i = 0; i < 500 && !search.found; ++i) {
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto& s = *reinterpret_cast<Search*>(data);
          if (windowTitle(window).find(s.fragment) == std::string::npos) return TRUE;
          s.found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(10);
  }
  return search.found;
}

TEST(Shell, TheTextEditorOpensAFileAndADocumentOpensWithItsProgram) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  struct Case {
    const char* name;
    bool asCommandLine;  // started as a command line, which opens a document with its program
  };
  // The document's type is this test's own, opened by Notepad, so that no other association
  // (which a fresh Wine prefix may lack) decides; registered in HKEY_CLASSES_ROOT, where
  // Windows and Wine both look.
  const auto set = [](const wchar_t* key, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  };
  set(L".qbtestdoc", L"QbTestDocument");
  set(L"QbTestDocument\\shell\\open\\command", L"notepad.exe \"%1\"");
  for (const Case& c : {Case{"qb-notes.txt", false}, Case{"qb-document.qbtestdoc", true}}) {
    const std::string file = qb::win32::utf8FromUtf16(temp) + c.name;
    HANDLE created = CreateFileW(qb::win32::utf16FromUtf8(file).c_str(), GENERIC_WRITE, 0, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    CloseHandle(created);
    const auto opened = c.asCommandLine ? Win32Processes().start("\"" + file + "\"")
                                        : Win32Shell().openTextEditor(file);
    ASSERT_TRUE(opened) << c.name << ": " << opened.message();
    const std::string stem = std::string(c.name).substr(0, std::string(c.name).find('.'));
    const HWND editor = windowNaming(stem);
    ASSERT_NE(editor, nullptr) << c.name;
    PostMessageW(editor, WM_CLOSE, 0, 0);
    Sleep(200);
    DeleteFileW(qb::win32::utf16FromUtf8(file).c_str());
  }
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"QbTestDocument");
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L".qbtestdoc");
}

TEST_F(Win32Backend, TasksRunInOrderTimersRepeatAndWaitsEndOnTime) {
  std::string order;
  loop.post([&] { order += "a"; });
  loop.post([&] {
    order += "b";
    loop.post([&] { order += "d"; });
  });
  loop.post([&] { order += "c"; });
  int ticks = 0;
  const platform::TimerId timer = loop.startTimer(20, [&] {
    if (++ticks == 3) loop.post([&] { order += "t"; });
  });
  const platform::Ms start = clock.now();
  loop.waitUntil(start + 100);
  const platform::Ms waited = clock.now() - start;
  loop.stopTimer(timer);
  EXPECT_EQ(order, "abcdt");
  EXPECT_GE(ticks, 3);
  EXPECT_GE(waited, 100);
  EXPECT_LT(waited, 400);  // on time, with room for a machine that stalls
}

TEST_F(Win32Backend, MessageBoxesAnswerAndTheLoopGoesOnWhileTheyAreShown) {
  Win32Dialogs dialogs(loop);
  struct Case {
    platform::MessageButtons buttons;
    int press;
    platform::MessageAnswer answer;
  };
  for (const Case& c : {Case{platform::MessageButtons::Ok, IDOK, platform::MessageAnswer::Ok},
                        Case{platform::MessageButtons::YesNo, IDYES, platform::MessageAnswer::Yes},
                        Case{platform::MessageButtons::YesNo, IDNO, platform::MessageAnswer::No}}) {
    int ticks = 0;
    const platform::TimerId counting = loop.startTimer(20, [&] { ++ticks; });
    // Answered from a timer once a few ticks went by while the box was up.
    const platform::TimerId answering = loop.startTimer(50, [&] {
      if (ticks < 5) return;
      if (HWND box = FindWindowW(nullptr, L"QB Box"))
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(c.press, BN_CLICKED), 0);
    });
    EXPECT_EQ(dialogs.messageBox("Saved.", "QB Box", c.buttons), c.answer) << c.press;
    loop.stopTimer(counting);
    loop.stopTimer(answering);
    EXPECT_GE(ticks, 5);
  }
}

TEST_F(Win32Backend, KeyStringsArriveAsTextInTheWindowInFrontBeforeSendReturns) {
  ProbeProcess probe("QB Probe keys");
  ASSERT_TRUE(probe.ready());
  Win32Windows windows;
  ASSERT_TRUE(windows.activate("QB Probe k"));
  Win32KeyboardHook hook(loop, clock);
  ASSERT_TRUE(hook.install([](const platform::HookKeyEvent&) { return false; }));
  Win32KeySender sender(&hook);
  struct Case {
    const char* keys;
    const char* adds;
  };
  std::string expected;
  for (const Case& c : {Case{"abc", "abc"}, Case{"+(x)y", "Xy"}, Case{"A!", "A!"},
                        Case{"€Жé", "€Жé"}, Case{"😀", "😀"}, Case{"{LEFT}{END}~", "\r\n"}}) {
    const ParsedKeys keys = parseKeyString(c.keys);
    ASSERT_TRUE(keys) << c.keys;
    ASSERT_TRUE(sender.send(*keys, c.keys, true)) << c.keys;
    expected += c.adds;
    EXPECT_EQ(probe.text(), expected) << c.keys;
  }
}

TEST_F(Win32Backend, TheHookSeesOthersKeysSwallowsWhatItDecidesAndLetsOwnKeysPass) {
  ProbeProcess probe("QB Probe hook");
  ASSERT_TRUE(probe.ready());
  Win32Windows windows;
  ASSERT_TRUE(windows.activate("QB Probe hook"));
  std::vector<platform::HookKeyEvent> seen;
  Win32KeyboardHook hook(loop, clock);
  ASSERT_TRUE(hook.install([&](const platform::HookKeyEvent& e) {
    seen.push_back(e);
    return e.vkCode == 'Z';
  }));
  Win32KeySender sender(&hook);
  ASSERT_TRUE(sender.send(*parseKeyString("own"), "own", true));
  EXPECT_TRUE(seen.empty());
  for (const std::uint16_t key : {std::uint16_t{'Q'}, std::uint16_t{'Z'}}) {
    typeUnmarked(key, false);
    typeUnmarked(key, true);
  }
  ASSERT_TRUE(turnUntil(loop, clock, [&] { return seen.size() >= 4; }));
  EXPECT_EQ(seen[0].vkCode, 'Q');
  EXPECT_EQ(seen[0].flags & platform::kHookUp, 0u);
  EXPECT_NE(seen[1].flags & platform::kHookUp, 0u);
  EXPECT_EQ(seen[2].vkCode, 'Z');
  ASSERT_TRUE(sender.send(*parseKeyString("!"), "!", true));
  EXPECT_EQ(probe.text(), "ownq!");  // z was swallowed
}

TEST_F(Win32Backend, TheKeyStateTheHookKeepsIsTheSystems) {
  ProbeProcess probe("QB Probe state");
  ASSERT_TRUE(probe.ready());
  Win32Windows windows;
  ASSERT_TRUE(windows.activate("QB Probe state"));
  int calls = 0;
  Win32KeyboardHook hook(loop, clock);
  ASSERT_TRUE(hook.install([&](const platform::HookKeyEvent& e) {
    ++calls;
    return e.vkCode == 'Z';
  }));
  Win32KeyState state(&hook);
  const auto agrees = [&](const char* step) {
    for (const int key : {VK_SHIFT, VK_LSHIFT, VK_RSHIFT, VK_CONTROL, VK_LCONTROL, VK_RCONTROL,
                          VK_MENU, VK_LMENU, int{'Q'}, int{'Z'}})
      EXPECT_EQ(state.asyncKeyState(key) & 0x8000, GetAsyncKeyState(key) & 0x8000)
          << step << ": key " << key;
  };
  struct Step {
    WORD key;
    bool up;
  };
  for (const Step& step :
       {Step{VK_LSHIFT, false}, Step{'Q', false}, Step{VK_RCONTROL, false}, Step{'Z', false},
        Step{'Q', true}, Step{VK_LSHIFT, true}, Step{'Z', true}, Step{VK_RCONTROL, true}}) {
    const int before = calls;
    typeUnmarked(step.key, step.up);
    ASSERT_TRUE(turnUntil(loop, clock, [&] { return calls > before; }));
    agrees(std::to_string(step.key).c_str());
  }
  EXPECT_TRUE(state.asyncKeyState('Q') == 0 && state.asyncKeyState(VK_SHIFT) == 0);
}

TEST_F(Win32Backend, TheWatchdogInstallsAHookAgainThatWasRemoved) {
  std::vector<std::uint32_t> seen;
  Win32KeyboardHook hook(loop, clock);
  ASSERT_TRUE(hook.install([&](const platform::HookKeyEvent& e) {
    if (!(e.flags & platform::kHookUp)) seen.push_back(e.vkCode);
    return false;
  }));
  hook.dropForTesting();
  typeUnmarked(VK_F13, false);
  typeUnmarked(VK_F13, true);
  ASSERT_TRUE(turnUntil(loop, clock, [&] { return hook.reinstalls() > 0; }));
  EXPECT_TRUE(seen.empty());
  typeUnmarked(VK_F14, false);
  typeUnmarked(VK_F14, true);
  ASSERT_TRUE(turnUntil(loop, clock, [&] { return !seen.empty(); }));
  EXPECT_EQ(seen, std::vector<std::uint32_t>{VK_F14});
}

TEST_F(Win32Backend, TheCursorMovesAndButtonsClickWhereItIs) {
  ProbeProcess probe("QB Probe mouse");
  ASSERT_TRUE(probe.ready());
  RECT frame;
  GetWindowRect(static_cast<HWND>(probe.window()), &frame);
  Win32Pointer pointer;
  const platform::Point target{frame.left + 150, frame.top + 150};
  ASSERT_TRUE(pointer.setPosition(target));
  platform::Point at;
  ASSERT_TRUE(pointer.position(at));
  EXPECT_EQ(at, target);
  ASSERT_TRUE(pointer.press(platform::MouseButton::Left, true));
  ASSERT_TRUE(pointer.press(platform::MouseButton::Left, false));
  const std::string where = " " + std::to_string(target.x) + " " + std::to_string(target.y);
  ASSERT_TRUE(turnUntil(loop, clock, [&] {
    return probe.log().find("lup 0" + where) != std::string::npos;
  })) << probe.log();
  EXPECT_NE(probe.log().find("ldown 1" + where), std::string::npos) << probe.log();
}

TEST_F(Win32Backend, ActivationTakesTheExactTitleFirstThenAPrefix) {
  ProbeProcess longer("QB Probe AB");
  ProbeProcess exact("QB Probe A");
  ASSERT_TRUE(longer.ready() && exact.ready());
  Win32Windows windows;
  ASSERT_TRUE(windows.activate("QB Probe AB"));
  EXPECT_EQ(windows.foregroundTitle(), "QB Probe AB");
  ASSERT_TRUE(windows.activate("QB Probe A"));
  EXPECT_EQ(windows.foregroundTitle(), "QB Probe A");
  EXPECT_FALSE(windows.activate("QB Probe Z"));
  EXPECT_EQ(windows.foregroundTitle(), "QB Probe A");
}

}  // namespace
}  // namespace qb::win32test

// "--read-setting SECTION KEY" prints a stored setting: another process, for the store test.
int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--read-setting") {
    _setmode(_fileno(stdout), _O_BINARY);  // the value's own line ends, not the console's
    const auto value =
        qb::platform::win32::RegistrySettings(qb::win32test::kTestKey).read(argv[2], argv[3]);
    if (value) std::fwrite(value->data(), 1, value->size(), stdout);
    return value ? 0 : 1;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
