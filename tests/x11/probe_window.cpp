// A small X client for the desktop tests, independent of the code under test: it opens one
// window and writes what it receives to a log file, one line per event, flushed at once.
//
//   qb_x11_probe LOG TITLE [--wm-name-only] [--at X Y] [--focus-on-click]
//
// Lines: "ready WINDOW", "focus-in", "focus-out", "key-press KEYCODE KEYSYM TEXT-HEX",
// "key-release KEYCODE KEYSYM", "button-press BUTTON X Y TIME", "button-release BUTTON X Y TIME"
// (the server's time), "mapping REQUEST FIRST-KEYCODE COUNT", "paste TEXT-HEX". The title goes to
// _NET_WM_NAME and WM_NAME, or with --wm-name-only to WM_NAME alone (converted from UTF-8 by Xlib).
// Ctrl+V pastes as an editor does: it asks the clipboard's owner for its text and logs it.
// With --focus-on-click a click gives the window the keyboard focus, as on a click-to-focus
// desktop (the tests' window manager has no mouse bindings).

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string hex(const char* bytes, int length) {
  std::string out;
  char buf[3];
  for (int i = 0; i < length; ++i) {
    std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(bytes[i]));
    out += buf;
  }
  return out.empty() ? "-" : out;
}

const char* symName(KeySym sym) {
  const char* name = XKeysymToString(sym);
  return name ? name : "NoSymbol";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s LOG TITLE [--wm-name-only] [--at X Y]\n", argv[0]);
    return 2;
  }
  std::FILE* log = std::fopen(argv[1], "a");
  if (!log) return 2;
  const char* title = argv[2];
  bool wmNameOnly = false;
  bool focusOnClick = false;
  int x = 50, y = 50;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--wm-name-only") == 0) wmNameOnly = true;
    if (std::strcmp(argv[i], "--focus-on-click") == 0) focusOnClick = true;
    if (std::strcmp(argv[i], "--at") == 0 && i + 2 < argc) {
      x = std::atoi(argv[i + 1]);
      y = std::atoi(argv[i + 2]);
      i += 2;
    }
  }
  std::setlocale(LC_ALL, "C.UTF-8");
  XSetLocaleModifiers("@im=none");
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return 3;
  const Window window = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), x, y, 320, 200, 0, 0,
                                            WhitePixel(dpy, DefaultScreen(dpy)));
  XSelectInput(dpy, window,
               KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                   FocusChangeMask | StructureNotifyMask | ExposureMask);
  char* name = const_cast<char*>(title);
  Xutf8SetWMProperties(dpy, window, name, name, nullptr, 0, nullptr, nullptr, nullptr);
  if (!wmNameOnly)
    XChangeProperty(dpy, window, XInternAtom(dpy, "_NET_WM_NAME", False),
                    XInternAtom(dpy, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title),
                    static_cast<int>(std::strlen(title)));
  XWMHints hints{};
  hints.flags = InputHint;
  hints.input = True;
  XSetWMHints(dpy, window, &hints);
  XIM im = XOpenIM(dpy, nullptr, nullptr, nullptr);
  XIC ic = im ? XCreateIC(im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                          window, XNFocusWindow, window, nullptr)
              : nullptr;
  const Atom clipboard = XInternAtom(dpy, "CLIPBOARD", False);
  const Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
  const Atom pasted = XInternAtom(dpy, "QB_PROBE_PASTE", False);
  XMapWindow(dpy, window);
  bool announced = false;
  for (;;) {
    XEvent event;
    XNextEvent(dpy, &event);
    if (XFilterEvent(&event, None)) continue;
    switch (event.type) {
      case MapNotify:
        if (!announced) {
          std::fprintf(log, "ready %lu\n", window);
          announced = true;
        }
        break;
      case FocusIn:
        std::fprintf(log, "focus-in\n");
        break;
      case FocusOut:
        std::fprintf(log, "focus-out\n");
        break;
      case MappingNotify:
        XRefreshKeyboardMapping(&event.xmapping);
        std::fprintf(log, "mapping %d %d %d\n", event.xmapping.request,
                     event.xmapping.first_keycode, event.xmapping.count);
        break;
      case KeyPress: {
        char text[64] = {};
        KeySym sym = NoSymbol;
        Status status = 0;
        int length = ic ? Xutf8LookupString(ic, &event.xkey, text, sizeof text - 1, &sym, &status)
                        : XLookupString(&event.xkey, text, sizeof text - 1, &sym, nullptr);
        if (length < 0) length = 0;
        std::fprintf(log, "key-press %u %s %s\n", event.xkey.keycode, symName(sym),
                     hex(text, length).c_str());
        if ((sym == XK_v || sym == XK_V) && (event.xkey.state & ControlMask))
          XConvertSelection(dpy, clipboard, utf8, pasted, window, event.xkey.time);
        break;
      }
      case SelectionNotify: {
        std::string text;
        if (event.xselection.property != None) {
          Atom type = None;
          int format = 0;
          unsigned long items = 0, after = 0;
          unsigned char* data = nullptr;
          if (XGetWindowProperty(dpy, window, pasted, 0, 65536, True, AnyPropertyType, &type,
                                 &format, &items, &after, &data) == Success &&
              data) {
            text.assign(reinterpret_cast<const char*>(data), items);
            XFree(data);
          }
        }
        std::fprintf(log, "paste %s\n", hex(text.data(), static_cast<int>(text.size())).c_str());
        break;
      }
      case KeyRelease: {
        const KeySym sym = XLookupKeysym(&event.xkey, 0);
        std::fprintf(log, "key-release %u %s\n", event.xkey.keycode, symName(sym));
        break;
      }
      case ButtonPress:
        if (focusOnClick) XSetInputFocus(dpy, window, RevertToParent, event.xbutton.time);
        [[fallthrough]];
      case ButtonRelease:
        std::fprintf(
            log, "%s %u %d %d %lu\n", event.type == ButtonPress ? "button-press" : "button-release",
            event.xbutton.button, event.xbutton.x_root, event.xbutton.y_root, event.xbutton.time);
        break;
      default:
        break;
    }
    std::fflush(log);
  }
}
