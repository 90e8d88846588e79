#include "tests/x11/probe_client.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/x11/x11_test_env.h"

namespace qb::x11test {

std::string ProbeEvent::text() const {
  const std::size_t field = kind == "key-press" ? 2 : kind == "paste" ? 0 : fields.size();
  if (field >= fields.size() || fields[field] == "-") return {};
  std::string out;
  for (std::size_t i = 0; i + 1 < fields[field].size(); i += 2)
    out += static_cast<char>(std::stoi(fields[field].substr(i, 2), nullptr, 16));
  return out;
}

ProbeWindow::ProbeWindow(const std::string& folder, const std::string& title,
                         std::vector<std::string> options) {
  static int serial = 0;
  log_ = folder + "/probe-" + std::to_string(getpid()) + "-" + std::to_string(serial++) + ".log";
  std::ofstream(log_).flush();
  std::vector<std::string> args{QB_X11_PROBE, log_, title};
  args.insert(args.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    execv(argv[0], argv.data());
    _exit(127);
  }
}

ProbeWindow::~ProbeWindow() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

std::vector<ProbeEvent> ProbeWindow::events() const {
  std::vector<ProbeEvent> out;
  std::ifstream in(log_);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    ProbeEvent event;
    words >> event.kind;
    for (std::string w; words >> w;) event.fields.push_back(w);
    out.push_back(std::move(event));
  }
  return out;
}

std::size_t ProbeWindow::count(const std::string& kind) const {
  std::size_t n = 0;
  for (const auto& e : events()) n += e.kind == kind;
  return n;
}

std::string ProbeWindow::typed() const {
  std::string text;
  for (const auto& e : events())
    if (e.kind == "key-press") text += e.text();
  return text;
}

std::vector<std::string> ProbeWindow::pastes() const {
  std::vector<std::string> out;
  for (const auto& e : events())
    if (e.kind == "paste") out.push_back(e.text());
  return out;
}

std::size_t ProbeWindow::presses(const std::string& keysym) const {
  std::size_t n = 0;
  for (const auto& e : events())
    n += e.kind == "key-press" && e.fields.size() > 1 && e.fields[1] == keysym;
  return n;
}

unsigned long ProbeWindow::window() const {
  for (const auto& e : events())
    if (e.kind == "ready" && !e.fields.empty()) return std::stoul(e.fields[0]);
  return 0;
}

bool ProbeWindow::waitFocused() {
  const bool ok = waitFor([&] {
    bool focused = false;
    for (const auto& e : events()) {
      if (e.kind == "focus-in") focused = true;
      if (e.kind == "focus-out") focused = false;
    }
    return focused && window() != 0;
  });
  if (!ok) {
    std::ifstream in(log_);
    const std::string log((std::istreambuf_iterator<char>(in)), {});
    std::fprintf(stderr, "the probe window never had the focus; its log:\n%s", log.c_str());
  }
  return ok;
}

}  // namespace qb::x11test
