#include "scenario_runner.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/program.h"
#include "common/file_io.h"
#include "common/product.h"
#include "common/text.h"
#include "common/text_sink.h"
#include "forms/controls.h"
#include "forms/list_controls.h"
#include "kestrip_process.h"
#include "platform/sim/sim_desktop.h"

namespace qb::scenario {
namespace {

namespace fs = std::filesystem;
using platform::MessageAnswer;

std::string unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 's' ? ' ' : c;
  }
  return out;
}

std::string quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else if (c == '"' || c == '\\')
      out += '\\', out += c;
    else
      out += c;
  }
  return out + "\"";
}

std::pair<std::string, std::string> firstWord(std::string_view text) {
  text = trimBlanks(text);
  const auto blank = text.find(' ');
  if (blank == std::string_view::npos) return {std::string(text), ""};
  return {std::string(text.substr(0, blank)), std::string(text.substr(blank + 1))};
}

struct Failure {
  std::string message;
};

// The simulated desktop's action log, into the transcript in step with the runner's own lines.
class TranscriptSink final : public TextSink {
 public:
  explicit TranscriptSink(std::ostream& out) : out_(out) {}
  void write(std::string_view text) override { out_ << text; }

 private:
  std::ostream& out_;
};

class Runner {
 public:
  Runner(const std::vector<Step>& steps, const std::string& root, std::ostream& out,
         const RunLimits& limits)
      : steps_(steps), root_(root), out_(out) {
    sim_.loop().setBounds(limits.lastTime, limits.idleTurns);
    fs::create_directories(fs::path(root_) / "prog");
    sim_.setExecutablePath((fs::path(root_) / "prog" / "daventi").generic_string());
    sim_.log().streamTo(&logSink_, 0);
    sim_.loop().setModalPump([this] { return runNext(); });
  }

  int run() {
    while (next_ < steps_.size())
      if (!runNext()) break;
    return failed_ ? 2 : 0;
  }
  platform::sim::SimDesktop& desktop() { return sim_; }

 private:
  bool runNext() {
    if (next_ >= steps_.size() || failed_) return false;
    Step step = steps_[next_++];
    out_ << "> " << step.verb << (step.rest.empty() ? "" : " ") << step.rest << "\n";
    // The program's file names and its path separator differ by system ("tapbolt",
    // "Tapbolt.exe"; "/", "\\"): one scenario names them for both.
    static const std::string separator = joinPath("", "").substr(0, 1);
    for (const auto& [name, value] :
         {std::pair<std::string_view, std::string_view>{"{root}", root_},
          {"{stub}", kStubProgram},
          {"{maker}", kShortcutMakerProgram},
          {"{sep}", separator}})
      for (auto at = step.rest.find(name); at != std::string::npos;
           at = step.rest.find(name, at + value.size()))
        step.rest.replace(at, name.size(), value);
    const std::string error = execute(step);
    if (!error.empty()) {
      out_ << "error on line " << step.lineNumber << ": " << error << "\n";
      failed_ = true;
      return false;
    }
    return true;
  }

  std::string path(std::string_view relative) const {
    return (fs::path(root_) / std::string(trimBlanks(relative))).generic_string();
  }

  Program& program() {
    if (!program_) throw Failure{"the program has not been started"};
    return *program_;
  }

  KestripForm& kestrip() {
    if (!kestrip_) throw Failure{"the shortcut maker has not been started"};
    return kestrip_->form();
  }

  forms::Form& form(std::string_view name) {
    if (name == "Kestrip") return kestrip();
    Program& p = program();
    if (name == "Form1") return p.form1;
    if (name == "Form2") return p.form2;
    if (name == "Form4") return p.form4;
    if (name == "FormMacroBuilder") return p.builder();
    throw Failure{"no form " + std::string(name)};
  }

  // "Control" on the main window, or "Form.Control".
  forms::Control& control(std::string_view name) {
    std::string_view formName = "Form1";
    if (const auto dot = name.find('.'); dot != std::string_view::npos) {
      formName = name.substr(0, dot);
      name = name.substr(dot + 1);
    }
    forms::Control* c = form(formName).find(name);
    if (!c) throw Failure{"no control " + std::string(name) + " on " + std::string(formName)};
    return *c;
  }

  template <typename T>
  T& as(forms::Control& c, forms::ControlKind kind, const char* what) {
    if (c.kind() != kind) throw Failure{c.name() + " is not " + what};
    return static_cast<T&>(c);
  }

  // An entry of a list or drop-down, by its text or as "#index".
  std::size_t entryIndex(const forms::Control& list, const std::vector<std::string>& items,
                         std::string_view entry) {
    entry = trimBlanks(entry);
    if (!entry.empty() && entry[0] == '#') {
      const auto i = parseWholeNumber(entry.substr(1), 0, 1'000'000);
      if (!i || static_cast<std::size_t>(*i) >= items.size())
        throw Failure{"no entry " + std::string(entry)};
      return static_cast<std::size_t>(*i);
    }
    for (std::size_t i = 0; i < items.size(); ++i)
      if (items[i] == entry) return i;
    throw Failure{"no entry " + std::string(entry) + " in " + list.name()};
  }

  static std::uint32_t number(std::string_view text) {
    const std::string t(trimBlanks(text));
    const auto v = startsWithNoCase(t, "0x")
                       ? std::optional<std::int64_t>(std::stoll(t.substr(2), nullptr, 16))
                       : parseWholeNumber(t, 0, UINT32_MAX);
    if (!v) throw Failure{"\"" + t + "\" is not a number"};
    return static_cast<std::uint32_t>(*v);
  }

  void click(forms::Control& c) {
    switch (c.kind()) {
      case forms::ControlKind::Button:
        return static_cast<forms::Button&>(c).click();
      case forms::ControlKind::CheckBox:
        return static_cast<forms::CheckBox&>(c).click();
      case forms::ControlKind::OptionButton:
        return static_cast<forms::OptionButton&>(c).click();
      case forms::ControlKind::Label:
        return static_cast<forms::Label&>(c).click();
      case forms::ControlKind::MenuItem:
        return static_cast<forms::MenuItem&>(c).click();
      default:
        throw Failure{c.name() + " cannot be clicked"};
    }
  }

  std::string describe(forms::Control& c, std::string_view property) {
    using K = forms::ControlKind;
    if (property == "enabled") return c.enabled() ? "true" : "false";
    if (property == "visible") return c.visible() ? "true" : "false";
    if (property == "tag") return quote(c.tag());
    if (property == "layout") {
      const forms::Rect r = c.layout();
      return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.width) +
             " " + std::to_string(r.height);
    }
    switch (c.kind()) {
      case K::TextBox: {
        auto& t = static_cast<forms::TextBox&>(c);
        if (property == "selstart") return std::to_string(t.selectionStart());
        return quote(t.text());
      }
      case K::ComboBox: {
        auto& t = static_cast<forms::ComboBox&>(c);
        if (property == "items") return joinItems(t.items());
        return quote(t.text());
      }
      case K::ListBox: {
        auto& l = static_cast<forms::ListBox&>(c);
        if (property == "selected") {
          std::string s;
          for (std::size_t i = 0; i < l.count(); ++i)
            if (l.selected(i)) s += (s.empty() ? "" : ", ") + l.items()[i];
          return "[" + s + "]";
        }
        return joinItems(l.items());
      }
      case K::CheckBox:
        return std::to_string(static_cast<forms::CheckBox&>(c).value());
      case K::OptionButton:
        return static_cast<forms::OptionButton&>(c).value() ? "true" : "false";
      case K::Button:
        return quote(static_cast<forms::Button&>(c).caption());
      case K::Label:
        return quote(static_cast<forms::Label&>(c).caption());
      case K::Timer:
        return static_cast<forms::Timer&>(c).running() ? "running" : "stopped";
      default:
        return "";
    }
  }

  static std::string joinItems(const std::vector<std::string>& items) {
    std::string s;
    for (const auto& i : items) s += (s.empty() ? "" : ", ") + i;
    return "[" + s + "]";
  }

  void print(const std::string& what) {
    const auto [kind, rest] = firstWord(what);
    if (kind == "file") {
      const auto content = readWholeFile(path(rest));
      out_ << "file " << trimBlanks(rest) << " = " << (content ? quote(*content) : "(missing)")
           << "\n";
    } else if (kind == "setting") {
      const auto [section, key] = firstWord(rest);
      const auto v = sim_.settings().read(section, trimBlanks(key));
      out_ << "setting " << section << " " << trimBlanks(key) << " = "
           << (v ? quote(*v) : "(absent)") << "\n";
    } else if (kind == "form") {
      forms::Form& f = form(trimBlanks(rest));
      out_ << f.name() << ": " << (f.visible() ? "shown" : "hidden") << ", " << f.width() << " x "
           << f.height() << (f.enabled() ? "" : ", disabled") << "\n";
    } else if (kind == "caption") {
      forms::Form& f = form(trimBlanks(rest));
      out_ << "caption " << f.name() << " = " << quote(f.caption()) << "\n";
    } else if (kind == "shortcuts") {
      if (sim_.shortcuts().empty()) out_ << "no shortcuts\n";
      for (const auto& s : sim_.shortcuts())
        out_ << "shortcut " << quote(s.path) << " -> " << quote(s.target) << ", hot key "
             << (s.hotKey.empty() ? "none" : quote(s.hotKey)) << "\n";
    } else if (kind == "messages") {
      for (const auto& m : sim_.messages())
        out_ << "message [" << m.title << "] " << quote(m.text) << " -> "
             << (m.answer == MessageAnswer::Yes  ? "Yes"
                 : m.answer == MessageAnswer::No ? "No"
                                                 : "OK")
             << "\n";
    } else if (kind == "cursor") {
      out_ << "cursor " << sim_.cursor().x << " " << sim_.cursor().y << "\n";
    } else if (kind == "clipboard") {
      const auto text = sim_.text();
      out_ << "clipboard = " << (text ? quote(*text) : "(empty)") << "\n";
    } else {
      std::string_view name = kind;
      std::string property;
      if (const auto colon = name.find(':'); colon != std::string_view::npos) {
        property = name.substr(colon + 1);
        name = name.substr(0, colon);
      }
      out_ << kind << " = " << describe(control(name), property) << "\n";
    }
  }

  std::string execute(const Step& step) {
    try {
      dispatch(step.verb, step.rest);
    } catch (const Failure& f) {
      return f.message;
    } catch (const std::exception& e) {
      return e.what();
    }
    reportKestripEnd();
    return {};
  }

  // Said once, after the step in which the shortcut maker's window closed. A window that
  // closed while the program kept its event loop turning would hang there: said as well.
  void reportKestripEnd() {
    if (!kestrip_ || kestripEndSaid_ || !kestrip_->form().ended()) return;
    kestripEndSaid_ = true;
    out_ << "kestrip ended" << (kestrip_->loop().left() ? "" : ", but its event loop still runs")
         << "\n";
  }

  void startKestrip(const std::string& arguments) {
    kestrip_.reset();
    kestripEndSaid_ = false;
    kestrip_ = std::make_unique<KestripProcess>(
        sim_.desktop(), (fs::path(root_) / "prog" / "kestrip").generic_string(), arguments);
    out_ << (kestrip_->form().ended() ? "ended" : "running") << "\n";
  }

  void dispatch(const std::string& verb, const std::string& rest) {
    if (verb == "setting") {
      const auto [section, keyValue] = firstWord(rest);
      const auto [key, value] = firstWord(keyValue);
      (void)sim_.settings().write(section, key, unescape(value));  // the memory store takes all
    } else if (verb == "file") {
      const auto [name, content] = firstWord(rest);
      fs::create_directories(fs::path(path(name)).parent_path());
      std::ofstream(path(name), std::ios::binary) << unescape(content);
    } else if (verb == "delete") {
      std::error_code ec;
      fs::remove(path(rest), ec);
    } else if (verb == "folder") {
      fs::create_directories(path(rest));
    } else if (verb == "arguments") {
      sim_.setArguments(unescape(rest));
    } else if (verb == "window") {
      sim_.addWindow(rest);
    } else if (verb == "unstartable") {
      sim_.failProgram(rest);
    } else if (verb == "foreground") {
      sim_.setForeground(rest);
    } else if (verb == "clipboard") {
      sim_.setClipboard(unescape(rest));
    } else if (verb == "special-folder") {
      specialFolders_.push_back(std::string(trimBlanks(rest)));
      sim_.setSpecialFolders(specialFolders_);
    } else if (verb == "failing-shortcuts") {
      sim_.failShortcuts(toLowerAscii(trimBlanks(rest)) == "on");
    } else if (verb == "hot-key-problem") {
      sim_.setHotKeyProblem(unescape(rest));
    } else if (verb == "start" && firstWord(rest).first == "kestrip") {
      startKestrip(unescape(firstWord(rest).second));
    } else if (verb == "start") {
      // A second program would replace the first under its own steps (a dialog it shows).
      if (program_) throw Failure{"the program has already been started"};
      ProgramConfig config;
      config.standAloneBuild = trimBlanks(rest) == "standalone";
      program_ = std::make_unique<Program>(sim_.desktop(), config);
      const bool running = program_->startUp();
      out_ << (running ? "running" : "ended with status " + std::to_string(program_->exitStatus()))
           << "\n";
    } else if (verb == "click") {
      click(control(trimBlanks(rest)));
    } else if (verb == "select" || verb == "dblclick") {
      const auto [name, entry] = firstWord(rest);
      forms::Control& c = control(name);
      if (c.kind() == forms::ControlKind::TextBox && verb == "dblclick") {
        auto& t = static_cast<forms::TextBox&>(c);
        if (t.onDblClick) t.onDblClick();
        return;
      }
      if (c.kind() == forms::ControlKind::ComboBox && verb == "select") {
        auto& box = static_cast<forms::ComboBox&>(c);
        box.chooseItem(entryIndex(box, box.items(), entry));
        return;
      }
      auto& list = as<forms::ListBox>(c, forms::ControlKind::ListBox, "a list");
      const std::size_t index = entryIndex(list, list.items(), entry);
      if (verb == "select")
        list.clickItem(index);
      else
        list.dblClickItem(index);
    } else if (verb == "set" || verb == "type") {
      const auto [name, text] = firstWord(rest);
      forms::Control& c = control(name);
      const std::string value = unescape(text);
      if (c.kind() == forms::ControlKind::ComboBox) {
        static_cast<forms::ComboBox&>(c).setText(value);
        return;
      }
      if (c.kind() == forms::ControlKind::CheckBox && verb == "set") {
        const std::string v(trimBlanks(value));
        if (v != "0" && v != "1" && v != "2") throw Failure{c.name() + " takes 0, 1 or 2"};
        static_cast<forms::CheckBox&>(c).setValue(v[0] - '0');
        return;
      }
      auto& box = as<forms::TextBox>(c, forms::ControlKind::TextBox, "a text field");
      if (verb == "set") {
        box.setText(value);
      } else {
        for (char ch : value) box.setText(box.text() + ch);
      }
    } else if (verb == "answer") {
      const std::string a = toLowerAscii(trimBlanks(rest));
      sim_.answerNext(a == "yes"  ? MessageAnswer::Yes
                      : a == "no" ? MessageAnswer::No
                                  : MessageAnswer::Ok);
    } else if (verb == "wait") {
      sim_.loop().runUntil(sim_.loop().now() + number(rest));
    } else if (verb == "key") {
      const auto [vk, flags] = firstWord(rest);
      platform::HookKeyEvent event;
      event.vkCode = number(vk);
      event.flags = flags.empty() ? 0 : number(flags);
      const bool swallowed = sim_.pressKey(event);
      out_ << (swallowed ? "swallowed" : "passed") << "\n";
      sim_.loop().yield();  // what the hook posted runs now
    } else if (verb == "hold" || verb == "release") {
      sim_.setPhysicalKey(static_cast<int>(number(rest)), verb == "hold");
    } else if (verb == "mouse") {
      const auto [x, y] = firstWord(rest);
      const auto px = parseWholeNumber(x, -100000, 100000),
                 py = parseWholeNumber(y, -100000, 100000);
      if (!px || !py) throw Failure{"mouse needs X and Y"};
      sim_.moveCursor({static_cast<int>(*px), static_cast<int>(*py)});
    } else if (verb == "tray") {
      sim_.clickTray(static_cast<int>(number(rest)));
    } else if (verb == "notification-area") {
      sim_.setNotificationArea(toLowerAscii(trimBlanks(rest)) != "off");
    } else if (verb == "enter" || verb == "escape") {
      forms::Form& f = form(trimBlanks(rest));
      const bool pressed = verb == "enter" ? f.pressDefault() : f.pressCancel();
      out_ << (pressed ? "pressed" : "nothing pressed") << "\n";
    } else if (verb == "resize") {
      // Only the shortcut maker lays its controls out by its size; the other windows keep
      // their designed size.
      const auto [name, size] = firstWord(rest);
      const auto [w, h] = firstWord(size);
      if (name != "Kestrip") throw Failure{name + " cannot be resized"};
      const auto width = parseWholeNumber(w, 1000, 100000),
                 height = parseWholeNumber(h, 1000, 100000);
      if (!width || !height)
        throw Failure{"resize needs a width and a height in twips, 1000 or more"};
      kestrip().resize(static_cast<int>(*width), static_cast<int>(*height));
    } else if (verb == "close") {
      form(trimBlanks(rest)).close();
    } else if (verb == "at") {
      // Runs a step later, at that many virtual milliseconds from now, inside whatever is
      // running then (a play, a modal dialog).
      const auto [ms, inner] = firstWord(rest);
      const auto [innerVerb, innerRest] = firstWord(inner);
      const platform::Ms when = sim_.loop().now() + number(ms);
      sim_.loop().at(when, [this, when, v = innerVerb, r = innerRest] {
        out_ << "@" << when << " > " << v << (r.empty() ? "" : " ") << r << "\n";
        const std::string error = execute(Step{0, v, r});
        if (!error.empty()) out_ << "error in a step run at " << when << ": " << error << "\n";
      });
    } else if (verb == "print") {
      print(rest);
    } else {
      throw Failure{"unknown step \"" + verb + "\""};
    }
  }

  const std::vector<Step>& steps_;
  std::string root_;
  std::ostream& out_;
  TranscriptSink logSink_{out_};
  platform::sim::SimDesktop sim_;
  std::unique_ptr<Program> program_;
  std::unique_ptr<KestripProcess> kestrip_;
  bool kestripEndSaid_ = false;
  std::vector<std::string> specialFolders_;
  std::size_t next_ = 0;
  bool failed_ = false;
};

}  // namespace

std::vector<Step> parseScenario(const std::string& text) {
  std::vector<Step> steps;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string_view trimmed = trimBlanks(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    auto [verb, rest] = firstWord(trimmed);
    steps.push_back(Step{number, verb, rest});
  }
  return steps;
}

int runScenario(const std::vector<Step>& steps, const std::string& root, std::ostream& out,
                const RunLimits& limits,
                const std::function<void(platform::sim::SimDesktop&)>& atEnd) {
  Runner runner(steps, root, out, limits);
  const int status = runner.run();
  if (atEnd) atEnd(runner.desktop());
  return status;
}

}  // namespace qb::scenario
