#include "ui/desktop_app.h"

#include <windows.h>

#include <optional>

#include "app/program.h"
#include "platform/win32/win32_desktop.h"
#include "shortcut/kestrip_form.h"
#include "ui/program_views.h"
#include "ui/win32/win32_form_view.h"

namespace qb::ui {
namespace {

using ProgramViews = ProgramViewsOf<Win32FormView, platform::win32::Win32WindowStack>;

// The manifest asks for per-monitor awareness; a copy run without it (a renamed program
// whose manifest the system has not read) asks here, so recorded and replayed pixels agree.
void beDpiAware() {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return;
  using SetContext = BOOL(WINAPI*)(HANDLE);
  const auto setContext = reinterpret_cast<SetContext>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
  if (setContext && setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;
  using SetAware = BOOL(WINAPI*)();
  const auto setAware = reinterpret_cast<SetAware>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware")));
  if (setAware) setAware();
}

}  // namespace

int runRecorder(int argc, char** argv, bool standAloneBuild) {
  (void)argc;  // the environment reads the command line itself, in UTF-16
  (void)argv;
  beDpiAware();
  platform::win32::Win32Desktop session;
  session.loop().setMessageFilter(&Win32FormView::handleDialogKey);
  Program program(session.desktop(), ProgramConfig{standAloneBuild});
  // A stand-alone build only plays its macro and ends: it never shows a window, and making
  // the native windows of every form would double its time to the first action.
  std::optional<ProgramViews> views;
  if (!standAloneBuild) views.emplace(program, session.windowStack());
  if (program.startUp()) session.loop().run();
  return program.exitStatus();
}

int runShortcutMaker(int argc, char** argv) {
  (void)argc;
  (void)argv;
  beDpiAware();
  platform::win32::Win32Desktop session;
  session.loop().setMessageFilter(&Win32FormView::handleDialogKey);
  KestripForm form(session.desktop());
  Win32FormView view(form);
  session.windowStack().registerWindow(form.name(), view.window());
  form.start();
  if (!form.ended()) {
    form.show();
    session.loop().run();
  }
  session.windowStack().registerWindow(form.name(), nullptr);
  return 0;
}

}  // namespace qb::ui
