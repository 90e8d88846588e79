#pragma once
// Record, Stop and Save Macro on the main window.

#include <string>
#include <string_view>

#include "common/file_names.h"

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

}  // namespace qb
