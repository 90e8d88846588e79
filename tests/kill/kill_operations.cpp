#include "kill_operations.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/program.h"
#include "builder/form_macro_builder.h"
#include "platform/ini_settings.h"
#include "platform/sim/sim_desktop.h"

namespace qb::kill {
namespace {

// A recorded macro of about `bytes` bytes whose moves and stamps depend on `variant`, so an old
// and a new one differ everywhere.
std::string recordedMacro(std::size_t bytes, int variant) {
  std::string text;
  text.reserve(bytes + 64);
  long stamp = 1000 + variant;
  char line[64];
  for (int i = 0; text.size() < bytes; ++i) {
    stamp += 7 + (i + variant) % 50;
    const int n = std::snprintf(line, sizeof line, "m:%d,%d-%ld\r\n", (i * 7 + variant) % 1920,
                                (i * 13 + variant) % 1080, stamp);
    text.append(line, static_cast<std::size_t>(n));
  }
  return text;
}

std::string advancedMacro(std::size_t bytes, int variant) {
  std::string text;
  text.reserve(bytes + 64);
  char line[64];
  for (int i = 0; text.size() < bytes; ++i) {
    const int n = std::snprintf(line, sizeof line, "m:%d, %d\r\nwaiting=%d\r\n",
                                (i + variant) % 1920, (i * 3 + variant) % 1080, 10 + variant);
    text.append(line, static_cast<std::size_t>(n));
  }
  return text;
}

void writePlain(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// The recorder started in normal mode with `folder` as its own folder, which is then also its
// macro folder.
struct Recorder {
  explicit Recorder(const std::string& folder) {
    sim.setExecutablePath(folder + "/daventi");
    program.startUp();
  }
  void select(const std::string& entry) {
    const auto& items = program.form1.List1.items();
    const auto it = std::find(items.begin(), items.end(), entry);
    if (it != items.end())
      program.form1.List1.clickItem(static_cast<std::size_t>(it - items.begin()));
  }
  bool said(const std::string& beginning) const {
    for (const auto& m : sim.messages())
      if (m.text.rfind(beginning, 0) == 0) return true;
    return false;
  }
  bool saidNothing() const { return sim.messages().empty(); }

  platform::sim::SimDesktop sim;
  Program program{sim.desktop(), ProgramConfig{}};
};

void recorderStart(const std::string& folder) {
  Recorder next(folder);
}

const std::string kMacro = "Macro-Big.txt";

Operation saveMacro() {
  return {"save macro",
          kMacro,
          false,
          [](const std::string& folder, std::size_t bytes) {
            writePlain(folder + "/" + kMacro, recordedMacro(bytes, 0));
          },
          [](const std::string& folder, std::size_t bytes, const std::function<void()>& ready) {
            Recorder r(folder);
            r.program.form1.Text2.setText("Big");
            r.program.form1.Text1.setText(recordedMacro(bytes, 1));
            ready();
            r.program.form1.Command4.click();
            return r.saidNothing();
          },
          recorderStart};
}

Operation repeatOrSpeed(bool repeat) {
  return {repeat ? "repeat" : "speed",
          kMacro,
          false,
          [](const std::string& folder, std::size_t bytes) {
            writePlain(folder + "/" + kMacro, recordedMacro(bytes, 0));
          },
          [repeat](const std::string& folder, std::size_t, const std::function<void()>& ready) {
            Recorder r(folder);
            r.select(kMacro);
            (repeat ? r.program.form1.Command19 : r.program.form1.Command20).click();
            r.program.form4.Text2.setText(repeat ? "3" : "50");
            ready();
            r.program.form4.Command1.click();
            // The speed dialog's reminder is the only message a rewrite that worked shows.
            return !r.said("The macro could not be changed");
          },
          recorderStart};
}

Operation builderSave() {
  const std::string target = "Macro-AM-Big.txt";
  return {"builder save",
          target,
          false,
          [target](const std::string& folder, std::size_t bytes) {
            writePlain(folder + "/" + target, advancedMacro(bytes, 0));
          },
          [](const std::string& folder, std::size_t bytes, const std::function<void()>& ready) {
            Recorder r(folder);
            r.program.form1.Command17.click();
            FormMacroBuilder& builder = r.program.builder();
            builder.MacroText.setText(advancedMacro(bytes, 1));
            builder.CmdSave.click();
            builder.save.Name.setText("Big");
            ready();
            builder.save.Ok.click();
            return r.said("The Macro has been saved");
          },
          recorderStart};
}

Operation makeExe() {
  const std::string target = "Macro-Big.exe";
  return {"make exe",
          target,
          true,
          [target](const std::string& folder, std::size_t bytes) {
            // A stub of a few megabytes, as the real one is; the macro makes up the rest.
            writePlain(folder + "/tapbolt", std::string(4 << 20, '\x7f'));
            writePlain(folder + "/" + kMacro, recordedMacro(bytes, 1));
            writePlain(folder + "/" + target, "an older program\r\n");
            std::filesystem::permissions(folder + "/" + target, std::filesystem::perms::owner_all);
          },
          [](const std::string& folder, std::size_t, const std::function<void()>& ready) {
            Recorder r(folder);
            r.select(kMacro);
            ready();
            r.program.form1.Command14.click();
            return r.said("Macro EXE is ");
          },
          recorderStart};
}

Operation settingsWrite() {
  const std::string target = "settings.ini";
  return {
      "settings write",
      target,
      false,
      [target](const std::string& folder, std::size_t bytes) {
        platform::IniSettings settings(folder + "/" + target);
        (void)settings.write("Options", "OnTop", "1");
        (void)settings.write("Hotkeys", "Row1", recordedMacro(bytes, 0));
      },
      [target](const std::string& folder, std::size_t bytes, const std::function<void()>& ready) {
        platform::IniSettings settings(folder + "/" + target);
        const std::string value = recordedMacro(bytes, 1);
        ready();
        return settings.write("Hotkeys", "Row1", value).ok();
      },
      [target](const std::string& folder) { platform::IniSettings opened(folder + "/" + target); }};
}

}  // namespace

std::vector<Operation> operations() {
  return {saveMacro(),   repeatOrSpeed(true), repeatOrSpeed(false),
          builderSave(), makeExe(),           settingsWrite()};
}

}  // namespace qb::kill
