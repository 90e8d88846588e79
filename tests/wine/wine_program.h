#pragma once
// A program of the Windows build run under Wine on a given X display, in a Wine prefix of the
// tests' own: its standard output read line by line as it comes.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace qb::winetest {

// The Windows build's folder and the Wine prefix these tests use.
std::string windowsBuildFolder();
std::string winePrefix();
// Makes the prefix when it is missing and ends any Wine server left running in it.
bool preparePrefix(std::string* error);
void endWineServer();
// The Windows path Wine gives a Unix path (its Z: drive).
std::string windowsPath(const std::string& unixPath);
// The X window named `title` on `display`, 0 when there is none.
unsigned long windowByTitle(const std::string& display, const std::string& title);

class WineProgram {
 public:
  // Starts `program` (a file name in the Windows build, under tests/win32, or an absolute
  // path) with `args`; `workingFolder` empty keeps this process's.
  WineProgram(const std::string& display, const std::string& program,
              const std::vector<std::string>& args, const std::string& workingFolder = {});
  ~WineProgram();
  WineProgram(const WineProgram&) = delete;
  WineProgram& operator=(const WineProgram&) = delete;

  bool started() const { return pid_ > 0; }
  // The next line of its output, or nothing when none came in time or it ended.
  std::optional<std::string> nextLine(std::chrono::milliseconds wait);
  // Writes a line to its standard input.
  bool send(const std::string& line);
  // Whether it has ended, with its exit status then.
  std::optional<int> ended();

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  int input_ = -1;
  std::optional<int> status_;
  std::string pending_;
};

}  // namespace qb::winetest
