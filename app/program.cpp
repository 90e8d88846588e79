#include "app/program.h"

#include <utility>

#include "common/file_io.h"
#include "common/product.h"
#include "common/text.h"
#include "platform/own_files.h"
#include "script/make_exe.h"
#include "script/player.h"
#include "standalone/stub_reader.h"

namespace qb {

Program::Program(platform::Desktop& desktop_, ProgramConfig config_)
    : desktop(desktop_),
      config(config_),
      settings(desktop_),
      module(desktop_),
      form1(*this),
      library(desktop_, settings, form1.List1, form1.Text1),
      form2(desktop_, settings),
      form4(desktop_, *this),
      hook(desktop_, *this),
      mouse(desktop_, *this),
      recording(desktop_, *this, mouse) {
  // The hot keys window's close box keeps its rows (it only hides), so hot keys go on working.
  form2.onClose = [this] {
    form1.show();
    form2.hide();
  };
  form2.showMainWindow = [this] { form1.show(); };
  form2.onRowsChanged = [this] { hook.updateSwallowable(); };
  form2.Command2.onClick = [this] { desktop.shell.openUrl(helpPage()); };
}

Program::~Program() = default;

std::string Program::ownFolder() {
  return qb::ownFolder(desktop.environment);
}

std::string Program::defaultMacroFolder() {
  return qb::writableFolder(desktop.environment, kMacroSubfolder);
}

std::string Program::helpPage() {
  return helpPageAddress(desktop.environment);
}

std::string Program::triggerStamp() {
  return formatTimeOfDay(desktop.clock.wallSeconds());
}

FormMacroBuilder& Program::builder() {
  if (!builder_) {
    builder_ = std::make_unique<FormMacroBuilder>(desktop, *this);
    if (onWindowLoaded) onWindowLoaded(*builder_);
  }
  return *builder_;
}

void Program::unloadBuilder() {
  if (builder_ && onWindowUnloading) onWindowUnloading(*builder_);
  builder_.reset();
}

bool Program::startUp() {
  form1.setSize(Form1::kStartWidth, Form1::kStartHeight);
  hook.InstallKeyHook();

  std::string location(trimBlanks(settings.get("Options", "Location")));
  if (location.size() < 2) location = defaultMacroFolder();
  form1.Text4.setText(location);
  // A made program only plays; the recorder writes in these folders.
  if (!config.standAloneBuild) removeInterruptedWrites(desktop.environment, location);

  const std::string arguments(trimBlanks(desktop.environment.arguments()));
  if (!arguments.empty()) {
    runFileMode(arguments);
    return false;
  }
  library.ListMacro();
  if (config.standAloneBuild) {
    standAloneMode();
    return false;
  }
  form2.loadRows();
  form1.Check1.setValue(settings.getCheckState("Options", "c1"));
  if (settings.getNumber("Options", "OnTop", 0) == 1) {
    desktop.windowStack.setTopmost(form1.name(), true);
    form1.Check22.setValue(1);
  }
  form1.show();
  // Said once, at the first start on such a session, when the window is up.
  if (const std::string limits = desktop.environment.sessionLimits();
      !limits.empty() && settings.get("Options", "SessionLimitsShown") != "1") {
    desktop.loop.post([this, limits] {
      settings.put("Options", "SessionLimitsShown", "1");
      desktop.dialogs.messageBox(limits, kProductTitle, platform::MessageButtons::Ok);
    });
  }
  return true;
}

void Program::runFileMode(const std::string& path) {
  auto text = readWholeFile(path);
  if (!text) {
    desktop.dialogs.messageBox("The macro file could not be opened: " + text.message(),
                               kProductTitle, platform::MessageButtons::Ok);
    return end(1);
  }
  form1.Text1.setText(std::move(*text));
  playFromStartUp();
  end(0);
}

void Program::standAloneMode() {
  form1.hide();
  auto macro = readAppendedMacro(desktop.environment.executablePath());
  if (!macro) {
    // The bare stub ends at once: its own bytes are no macro.
    desktop.dialogs.messageBox(macro.message(), kProductTitle, platform::MessageButtons::Ok);
    hook.RemoveKeyHook();
    return end(1);
  }
  if (macro->advanced) form1.Text1.setTag(std::string(kAdvancedMacroTag));
  form1.Text1.setText(std::move(macro->text));
  playFromStartUp();
  hook.RemoveKeyHook();
  end(0);
}

void Program::playFromStartUp() {
  form1.Command2.setTag("Runit");
  form1.Command2.onClick();
  while (form1.Command2.tag() == "Runit" && !desktop.loop.quitting()) desktop.loop.yield();
}

void Program::shutDown() {
  desktop.tray.removeIcon();
  form2.close();
  hook.RemoveKeyHook();
  end(0);
}

void Program::end(int status) {
  if (ended_) return;
  ended_ = true;
  exitStatus_ = status;
  desktop.loop.quit();
}

void Program::makeMacroExe() {
  const auto say = [this](std::string_view text) {
    desktop.dialogs.messageBox(text, kProductTitle, platform::MessageButtons::Ok);
  };
  const int index = library.firstSelected();
  if (index < 0) return say("Please select a Macro to make into a EXE");
  const std::string& entry = form1.List1.items()[static_cast<std::size_t>(index)];
  const std::string target = library.path(standAloneProgramName(entry));
  const auto made = writeStandAloneProgram(joinPath(ownFolder(), kStubProgram), target,
                                           form1.Text1.text(), !form1.Text1.tag().empty());
  if (!made) return say("The macro program could not be made: " + made.message());
  say("Macro EXE is " + target);
}

}  // namespace qb
