#pragma once
// A private X server for desktop tests: Xvfb on a free display number, with openbox running a
// configuration without key or mouse bindings, and a private folder for the session's files.
// The destructor ends both and removes the folder.

#include <sys/types.h>

#include <memory>
#include <string>

namespace qb::x11test {

class XSession {
 public:
  struct Options {
    bool windowManager = true;
    int width = 1280;
    int height = 1024;
  };
  // Null with `error` set when a server cannot be started.
  static std::unique_ptr<XSession> start(std::string* error, Options options);
  static std::unique_ptr<XSession> start(std::string* error) { return start(error, Options{}); }
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  const std::string& display() const { return display_; }  // ":N"
  const std::string& folder() const { return folder_; }
  // The server's framebuffer, kept by Xvfb in this file (XWD format) as it draws.
  std::string framebufferFile() const { return folder_ + "/Xvfb_screen0"; }
  int width() const { return options_.width; }
  int height() const { return options_.height; }

 private:
  XSession() = default;
  bool startServer(std::string* error);
  bool startWindowManager(std::string* error);

  Options options_;
  std::string display_;
  std::string folder_;
  pid_t server_ = -1;
  pid_t windowManager_ = -1;
};

}  // namespace qb::x11test
