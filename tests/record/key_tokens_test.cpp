// The tokens the recorder writes into key lines, played back through the key-string parser the
// player uses for them.

#include "record/key_tokens.h"

#include <gtest/gtest.h>

#include "platform/virtual_keys.h"
#include "record/keyboard_hook.h"
#include "script/send_keys.h"

namespace qb {
namespace {

namespace vk = platform::vk;

using platform::KeySequence;
using platform::KeyStep;

KeySequence played(std::uint16_t key) {
  const std::string token = KeyboardHook::KeyToken(key);
  const ParsedKeys parsed = parseKeyString(token);
  EXPECT_TRUE(parsed.ok()) << token << ": " << (parsed ? "" : parsed.error().describe());
  return parsed.value_or(KeySequence{});
}

KeySequence pressOf(std::uint16_t key) {
  return {{KeyStep::Kind::Down, key, 0}, {KeyStep::Kind::Up, key, 0}};
}

KeySequence typed(char32_t ch) {
  return {{KeyStep::Kind::Char, 0, ch}};
}

// Keys recorded as the character they type rather than as themselves: what plays back is that
// character, by whatever key the layout has for it.
struct TextKey {
  std::uint16_t key;
  char32_t typed;
};
constexpr TextKey kRecordedAsText[] = {
    // The punctuation keys, as a US layout prints them.
    {vk::OemMinus, '-'},
    {vk::OemPlus, '='},
    {vk::OemPeriod, '.'},
    {vk::Oem2, '/'},
    {vk::Oem5, '\\'},
    {vk::Oem4, '['},
    {vk::Oem6, ']'},
    {vk::Oem1, ';'},
    {vk::Oem7, '\''},
    {vk::OemComma, ','},
    {vk::Oem3, '`'},
    // Keys without a row: the key code's own character in the 8-bit code page, whatever it is.
    {vk::Numpad0, '`'},
    {vk::Numpad1, 'a'},
    {vk::Numpad9, 'i'},
    {vk::F13, '|'},
    {vk::NumLock, 0x90},
};

bool recordedAsText(std::uint16_t key) {
  for (const TextKey& text : kRecordedAsText)
    if (text.key == key) return true;
  return false;
}

TEST(KeyTokens, EveryTokenPlaysBackAsTheKeyThatWroteIt) {
  for (const KeyTokenRow& row : keyTokenRows()) {
    if (recordedAsText(row.key)) continue;
    EXPECT_EQ(played(row.key), pressOf(row.key)) << row.token;
  }
  // Letters, digits and Space have no row: their virtual key is their own character.
  std::vector<std::uint16_t> ownCharacters{vk::Space};
  for (char c = 'A'; c <= 'Z'; ++c) ownCharacters.push_back(static_cast<std::uint16_t>(c));
  for (char c = '0'; c <= '9'; ++c) ownCharacters.push_back(static_cast<std::uint16_t>(c));
  for (const std::uint16_t key : ownCharacters) {
    EXPECT_EQ(findKeyToken(key), nullptr) << key;
    EXPECT_EQ(played(key), typed(key)) << key;
  }
}

TEST(KeyTokens, KeysRecordedAsTextPlayBackTheirCharacter) {
  for (const auto& [key, character] : kRecordedAsText)
    EXPECT_EQ(played(key), typed(character)) << key;
}

TEST(KeyTokens, EveryKeyIsWrittenAsOneBracedKeyThePlayerReads) {
  // A token the parser refused would make the player skip the whole line.
  for (int code = 1; code <= 0xFF; ++code) {
    const auto key = static_cast<std::uint16_t>(code);
    const std::string token = KeyboardHook::KeyToken(key);
    EXPECT_TRUE(token.size() >= 3 && token.front() == '{' && token.back() == '}') << code;
    const KeySequence keys = played(key);
    const bool oneCharacter = keys.size() == 1 && keys[0].kind == KeyStep::Kind::Char;
    const bool onePress = keys.size() == 2 && keys == pressOf(keys[0].vk);
    EXPECT_TRUE(oneCharacter || onePress) << code << " " << token;
  }
}

}  // namespace
}  // namespace qb
