#include "wine_program.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace qb::winetest {

std::string windowsBuildFolder() {
  return QB_WINDOWS_BUILD_DIR;
}

std::string winePrefix() {
  return windowsBuildFolder() + "/wine-prefix-desktop";
}

namespace {

int run(const std::vector<std::string>& args) {
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("WINEPREFIX", winePrefix().c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    setenv("WINEDLLOVERRIDES", "winemenubuilder.exe=d;mscoree,mshtml=", 1);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

bool preparePrefix(std::string* error) {
  // The build's own runner makes the prefix the first time (under a lock).
  const int status = run({QB_WINE_RUN, winePrefix(), "cmd.exe", "/c", "exit"});
  endWineServer();
  if (status != 0 && error) *error = "the Wine prefix " + winePrefix() + " could not be made";
  return status == 0;
}

void endWineServer() {
  run({"/usr/lib/wine/wineserver", "-k"});
}

std::string windowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

namespace {

unsigned long findByTitle(Display* dpy, Window parent, const std::string& title) {
  Window root = 0, up = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(dpy, parent, &root, &up, &children, &count)) return 0;
  unsigned long found = 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    char* name = nullptr;
    if (XFetchName(dpy, children[i], &name) && name) {
      if (title == name) found = children[i];
      XFree(name);
    }
    if (!found) found = findByTitle(dpy, children[i], title);
  }
  if (children) XFree(children);
  return found;
}

}  // namespace

unsigned long windowByTitle(const std::string& display, const std::string& title) {
  Display* dpy = XOpenDisplay(display.c_str());
  if (!dpy) return 0;
  const unsigned long found = findByTitle(dpy, DefaultRootWindow(dpy), title);
  XCloseDisplay(dpy);
  return found;
}

WineProgram::WineProgram(const std::string& display, const std::string& program,
                         const std::vector<std::string>& args, const std::string& workingFolder) {
  int pipeFds[2], inputFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return;
  if (pipe2(inputFds, O_CLOEXEC) != 0) {
    close(pipeFds[0]);
    close(pipeFds[1]);
    return;
  }
  pid_ = fork();
  if (pid_ == 0) {
    if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0) _exit(126);
    dup2(inputFds[0], 0);
    setenv("DISPLAY", display.c_str(), 1);
    setenv("WINEPREFIX", winePrefix().c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    setenv("WINEDLLOVERRIDES", "winemenubuilder.exe=d;mscoree,mshtml=", 1);
    dup2(pipeFds[1], 1);
    std::vector<std::string> all{
        "/usr/lib/wine/wine64",
        program.front() == '/' ? program : windowsBuildFolder() + "/tests/win32/" + program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (const auto& a : all) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  close(inputFds[0]);
  output_ = pipeFds[0];
  input_ = inputFds[1];
}

bool WineProgram::send(const std::string& line) {
  if (input_ < 0) return false;
  const std::string whole = line + "\n";
  return write(input_, whole.data(), whole.size()) == static_cast<ssize_t>(whole.size());
}

std::optional<int> WineProgram::ended() {
  if (!status_ && pid_ > 0) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      pid_ = -1;
    }
  }
  return status_;
}

WineProgram::~WineProgram() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    // Bounded: a Wine process that does not end on SIGTERM is killed.
    for (int i = 0; i < 100 && waitpid(pid_, nullptr, WNOHANG) == 0; ++i) usleep(20'000);
    if (waitpid(pid_, nullptr, WNOHANG) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  if (output_ >= 0) close(output_);
  if (input_ >= 0) close(input_);
}

std::optional<std::string> WineProgram::nextLine(std::chrono::milliseconds wait) {
  const auto until = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (const auto end = pending_.find('\n'); end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now());
    if (left.count() <= 0 || output_ < 0) return std::nullopt;
    pollfd ready{output_, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
    char buffer[4096];
    const ssize_t got = read(output_, buffer, sizeof buffer);
    if (got <= 0) return std::nullopt;
    pending_.append(buffer, static_cast<std::size_t>(got));
  }
}

}  // namespace qb::winetest
