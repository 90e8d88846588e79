#pragma once
// Record, Stop and Save Macro on the main window.

#include <string>
#include <string_view>

namespace qb {

class Program;

class RecordingControl {
 public:
  explicit RecordingControl(Program& program) : program_(program) {}
  void Record();
  void Stop();
  void SaveMacro();

 private:
  Program& program_;
};

// Why a macro name cannot become a file name in the macro folder, or empty when it can.
std::string macroNameProblem(std::string_view fileName);

}  // namespace qb
