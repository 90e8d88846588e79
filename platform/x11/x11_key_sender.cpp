#include "platform/x11/x11_key_sender.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/virtual_keys.h"
#include "platform/x11/key_codes.h"
#include "platform/x11/key_translator.h"

namespace qb::platform::x11 {
namespace {

struct Action {
  enum class Kind : std::uint8_t { Key, LockGroup };
  Kind kind = Kind::Key;
  int value = 0;  // keycode or group
  bool down = false;
};

// Keys bound for the moment and the key events typed while they are bound.
struct Segment {
  std::vector<Action> actions;
  std::map<int, KeySym> bindings;  // spare keycode -> keysym
};

// Where a character is on the keymap: the key, its group, and the modifiers to add.
struct Place {
  int keycode = 0;
  int group = 0;
  unsigned mods = 0;
  int cost = 0;
};

bool isKeypadKeysym(KeySym sym) {
  return sym >= XK_KP_Space && sym <= XK_KP_9;
}

class Planner {
 public:
  Planner(XkbDescPtr xkb, const XkbStateRec& state, const KeyTranslator& translator)
      : xkb_(xkb), state_(state), translator_(translator) {
    findModifierKeys();
    findSpareKeys();
    indexCharacters();
  }

  std::vector<Segment> plan(const KeySequence& keys, bool& complete) {
    complete = true;
    preferCloseSpareKeys(keys);
    segments_.assign(1, Segment{});
    for (const KeyStep& step : keys) {
      switch (step.kind) {
        case KeyStep::Kind::Down: {
          const int kc = keyForVk(step.vk, true);
          if (!kc) {
            complete = false;
            break;
          }
          heldVk_[step.vk] = kc;
          held_.insert(kc);
          key(kc, true);
          break;
        }
        case KeyStep::Kind::Up: {
          int kc = 0;
          if (auto it = heldVk_.find(step.vk); it != heldVk_.end()) {
            kc = it->second;
            heldVk_.erase(it);
          } else {
            kc = keyForVk(step.vk, false);
          }
          if (!kc) {
            complete = false;
            break;
          }
          held_.erase(kc);
          key(kc, false);
          break;
        }
        case KeyStep::Kind::Char:
          if (!typeChar(step.ch)) complete = false;
          break;
      }
    }
    return std::move(segments_);
  }

 private:
  void key(int kc, bool down) { segments_.back().actions.push_back({Action::Kind::Key, kc, down}); }

  void findModifierKeys() {
    for (int kc = xkb_->min_key_code; kc <= xkb_->max_key_code; ++kc) {
      if (XkbKeyNumGroups(xkb_, kc) == 0) continue;
      const KeySym sym = XkbKeySymEntry(xkb_, kc, 0, 0);
      const unsigned modmap = xkb_->map->modmap[kc];
      if (sym == XK_Shift_L && (modmap & ShiftMask) && !shiftKey_) shiftKey_ = kc;
      if (sym == XK_ISO_Level3_Shift && modmap && !level3Key_) {
        level3Key_ = kc;
        level3Mask_ = modmap;
      }
    }
  }

  // The keys bound for a sequence are sent as one range with every key between them: take
  // spare keys that lie close together, so the range is short.
  void preferCloseSpareKeys(const KeySequence& keys) {
    std::set<KeySym> missing;
    for (const KeyStep& step : keys) {
      if (step.kind == KeyStep::Kind::Char && !places_.count(step.ch))
        missing.insert(keysymOfChar(step.ch));
      if (step.kind == KeyStep::Kind::Down && !keyForVk(step.vk, false))
        if (const KeySym sym = keysymOfVk(step.vk)) missing.insert(sym);
    }
    const std::size_t n = std::min(missing.size(), spare_.size());
    if (n < 2) return;
    std::size_t best = 0;
    for (std::size_t i = 1; i + n <= spare_.size(); ++i)
      if (spare_[i + n - 1] - spare_[i] < spare_[best + n - 1] - spare_[best]) best = i;
    std::rotate(spare_.begin(), spare_.begin() + static_cast<std::ptrdiff_t>(best), spare_.end());
  }

  void findSpareKeys() {
    for (int kc = xkb_->min_key_code; kc <= xkb_->max_key_code; ++kc)
      if (XkbKeyNumGroups(xkb_, kc) == 0 && xkb_->map->modmap[kc] == 0) spare_.push_back(kc);
  }

  // The group a key uses while the keyboard's group is `group`.
  int keyGroup(int kc, int group) const {
    const int groups = XkbKeyNumGroups(xkb_, kc);
    if (groups == 0) return 0;
    if (group < groups) return group;
    const unsigned info = XkbKeyGroupInfo(xkb_, kc);
    switch (XkbOutOfRangeGroupAction(info)) {
      case XkbRedirectIntoRange: {
        const int g = XkbOutOfRangeGroupNumber(info);
        return g < groups ? g : 0;
      }
      case XkbClampIntoRange:
        return groups - 1;
      default:
        return group % groups;
    }
  }

  // The modifiers to press for `level` of a key of this type, given the locked modifiers.
  // Caps Lock is left out: a character is typed as a person types it, by its key and Shift,
  // and Caps Lock then changes letters for the macro as it does for the person (as Windows
  // sends keys), whether the macro itself locked it or it was on before.
  std::optional<unsigned> modsForLevel(XkbKeyTypePtr type, int level) const {
    std::vector<unsigned> candidates{0};
    if (shiftKey_) candidates.push_back(ShiftMask);
    if (level3Key_) candidates.push_back(level3Mask_);
    if (shiftKey_ && level3Key_) candidates.push_back(ShiftMask | level3Mask_);
    for (unsigned c : candidates) {
      const unsigned effective = (c | (state_.locked_mods & ~LockMask)) & type->mods.mask;
      int reached = 0;
      for (int i = 0; i < type->map_count; ++i) {
        const XkbKTMapEntryRec& entry = type->map[i];
        if (entry.active && entry.mods.mask == effective) {
          reached = entry.level;
          break;
        }
      }
      if (reached == level) return c;
    }
    return std::nullopt;
  }

  void indexCharacters() {
    for (int kc = xkb_->min_key_code; kc <= xkb_->max_key_code; ++kc) {
      const int groups = XkbKeyNumGroups(xkb_, kc);
      if (xkb_->map->modmap[kc]) continue;  // a modifier key types no character
      for (int g = 0; g < groups; ++g) {
        XkbKeyTypePtr type = XkbKeyKeyType(xkb_, kc, g);
        for (int level = 0; level < type->num_levels; ++level) {
          const KeySym sym = XkbKeySymEntry(xkb_, kc, level, g);
          if (sym == NoSymbol) continue;
          const char32_t ch = xkb_keysym_to_utf32(static_cast<xkb_keysym_t>(sym));
          if (ch == 0) continue;
          const auto mods = modsForLevel(type, level);
          if (!mods) continue;
          const bool otherGroup = keyGroup(kc, state_.group) != g;
          // Fewest modifiers, the current group, and the main keys before the keypad's.
          const int cost =
              std::popcount(*mods) + (otherGroup ? 4 : 0) + (isKeypadKeysym(sym) ? 16 : 0);
          auto it = places_.find(ch);
          if (it == places_.end() || cost < it->second.cost)
            places_[ch] = Place{kc, g, *mods, cost};
        }
      }
    }
  }

  int keyForVk(std::uint16_t vk, bool mayBind) {
    const std::uint16_t left = vk == vk::Shift     ? vk::LShift
                               : vk == vk::Control ? vk::LControl
                               : vk == vk::Menu    ? vk::LMenu
                                                   : vk;
    for (int kc : translator_.keycodesFor(vk)) {
      const auto code = translator_.translate(kc, false, vk == vk::Cancel).vk;
      if (code == vk || code == left) return kc;
    }
    if (!mayBind) return 0;
    const KeySym sym = keysymOfVk(vk);
    return sym ? bind(sym) : 0;
  }

  bool typeChar(char32_t ch) {
    const auto it = places_.find(ch);
    if (it == places_.end()) {
      const int kc = bind(keysymOfChar(ch));
      if (!kc) return false;
      key(kc, true);
      key(kc, false);
      return true;
    }
    const Place& place = it->second;
    std::vector<int> extra;
    const auto heldWith = [&](unsigned mask) {
      for (int kc : held_)
        if (xkb_->map->modmap[kc] & mask) return true;
      return false;
    };
    if ((place.mods & ShiftMask) && !heldWith(ShiftMask)) extra.push_back(shiftKey_);
    if ((place.mods & level3Mask_) && level3Mask_ && !heldWith(level3Mask_))
      extra.push_back(level3Key_);
    const bool lockGroup = keyGroup(place.keycode, state_.group) != place.group;
    if (lockGroup) segments_.back().actions.push_back({Action::Kind::LockGroup, place.group, true});
    for (int kc : extra) key(kc, true);
    key(place.keycode, true);
    key(place.keycode, false);
    for (auto r = extra.rbegin(); r != extra.rend(); ++r) key(*r, false);
    if (lockGroup)
      segments_.back().actions.push_back(
          {Action::Kind::LockGroup, static_cast<int>(state_.locked_group), true});
    return true;
  }

  // A spare keycode carrying `sym` in the current segment; a new segment when all are taken.
  int bind(KeySym sym) {
    for (const auto& [kc, bound] : segments_.back().bindings)
      if (bound == sym) return kc;
    for (int attempt = 0; attempt < 2; ++attempt) {
      for (int kc : spare_) {
        if (held_.count(kc)) continue;
        if (segments_.back().bindings.count(kc)) continue;
        segments_.back().bindings[kc] = sym;
        return kc;
      }
      if (segments_.back().bindings.empty()) return 0;  // no spare keycode at all
      segments_.push_back(Segment{});
    }
    return 0;
  }

  XkbDescPtr xkb_;
  const XkbStateRec& state_;
  const KeyTranslator& translator_;
  int shiftKey_ = 0;
  int level3Key_ = 0;
  unsigned level3Mask_ = 0;
  std::vector<int> spare_;
  std::unordered_map<char32_t, Place> places_;
  std::vector<Segment> segments_;
  std::set<int> held_;
  std::map<std::uint16_t, int> heldVk_;
};

// Gives the spare keys their symbols (or takes them away again) in one XKB map change. Only
// the keys between the first and last spare key are sent, exactly as read, so no other key
// changes.
void rebind(Display* dpy, XkbDescPtr xkb, const std::map<int, KeySym>& bindings, bool bound) {
  XkbMapChangesRec changes{};
  for (const auto& [kc, sym] : bindings) {
    int types[XkbNumKbdGroups] = {XkbTwoLevelIndex, XkbTwoLevelIndex, XkbTwoLevelIndex,
                                  XkbTwoLevelIndex};
    XkbChangeTypesOfKey(xkb, kc, bound ? 1 : 0, XkbGroup1Mask, types, &changes);
    if (bound) {
      KeySym* syms = XkbKeySymsPtr(xkb, kc);
      syms[0] = syms[1] = sym;  // the same on both levels: Shift held changes nothing
    }
  }
  changes.changed = XkbKeySymsMask;
  changes.first_key_sym = static_cast<KeyCode>(bindings.begin()->first);
  changes.num_key_syms =
      static_cast<unsigned char>(bindings.rbegin()->first - bindings.begin()->first + 1);
  XkbChangeMap(dpy, xkb, &changes);
}

}  // namespace

bool X11KeySender::send(const KeySequence& keys, std::string_view text, bool waitUntilProcessed) {
  (void)text;
  if (keys.empty()) return true;
  Display* dpy = connection_.display();
  connection_.drain();
  XkbDescPtr xkb =
      XkbGetMap(dpy, XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask, XkbUseCoreKbd);
  if (!xkb) return false;
  XkbStateRec state{};
  XkbGetState(dpy, XkbUseCoreKbd, &state);
  KeyTranslator translator;
  translator.load(dpy);

  bool complete = true;
  std::vector<Segment> segments = Planner(xkb, state, translator).plan(keys, complete);

  const bool syncForGuard = guard_ && guard_->ownInputStarts();
  for (const Segment& segment : segments) {
    if (!segment.bindings.empty()) rebind(dpy, xkb, segment.bindings, true);
    for (const Action& action : segment.actions) {
      if (action.kind == Action::Kind::LockGroup)
        XkbLockGroup(dpy, XkbUseCoreKbd, static_cast<unsigned>(action.value));
      else if (!XTestFakeKeyEvent(dpy, static_cast<unsigned>(action.value), action.down,
                                  CurrentTime))
        complete = false;
    }
    if (!segment.bindings.empty()) {
      XSync(dpy, False);
      std::this_thread::sleep_for(std::chrono::milliseconds(kRebindPauseMs));
      rebind(dpy, xkb, segment.bindings, false);
    }
  }
  if (waitUntilProcessed || syncForGuard)
    XSync(dpy, False);
  else
    XFlush(dpy);
  if (guard_) guard_->ownInputEnds();
  XkbFreeKeyboard(xkb, 0, True);
  return complete;
}

}  // namespace qb::platform::x11
