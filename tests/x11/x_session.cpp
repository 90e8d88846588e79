#include "tests/x11/x_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

namespace qb::x11test {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(20);

pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int keepFd) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid != 0) return pid;
  prctl(PR_SET_PDEATHSIG, SIGTERM);  // a test that crashes takes its server along
  for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
  const int devnull = open("/dev/null", O_RDWR);
  dup2(devnull, 0);
  if (!std::getenv("QB_X11_TEST_VERBOSE")) {
    dup2(devnull, 1);
    dup2(devnull, 2);
  }
  for (int fd = 3; fd < 1024; ++fd)
    if (fd != keepFd) close(fd);
  execvp(argv[0], argv.data());
  _exit(127);
}

void stop(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > until) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid = -1;
}

}  // namespace

std::unique_ptr<XSession> XSession::start(std::string* error, Options options) {
  std::unique_ptr<XSession> session(new XSession());
  session->options_ = options;
  std::string pattern = (std::filesystem::temp_directory_path() / "qb-x11-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    if (error) *error = "cannot create a temporary folder";
    return nullptr;
  }
  session->folder_ = pattern;
  if (!session->startServer(error)) return nullptr;
  if (options.windowManager && !session->startWindowManager(error)) return nullptr;
  return session;
}

bool XSession::startServer(std::string* error) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) {
    if (error) *error = "cannot create a pipe";
    return false;
  }
  const std::string screen =
      std::to_string(options_.width) + "x" + std::to_string(options_.height) + "x24";
  server_ = spawn({"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0", screen,
                   "-nolisten", "tcp", "-noreset", "-fbdir", folder_},
                  {}, pipeFds[1]);
  close(pipeFds[1]);
  // Xvfb writes the display number it chose once it accepts connections.
  std::string number;
  const auto until = std::chrono::steady_clock::now() + kStartTimeout;
  while (number.empty() || number.back() != '\n') {
    pollfd pfd{pipeFds[0], POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          until - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0 || poll(&pfd, 1, static_cast<int>(left)) <= 0) break;
    char c = 0;
    if (read(pipeFds[0], &c, 1) != 1) break;
    number += c;
  }
  close(pipeFds[0]);
  if (number.empty() || number.back() != '\n') {
    if (error) *error = "Xvfb did not start (is the xvfb package installed?)";
    return false;
  }
  number.pop_back();
  display_ = ":" + number;
  return true;
}

bool XSession::startWindowManager(std::string* error) {
  // No key or mouse bindings: the window manager must not take keys the tests type.
  const std::string config = QB_OPENBOX_CONFIG;
  windowManager_ =
      spawn({"openbox", "--config-file", config, "--sm-disable"},
            {"DISPLAY=" + display_, "HOME=" + folder_, "XDG_CONFIG_HOME=" + folder_ + "/config",
             "XDG_CACHE_HOME=" + folder_ + "/cache"},
            -1);
  Display* dpy = XOpenDisplay(display_.c_str());
  if (!dpy) {
    if (error) *error = "cannot connect to the test's Xvfb at " + display_;
    return false;
  }
  // Openbox announces itself on the root window early in its start; it is ready once it
  // manages a window: map one and wait until it is in the client list.
  const Atom clients = XInternAtom(dpy, "_NET_CLIENT_LIST", False);
  const Window root = DefaultRootWindow(dpy);
  const Window trial = XCreateSimpleWindow(dpy, root, 0, 0, 10, 10, 0, 0, 0);
  XMapWindow(dpy, trial);
  XFlush(dpy);
  const auto managed = [&](bool wanted) {
    const auto until = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < until) {
      Atom type = 0;
      int format = 0;
      unsigned long items = 0, after = 0;
      unsigned char* data = nullptr;
      bool listed = false;
      if (XGetWindowProperty(dpy, root, clients, 0, 1024, False, XA_WINDOW, &type, &format, &items,
                             &after, &data) == Success &&
          data) {
        for (unsigned long i = 0; i < items; ++i)
          listed |= reinterpret_cast<unsigned long*>(data)[i] == trial;
      }
      if (data) XFree(data);
      if (listed == wanted) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  };
  const auto started = std::chrono::steady_clock::now();
  bool ready = managed(true);
  if (std::getenv("QB_X11_TEST_VERBOSE"))
    std::fprintf(stderr, "openbox managed its first window after %lld ms\n",
                 static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            std::chrono::steady_clock::now() - started)
                                            .count()));
  XDestroyWindow(dpy, trial);
  XFlush(dpy);
  ready = ready && managed(false);
  XCloseDisplay(dpy);
  if (!ready && error) *error = "openbox did not start (is the openbox package installed?)";
  return ready;
}

XSession::~XSession() {
  stop(windowManager_);
  stop(server_);
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

}  // namespace qb::x11test
