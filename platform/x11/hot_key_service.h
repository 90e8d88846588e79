#pragma once
// The hot key service: desktops do not read the hot key the shortcut maker writes into a
// desktop entry (X-Quillbarrow-HotKey), so this small X client grabs the keys of every such
// entry in the shortcut folders and starts the entry's program when its key is pressed. One
// instance runs per display; it owns the selection kHotKeyServiceSelection and keeps on the
// owner window, in kHotKeyStatusProperty, a line per entry saying whether its key works:
//   STATE <tab> HOT KEY <tab> ENTRY FILE
// with STATE one of the HotKeyState names. The folders are watched with inotify, so a new,
// changed or removed entry takes effect at once. The header stays free of Xlib's macros.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _XDisplay;

namespace qb::platform::x11 {

inline constexpr std::string_view kHotKeyServiceProgram = "quillbarrow-hotkeys";
inline constexpr const char* kHotKeyServiceSelection = "_QUILLBARROW_HOTKEYS";
inline constexpr const char* kHotKeyStatusProperty = "_QUILLBARROW_HOTKEYS_STATUS";
inline constexpr std::string_view kHotKeyEntryKey = "X-Quillbarrow-HotKey";

enum class HotKeyState {
  Ok,          // grabbed: pressing it starts the entry's program
  Taken,       // another program holds the combination
  Shared,      // an entry earlier in the folders (by path) has the same combination
  UnknownKey,  // the keyboard has no such key, or the text is no hot key
  BadEntry,    // the entry names no program
};
std::string_view hotKeyStateName(HotKeyState state);

// One entry's line of the status property.
struct HotKeyStatusLine {
  std::string state, hotKey, path;
};
std::vector<HotKeyStatusLine> parseHotKeyStatus(std::string_view text);

class HotKeyService {
 public:
  // Connects to $DISPLAY and becomes the display's service. Null with `error` set when it cannot;
  // `alreadyRunning` tells when another instance is the service.
  static std::unique_ptr<HotKeyService> start(std::vector<std::string> folders, std::string* error,
                                              bool* alreadyRunning);
  ~HotKeyService();
  HotKeyService(const HotKeyService&) = delete;
  HotKeyService& operator=(const HotKeyService&) = delete;

  // Serves until the X connection ends or another client takes the selection; the exit status.
  int run();

 private:
  struct Impl;
  explicit HotKeyService(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// Asks the display's service: whether one runs, and the state of an entry's hot key once the
// service has read the entry with that hot key text (none until then).
bool hotKeyServiceRunning(_XDisplay* dpy);
std::optional<std::string> hotKeyServiceState(_XDisplay* dpy, const std::string& entryPath,
                                              const std::string& hotKey);

}  // namespace qb::platform::x11
