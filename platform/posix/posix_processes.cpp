#include "platform/posix/posix_processes.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>

#include "platform/posix/command_line.h"

extern char** environ;

namespace qb::platform::x11 {
namespace {

bool isExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// The names of the variables this program set for itself, with the values it set.
std::mutex ownEnvironmentMutex;
std::set<std::pair<std::string, std::string>>& ownEnvironment() {
  static std::set<std::pair<std::string, std::string>> variables;
  return variables;
}

}  // namespace

void setOwnDefaultEnvironment(const char* name, const char* value) {
  if (std::getenv(name)) return;  // the user's own choice, which children inherit
  ::setenv(name, value, 1);
  std::lock_guard lock(ownEnvironmentMutex);
  ownEnvironment().emplace(name, value);
}

std::vector<std::string> childEnvironment() {
  std::lock_guard lock(ownEnvironmentMutex);
  std::vector<std::string> result;
  for (char** entry = environ; entry && *entry; ++entry) {
    const std::string_view text(*entry);
    const auto eq = text.find('=');
    // A value we set and that nobody changed since is ours; anything else is the user's.
    if (eq != std::string_view::npos &&
        ownEnvironment().count({std::string(text.substr(0, eq)), std::string(text.substr(eq + 1))}))
      continue;
    result.emplace_back(text);
  }
  return result;
}

Result<std::string> findProgram(const std::string& name) {
  if (name.empty()) return fail("the command line names no program");
  if (name.find('/') != std::string::npos) {
    if (isExecutableFile(name)) return name;
    return fail(exists(name) ? "\"" + name + "\" is not an executable program"
                             : "program \"" + name + "\" not found");
  }
  const char* env = std::getenv("PATH");
  const std::string path = env && *env ? env : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    const std::string dir = end > start ? path.substr(start, end - start) : ".";
    const std::string candidate = dir + "/" + name;
    if (isExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return fail("program \"" + name + "\" not found on the PATH");
}

Result<> spawnDetached(const std::vector<std::string>& argv, const std::string& workingFolder) {
  if (argv.empty()) return fail("the command line names no program");
  const auto found = findProgram(argv[0]);
  if (!found) return found.error();
  const std::string& program = *found;
  // Everything the children need is prepared before fork: after it, only async-signal-safe
  // calls are allowed.
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const std::vector<std::string> environment = childEnvironment();
  std::vector<char*> envp;
  for (const auto& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  // The report pipe says which step failed: 0 the working folder, 1 the program.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0)
    return fail(std::string("cannot create a pipe: ") + std::strerror(errno));
  const pid_t child = ::fork();
  if (child < 0) {
    const int e = errno;
    ::close(report[0]);
    ::close(report[1]);
    return fail(std::string("cannot fork: ") + std::strerror(e));
  }
  if (child == 0) {
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    const int devnull = ::open("/dev/null", O_RDONLY);
    if (devnull >= 0) ::dup2(devnull, 0);
    ::close_range(3, ~0u, CLOSE_RANGE_CLOEXEC);  // our X connections stay with us
    int failure[2] = {0, 0};
    if (!workingFolder.empty() && ::chdir(workingFolder.c_str()) != 0) {
      failure[1] = errno;
    } else {
      ::execve(program.c_str(), args.data(), envp.data());
      failure[0] = 1;
      failure[1] = errno;
    }
    [[maybe_unused]] const auto written = ::write(report[1], failure, sizeof failure);
    ::_exit(127);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  // The pipe closes without data when exec succeeds, carries the step and errno when it fails.
  int failure[2] = {0, 0};
  ssize_t got = 0;
  do {
    got = ::read(report[0], failure, sizeof failure);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return fail("cannot start \"" + argv[0] + "\": no process could be created");
  if (got == static_cast<ssize_t>(sizeof failure))
    return fail(failure[0] ? "cannot start \"" + program + "\": " + std::strerror(failure[1])
                           : "cannot enter the folder \"" + workingFolder +
                                 "\": " + std::strerror(failure[1]));
  return {};
}

Result<> PosixProcesses::start(std::string_view commandLine) {
  const auto cannotRun = [&](const std::string& why) {
    return fail("Cannot run \"" + std::string(commandLine) + "\": " + why);
  };
  auto argv = splitCommandLine(commandLine);
  if (!argv) return cannotRun(argv.message());
  if (argv->empty()) return cannotRun("the command line names no program");
  if (argv->size() == 1 && !isExecutableFile((*argv)[0]) && exists((*argv)[0]) &&
      (*argv)[0].find('/') != std::string::npos)
    *argv = std::vector<std::string>{"xdg-open", (*argv)[0]};
  if (auto spawned = spawnDetached(*argv); !spawned) return cannotRun(spawned.message());
  return {};
}

}  // namespace qb::platform::x11
