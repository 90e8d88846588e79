#pragma once
// Record, Stop and Save Macro on the main window.

#include <string>
#include <string_view>

#include "common/file_names.h"
#include "platform/desktop.h"
#include "record/mouse_capture.h"
#include "record/record_host.h"

namespace qb {

class RecordingControl {
 public:
  RecordingControl(platform::Desktop& desktop, RecordHost& host, MouseCapture& mouse)
      : desktop_(desktop), host_(host), mouse_(mouse) {}
  void Record();
  void Stop();
  void SaveMacro();

 private:
  platform::Desktop& desktop_;
  RecordHost& host_;
  MouseCapture& mouse_;
};

}  // namespace qb
