#include "tests/desktop/recorder_fixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QWindow>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "common/text.h"
#include "tests/desktop/layout_check.h"
#include "tests/x11/x11_test_env.h"
#include "ui/qt/text_area.h"

namespace qb::desktoptest {
namespace {

// How long a click's button stays down: the click sampler polls every 10 ms.
constexpr int kHoldMs = 40;

platform::Desktop withEnvironment(platform::Desktop& d, platform::Environment& environment) {
  return platform::Desktop{d.clock,       d.loop,      d.cursor,    d.buttons, d.keys,
                           d.keyState,    d.windows,   d.processes, d.dialogs, d.log,
                           d.settings,    d.hook,      d.clipboard, d.shell,   d.tray,
                           d.windowStack, environment, d.shortcuts};
}

// The key and Shift state that type a character on the tests' US keymap.
std::pair<std::string, bool> keyFor(char c) {
  static const std::map<char, std::pair<std::string, bool>> named{
      {' ', {"space", false}},      {'-', {"minus", false}},       {'_', {"minus", true}},
      {'.', {"period", false}},     {'/', {"slash", false}},       {':', {"semicolon", true}},
      {'=', {"equal", false}},      {',', {"comma", false}},       {'\r', {"Return", false}},
      {'{', {"bracketleft", true}}, {'}', {"bracketright", true}}, {'\\', {"backslash", false}}};
  if (const auto found = named.find(c); found != named.end()) return found->second;
  if (std::isupper(static_cast<unsigned char>(c)))
    return {std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(c)))), true};
  return {std::string(1, c), false};
}

bool isModifier(const std::string& keysym) {
  for (const char* m : {"Shift_L", "Shift_R", "Control_L", "Control_R", "Alt_L", "Alt_R", "Meta_L",
                        "Meta_R", "ISO_Level3_Shift", "Super_L", "Super_R"})
    if (keysym == m) return true;
  return false;
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(x11test::InputDriver& driver)
    : driver_(driver), timer_(std::make_unique<QTimer>()) {
  QObject::connect(timer_.get(), &QTimer::timeout, [this] { step(); });
  timer_->start(15);
}

MessageBoxAnswerer::~MessageBoxAnswerer() = default;

void MessageBoxAnswerer::step() {
  // One step a tick, so the answer never turns the event loop itself: move, press, release.
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || !box->isVisible() || !box->windowHandle() || !box->windowHandle()->isExposed())
    return;
  // A box made in the place of the last one is a new box: the guarded pointer tells.
  if (box_.isNull() || box_.data() != box) {
    box_ = box;
    phase_ = 0;
  }
  if (looking_) return;  // a look turns the event loop
  if (phase_ == 0) {
    texts_.push_back(box->text().toStdString());
    if (look_) {
      looking_ = true;
      look_(box, texts_.back());
      looking_ = false;
    }
  }
  QAbstractButton* button = box->defaultButton();
  if (!button) return;
  const QPoint local = button->mapTo(box, button->rect().center());
  const auto [x, y] = driver_.toRoot(box->winId(), local.x(), local.y());
  switch (phase_++) {
    case 0:
      driver_.move(x, y);
      break;
    case 1:
      driver_.button(1, true);
      break;
    case 2:
      driver_.button(1, false);
      break;
    default:
      break;  // answered: the box closes
  }
}

WhenReady::WhenReady(std::function<bool()> condition, std::function<void()> action)
    : timer_(std::make_unique<QTimer>()) {
  QObject::connect(timer_.get(), &QTimer::timeout,
                   [this, condition = std::move(condition), action = std::move(action)] {
                     if (done_ || !condition()) return;
                     done_ = true;
                     timer_->stop();
                     action();
                   });
  timer_->start(5);
}

WhenReady::~WhenReady() = default;

void RecorderTest::SetUp() {
  // Every test starts with no settings and an empty macro folder, also when several run in one
  // process (and so in one session folder).
  std::error_code ignored;
  std::filesystem::remove(folder() + "/settings.ini", ignored);
  std::filesystem::remove_all(folder() + "/macros", ignored);
  DesktopTest::SetUp();
  QApplication::setQuitOnLastWindowClosed(false);
  macroFolder_ = folder() + "/macros";
  std::filesystem::create_directories(macroFolder_);
  setting("Options", "Location", macroFolder_);
  setting("Options", "c1", "1");  // "Enable Draging": drags become drag lines
  boxes_ = std::make_unique<MessageBoxAnswerer>(driver());
}

void RecorderTest::TearDown() {
  boxes_.reset();
  views_.reset();
  program_.reset();
  DesktopTest::TearDown();
}

void RecorderTest::setting(const std::string& section, const std::string& key,
                           const std::string& value) {
  ASSERT_TRUE(desktop().settings.write(section, key, value)) << section << "/" << key;
}

void RecorderTest::start() {
  environment_ = std::make_unique<ProgramEnvironment>(desktop().environment);
  programDesktop_ = std::make_unique<platform::Desktop>(withEnvironment(desktop(), *environment_));
  program_ = std::make_unique<Program>(*programDesktop_, ProgramConfig{});
  views_ = std::make_unique<ui::ProgramViews>(*program_, x11_->windowStack());
  ASSERT_TRUE(program_->startUp());
  ASSERT_TRUE(onScreen(views_->view(form1())->window()));
}

QWidget* RecorderTest::widget(const forms::Control& control) {
  ui::QtFormView* view = views_->view(const_cast<forms::Control&>(control).form());
  return view ? view->widget(control) : nullptr;
}

bool RecorderTest::exposed(QWidget* widget) {
  if (!widget || !widget->isVisible()) return false;
  QWindow* handle = widget->window()->windowHandle();
  return handle && handle->isExposed();
}

bool RecorderTest::onScreen(QWidget* widget) {
  return widget && x11test::waitFor([widget] { return exposed(widget); });
}

QPoint RecorderTest::rootPoint(QWidget* widget, QPoint local) {
  QWidget* window = widget->window();
  const QPoint inWindow = widget->mapTo(window, local);
  const auto [x, y] = driver().toRoot(window->winId(), inWindow.x(), inWindow.y());
  return {x, y};
}

void RecorderTest::moveTo(QPoint at) {
  driver().move(at.x(), at.y());
  driver().sync();
  x11test::waitFor([&] { return driver().pointer() == std::pair{at.x(), at.y()}; }, 1000);
}

void RecorderTest::clickAt(QPoint at, unsigned button) {
  moveTo(at);
  x11test::pump(10);
  driver().button(button, true);
  driver().sync();
  x11test::pump(kHoldMs);
  driver().button(button, false);
  driver().sync();
  x11test::pump(10);
}

void RecorderTest::click(const forms::Control& control) {
  QWidget* w = widget(control);
  ASSERT_TRUE(onScreen(w)) << control.name() << " is not on the screen";
  ASSERT_TRUE(x11test::waitFor([&] { return w->isEnabled(); })) << control.name() << " stays off";
  click(w);
}

void RecorderTest::clickItem(const forms::ListBox& list, std::size_t index) {
  clickItem(widget(list), index);
}

void RecorderTest::clickItem(QWidget* widget, std::size_t index) {
  auto* list = qobject_cast<QListWidget*>(widget);
  ASSERT_TRUE(list && onScreen(list));
  ASSERT_TRUE(x11test::waitFor([&] { return static_cast<std::size_t>(list->count()) > index; }));
  QListWidgetItem* item = list->item(static_cast<int>(index));
  list->scrollToItem(item);
  const QRect rect = list->visualItemRect(item);
  clickAt(rootPoint(list->viewport(), rect.center()));
}

void RecorderTest::tap(const std::string& keysym) {
  driver().tap(keysym);
  driver().sync();
  x11test::pump(5);
}

void RecorderTest::chord(const std::vector<std::string>& modifiers, const std::string& keysym) {
  for (const auto& m : modifiers) driver().key(m, true);
  driver().tap(keysym);
  for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) driver().key(*m, false);
  driver().sync();
  x11test::pump(5);
}

void RecorderTest::type(const std::string& text) {
  for (const char c : text) {
    const auto [key, shift] = keyFor(c);
    if (shift)
      chord({"Shift_L"}, key);
    else
      tap(key);
  }
}

void RecorderTest::fill(QWidget* field, const std::string& text) {
  ASSERT_TRUE(onScreen(field));
  click(field);
  ASSERT_TRUE(x11test::waitFor([&] { return field->hasFocus(); })) << "the field takes no focus";
  chord({"Control_L"}, "a");
  tap("BackSpace");
  type(text);
  const auto shown = [field] {
    if (auto* line = qobject_cast<QLineEdit*>(field)) return line->text().toStdString();
    if (auto* area = dynamic_cast<ui::TextArea*>(field)) {
      QStringList lines;
      for (std::size_t i = 0; i < area->lineCount(); ++i) lines << area->lineText(i);
      return lines.join('\n').toStdString();
    }
    if (auto* combo = qobject_cast<QComboBox*>(field)) return combo->currentText().toStdString();
    return std::string();
  };
  EXPECT_TRUE(x11test::waitFor([&] { return shown() == text; })) << shown();
}

void RecorderTest::screenshot(QWidget* window, const std::string& name) {
  std::filesystem::create_directories(QB_DESKTOP_ARTIFACTS);
  const std::string path = std::string(QB_DESKTOP_ARTIFACTS) + "/" + name + ".png";
  x11test::pump(150);  // lets the window and the server draw what changed last
  const auto [clientX, clientY] = driver().toRoot(window->winId(), 0, 0);
  const QRect screen(0, 0, x11test::session().width(), x11test::session().height());
  QRect frame =
      window->frameGeometry().united(QRect(clientX, clientY, window->width(), window->height()));
  frame = frame.intersected(screen);
  const int status = QProcess::execute(
      QB_SCREENSHOT,
      {QString::fromStdString(x11test::session().framebufferFile()), QString::number(frame.x()),
       QString::number(frame.y()), QString::number(frame.width()), QString::number(frame.height()),
       QString::fromStdString(path)});
  ASSERT_EQ(status, 0) << name;
  const QImage shot(QString::fromStdString(path));
  ASSERT_FALSE(shot.isNull()) << path;
  EXPECT_EQ(pictureProblems(window, shot, QPoint(clientX - frame.x(), clientY - frame.y())),
            std::vector<std::string>{})
      << name << ": " << path;
}

void RecorderTest::lookAtDropDown(QWidget* comboBox, const std::string& name) {
  auto* combo = qobject_cast<QComboBox*>(comboBox);
  ASSERT_TRUE(combo && onScreen(combo)) << name;
  clickAt(rootPoint(combo, QPoint(combo->width() - 6, combo->height() / 2)));
  QWidget* popup = combo->view()->window();
  ASSERT_TRUE(onScreen(popup)) << name;
  screenshot(popup, name);
  tap("Escape");
  ASSERT_TRUE(x11test::waitFor([&] { return !popup->isVisible(); })) << name;
}

void RecorderTest::screenshotBoxes(const std::string& prefix) {
  boxes().beforeAnswer([this, prefix, n = 0](QWidget* box, const std::string&) mutable {
    screenshot(box, prefix + "-" + std::to_string(++n));
  });
}

std::vector<std::string> RecorderTest::linesOf(const std::string& text) {
  std::vector<std::string> lines;
  for (const auto line : splitAtCrLf(text)) lines.emplace_back(line);
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

std::string RecorderTest::withoutStamp(const std::string& line) {
  const std::size_t dash = line.rfind('-');
  if (dash == std::string::npos || dash + 1 >= line.size()) return line;
  for (std::size_t i = dash + 1; i < line.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(line[i]))) return line;
  return line.substr(0, dash);
}

std::vector<std::string> RecorderTest::macroLines() const {
  std::vector<std::string> lines;
  for (const auto& line : linesOf(program_->form1.Text1.text()))
    lines.push_back(withoutStamp(line));
  return lines;
}

std::string RecorderTest::readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void RecorderTest::writeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::vector<std::string> RecorderTest::received(const std::vector<ProbeEvent>& events,
                                                std::size_t from) {
  std::vector<std::string> out;
  for (std::size_t i = from; i < events.size(); ++i) {
    const ProbeEvent& e = events[i];
    if (e.kind == "key-press" && e.fields.size() >= 3 && !isModifier(e.fields[1]))
      out.push_back("key " + e.fields[1] + " " + e.fields[2]);
    if ((e.kind == "button-press" || e.kind == "button-release") && e.fields.size() >= 3)
      out.push_back(e.kind + " " + e.fields[0] + " " + e.fields[1] + "," + e.fields[2]);
  }
  return out;
}

}  // namespace qb::desktoptest
