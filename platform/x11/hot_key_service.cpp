#include "platform/x11/hot_key_service.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "common/file_io.h"
#include "platform/posix/desktop_entry_reader.h"
#include "platform/posix/posix_processes.h"
#include "platform/x11/hot_key_grabber.h"
#include "platform/x11/x11_connection.h"

namespace qb::platform::x11 {
namespace {

namespace fs = std::filesystem;

struct Entry {
  std::string path;
  std::string hotKey;
  std::vector<std::string> argv;
  std::string workingFolder;
  HotKeyState state = HotKeyState::Ok;
};

// Owner of the service selection, None when no service runs.
Window serviceOwner(Display* dpy) {
  return XGetSelectionOwner(dpy, XInternAtom(dpy, kHotKeyServiceSelection, False));
}

}  // namespace

std::string_view hotKeyStateName(HotKeyState state) {
  switch (state) {
    case HotKeyState::Ok:
      return "ok";
    case HotKeyState::Taken:
      return "taken";
    case HotKeyState::Shared:
      return "shared";
    case HotKeyState::UnknownKey:
      return "unknown-key";
    case HotKeyState::BadEntry:
      return "bad-entry";
  }
  return "ok";
}

std::vector<HotKeyStatusLine> parseHotKeyStatus(std::string_view text) {
  std::vector<HotKeyStatusLine> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    const auto tab1 = line.find('\t');
    const auto tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos) continue;
    lines.push_back({std::string(line.substr(0, tab1)),
                     std::string(line.substr(tab1 + 1, tab2 - tab1 - 1)),
                     std::string(line.substr(tab2 + 1))});
  }
  return lines;
}

struct HotKeyService::Impl {
  Display* dpy = nullptr;
  Window window = 0;
  Atom statusAtom = 0, utf8Atom = 0;
  std::unique_ptr<HotKeyGrabber> grabber;
  std::vector<std::string> folders;
  std::vector<int> watches;  // per folder; -1 while the folder cannot be watched
  int inotifyFd = -1;
  std::vector<Entry> entries;

  ~Impl() {
    grabber.reset();
    if (inotifyFd >= 0) ::close(inotifyFd);
    if (dpy) XCloseDisplay(dpy);
  }

  // Watches the folders not watched yet; whether one was added.
  bool watchFolders() {
    bool added = false;
    constexpr std::uint32_t mask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE |
                                   IN_CREATE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
    for (std::size_t i = 0; i < folders.size(); ++i) {
      if (watches[i] >= 0) continue;
      watches[i] = inotify_add_watch(inotifyFd, folders[i].c_str(), mask);
      added |= watches[i] >= 0;
    }
    return added;
  }

  bool allWatched() const {
    return std::all_of(watches.begin(), watches.end(), [](int w) { return w >= 0; });
  }

  // Reads what inotify says; whether an entry file or a folder changed.
  bool readChanges() {
    bool changed = false;
    alignas(inotify_event) char buffer[8192];
    for (;;) {
      const ssize_t got = ::read(inotifyFd, buffer, sizeof buffer);
      if (got <= 0) break;
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        if (event->mask & IN_IGNORED) {
          // The folder went away; it is watched again once it is back.
          std::replace(watches.begin(), watches.end(), event->wd, -1);
          changed = true;
          continue;
        }
        const std::string_view name = event->len ? event->name : "";
        changed |= name.empty() || (name.size() > 8 && name.substr(name.size() - 8) == ".desktop");
      }
    }
    return changed;
  }

  std::vector<Entry> findEntries() const {
    std::vector<Entry> found;
    for (const auto& folder : folders) {
      std::error_code ec;
      std::vector<std::string> paths;
      for (const auto& item : fs::directory_iterator(folder, ec)) {
        const std::string path = item.path().string();
        if (path.size() > 8 && path.substr(path.size() - 8) == ".desktop" &&
            item.is_regular_file(ec))
          paths.push_back(path);
      }
      std::sort(paths.begin(), paths.end());
      for (const auto& path : paths) {
        const auto text = readWholeFile(path);
        if (!text) continue;
        auto keys = desktopEntryKeys(*text);
        const auto hotKey = keys.find(std::string(kHotKeyEntryKey));
        if (hotKey == keys.end() || hotKey->second.empty()) continue;
        Entry entry{path, hotKey->second, {}, keys["Path"], HotKeyState::Ok};
        if (auto argv = desktopExecArguments(keys["Exec"]); argv && !argv->empty())
          entry.argv = std::move(*argv);
        else
          entry.state = HotKeyState::BadEntry;
        found.push_back(std::move(entry));
      }
    }
    return found;
  }

  void refresh() {
    grabber->ungrabAll();
    entries = findEntries();
    std::string status;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      Entry& entry = entries[i];
      if (entry.state == HotKeyState::Ok) {
        const auto combination = parseHotKeyText(entry.hotKey);
        if (!combination) {
          entry.state = HotKeyState::UnknownKey;
        } else {
          switch (grabber->grab(*combination, static_cast<int>(i))) {
            case HotKeyGrabber::Result::Grabbed:
              break;
            case HotKeyGrabber::Result::Taken:
              entry.state = HotKeyState::Taken;
              break;
            case HotKeyGrabber::Result::SameAsEarlier:
              entry.state = HotKeyState::Shared;
              break;
            case HotKeyGrabber::Result::UnknownKey:
              entry.state = HotKeyState::UnknownKey;
              break;
          }
        }
      }
      status += std::string(hotKeyStateName(entry.state)) + "\t" + entry.hotKey + "\t" +
                entry.path + "\n";
    }
    XChangeProperty(dpy, window, statusAtom, utf8Atom, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(status.data()),
                    static_cast<int>(status.size()));
    XFlush(dpy);
  }

  void launch(const Entry& entry) {
    if (const auto spawned = spawnDetached(entry.argv, entry.workingFolder); !spawned)
      std::cerr << kHotKeyServiceProgram << ": the hot key " << entry.hotKey << " of " << entry.path
                << " could not start its program: " << spawned.message() << "\n";
  }

  // Handles the events that have come; false when the service must end.
  bool handleEvents() {
    while (XPending(dpy) > 0) {
      XEvent event;
      XNextEvent(dpy, &event);
      if (event.type == SelectionClear) return false;
      if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        grabber->refreshKeymap();
        refresh();
        continue;
      }
      if (const auto id = grabber->match(event)) launch(entries[static_cast<std::size_t>(*id)]);
    }
    return true;
  }
};

HotKeyService::HotKeyService(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
HotKeyService::~HotKeyService() = default;

std::unique_ptr<HotKeyService> HotKeyService::start(std::vector<std::string> folders,
                                                    std::string* error, bool* alreadyRunning) {
  if (alreadyRunning) *alreadyRunning = false;
  auto impl = std::make_unique<Impl>();
  impl->dpy = XOpenDisplay(nullptr);
  if (!impl->dpy) {
    const char* display = std::getenv("DISPLAY");
    if (error)
      *error = std::string("cannot open the X display \"") + (display ? display : "") + "\"";
    return nullptr;
  }
  Display* dpy = impl->dpy;
  installErrorHandler();
  const Atom selection = XInternAtom(dpy, kHotKeyServiceSelection, False);
  impl->statusAtom = XInternAtom(dpy, kHotKeyStatusProperty, False);
  impl->utf8Atom = XInternAtom(dpy, "UTF8_STRING", False);
  impl->window = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), -10, -10, 1, 1, 0, 0, 0);
  // Looking and taking under a server grab: of two services started at once, one wins.
  XGrabServer(dpy);
  const bool taken = XGetSelectionOwner(dpy, selection) != None;
  if (!taken) XSetSelectionOwner(dpy, selection, impl->window, CurrentTime);
  XUngrabServer(dpy);
  XSync(dpy, False);
  if (taken || XGetSelectionOwner(dpy, selection) != impl->window) {
    if (alreadyRunning) *alreadyRunning = true;
    if (error) *error = "the hot key service already runs on this display";
    return nullptr;
  }
  impl->inotifyFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (impl->inotifyFd < 0) {
    if (error) *error = "cannot watch the shortcut folders (inotify)";
    return nullptr;
  }
  impl->folders = std::move(folders);
  impl->watches.assign(impl->folders.size(), -1);
  impl->grabber = std::make_unique<HotKeyGrabber>(dpy);
  return std::unique_ptr<HotKeyService>(new HotKeyService(std::move(impl)));
}

int HotKeyService::run() {
  Impl& s = *impl_;
  s.watchFolders();
  s.refresh();
  for (;;) {
    if (!s.handleEvents()) return 0;
    pollfd fds[2] = {{ConnectionNumber(s.dpy), POLLIN, 0}, {s.inotifyFd, POLLIN, 0}};
    // A folder that does not exist yet is looked for again every two seconds.
    const int ready = ::poll(fds, 2, s.allWatched() ? -1 : 2000);
    if (ready < 0 && errno != EINTR) return 1;
    if (fds[0].revents & (POLLERR | POLLHUP)) return 0;
    bool changed = s.watchFolders();
    if (fds[1].revents & POLLIN) {
      changed |= s.readChanges();
      // A burst of changes (a file written, then renamed) is read as one.
      pollfd more{s.inotifyFd, POLLIN, 0};
      while (::poll(&more, 1, 50) > 0) changed |= s.readChanges();
    }
    if (changed) s.refresh();
  }
}

bool hotKeyServiceRunning(_XDisplay* dpy) {
  return serviceOwner(dpy) != None;
}

std::optional<std::string> hotKeyServiceState(_XDisplay* dpy, const std::string& entryPath,
                                              const std::string& hotKey) {
  const Window owner = serviceOwner(dpy);
  if (owner == None) return std::nullopt;
  Atom type = None;
  int format = 0;
  unsigned long items = 0, remaining = 0;
  unsigned char* data = nullptr;
  std::string text;
  {
    ErrorTrap trap(dpy);  // the service may end in between
    if (XGetWindowProperty(dpy, owner, XInternAtom(dpy, kHotKeyStatusProperty, False), 0, 1 << 20,
                           False, AnyPropertyType, &type, &format, &items, &remaining,
                           &data) == Success &&
        data && format == 8)
      text.assign(reinterpret_cast<const char*>(data), items);
    if (data) XFree(data);
    trap.sync();
  }
  for (const auto& line : parseHotKeyStatus(text))
    if (line.path == entryPath && line.hotKey == hotKey) return line.state;
  return std::nullopt;
}

}  // namespace qb::platform::x11
