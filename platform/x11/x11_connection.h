#pragma once
// One Xlib connection to the X server, and the trap that turns the X errors of a few requests
// into return values instead of Xlib's default handler, which ends the process.

#include <memory>
#include <string>

#include "common/result.h"

struct _XDisplay;

namespace qb::platform::x11 {

using XId = unsigned long;

class Connection {
 public:
  // Connects to $DISPLAY; a failure says what is needed.
  static Result<std::unique_ptr<Connection>> open();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  _XDisplay* display() const { return dpy_; }
  XId root() const { return root_; }
  int fd() const;
  // What the server lacks for the desktop to work (XTEST, XInput 2.2), or empty.
  std::string missingExtensions() const;

  // Reads the events that arrived (none are selected but the keyboard mapping notices every
  // client receives) so they never pile up. Each keyboard mapping change bumps the generation.
  void drain();
  unsigned keymapGeneration() const { return keymapGeneration_; }

 private:
  explicit Connection(_XDisplay* dpy);
  _XDisplay* dpy_;
  XId root_;
  unsigned keymapGeneration_ = 0;
};

// Catches the X errors raised by the requests a display sends while the trap lives. Traps nest;
// errors of other displays go to the handler that was installed before ours.
class ErrorTrap {
 public:
  explicit ErrorTrap(_XDisplay* dpy);
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;
  // Waits until the server has processed every request so far; the first error code, 0 if none.
  int sync();
  int error() const { return error_; }

 private:
  friend int handleXError(_XDisplay*, void*);
  _XDisplay* dpy_;
  unsigned long firstSerial_;
  int error_ = 0;
  ErrorTrap* outer_;
};

// Installs the process-wide Xlib error handler the traps rely on; errors of our displays that
// no trap expects are ignored rather than ending the program. Idempotent.
void installErrorHandler();

// The reason the X11 desktop cannot run here, or empty when an X server can be reached.
std::string x11Unavailable();

}  // namespace qb::platform::x11
