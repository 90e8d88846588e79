#pragma once
// Key sequences as the player sends them: every Down is matched by a later Up of the same key.

#include <cstdint>
#include <map>
#include <string>

#include "platform/input.h"

namespace qb::fuzz {

// How often each key is held down. Applies `keys` and returns an empty text, or what went
// wrong: an Up of a key that is not held.
inline std::string applyKeys(const platform::KeySequence& keys,
                             std::map<std::uint16_t, int>& held) {
  using Kind = platform::KeyStep::Kind;
  for (const auto& step : keys) {
    if (step.kind == Kind::Down) ++held[step.vk];
    if (step.kind == Kind::Up && --held[step.vk] < 0)
      return "key " + std::to_string(step.vk) + " released without being pressed";
  }
  return {};
}

// The keys still held, as text; empty when every key is up.
inline std::string stillHeld(const std::map<std::uint16_t, int>& held) {
  std::string out;
  for (const auto& [vk, count] : held)
    if (count != 0) out += "key " + std::to_string(vk) + " held " + std::to_string(count) + "x; ";
  return out;
}

}  // namespace qb::fuzz
