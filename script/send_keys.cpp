#include "script/send_keys.h"

#include <array>
#include <utility>
#include <vector>

#include "common/text.h"
#include "platform/virtual_keys.h"

namespace qb {
namespace {

namespace vk = platform::vk;

using platform::KeySequence;
using platform::KeyStep;

struct NamedKey {
  std::string_view name;
  std::uint16_t vk;
};

constexpr std::array kNamedKeys{
    NamedKey{"BACKSPACE", vk::Back},
    NamedKey{"BKSP", vk::Back},
    NamedKey{"BS", vk::Back},
    NamedKey{"BREAK", vk::Pause},
    NamedKey{"CAPSLOCK", vk::Capital},
    NamedKey{"DEL", vk::Delete},
    NamedKey{"DELETE", vk::Delete},
    NamedKey{"DOWN", vk::Down},
    NamedKey{"END", vk::End},
    NamedKey{"ENTER", vk::Return},
    NamedKey{"ESC", vk::Escape},
    NamedKey{"ESCAPE", vk::Escape},
    NamedKey{"HELP", vk::Help},
    NamedKey{"HOME", vk::Home},
    NamedKey{"INS", vk::Insert},
    NamedKey{"INSERT", vk::Insert},
    NamedKey{"LEFT", vk::Left},
    NamedKey{"NUMLOCK", vk::NumLock},
    NamedKey{"PGDN", vk::Next},
    NamedKey{"PGUP", vk::Prior},
    NamedKey{"PRTSC", vk::Snapshot},
    NamedKey{"RIGHT", vk::Right},
    NamedKey{"SCROLLLOCK", vk::Scroll},
    NamedKey{"TAB", vk::Tab},
    NamedKey{"UP", vk::Up},
    NamedKey{"ADD", vk::Add},
    NamedKey{"SUBTRACT", vk::Subtract},
    NamedKey{"MULTIPLY", vk::Multiply},
    NamedKey{"DIVIDE", vk::Divide},
};

// Decodes one character at `at`: a UTF-8 sequence when the bytes form one, else the byte
// itself (the 8-bit code page's character of that code).
char32_t decodeChar(std::string_view text, std::size_t at, std::size_t& length) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  length = 1;
  const std::size_t extra = lead >= 0xF0 && lead < 0xF5   ? 3
                            : lead >= 0xE0 && lead < 0xF0 ? 2
                            : lead >= 0xC2 && lead < 0xE0 ? 1
                                                          : 0;
  if (extra == 0 || at + extra >= text.size()) return lead;
  char32_t cp = lead & (0x3F >> extra);
  for (std::size_t i = 1; i <= extra; ++i) {
    const unsigned char next = byte(at + i);
    if ((next & 0xC0) != 0x80) return lead;
    cp = (cp << 6) | (next & 0x3F);
  }
  if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return lead;
  length = extra + 1;
  return cp;
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  ParsedKeys run() {
    parseSequence(false);
    if (error_) return std::move(*error_);
    return std::move(out_);
  }

 private:
  struct Key {
    bool isChar = false;
    std::uint16_t vk = 0;
    char32_t ch = 0;
  };

  void fail(std::size_t at, std::string message) {
    if (!error_) error_ = KeyStringError{at + 1, std::move(message)};
  }

  // Parses keys until the end, or until the ")" that closes a group when `inGroup`.
  void parseSequence(bool inGroup) {
    std::vector<std::uint16_t> modifiers;
    std::size_t modifierAt = 0;
    while (pos_ < text_.size() && !error_) {
      const char c = text_[pos_];
      if (c == '+' || c == '^' || c == '%') {
        if (modifiers.empty()) modifierAt = pos_;
        const std::uint16_t code = c == '+' ? vk::Shift : c == '^' ? vk::Control : vk::Menu;
        bool already = false;
        for (auto m : modifiers) already = already || m == code;
        if (!already) modifiers.push_back(code);
        ++pos_;
        continue;
      }
      if (c == ')') {
        if (!inGroup) return fail(pos_, "\")\" without an opening \"(\"");
        if (!modifiers.empty()) return fail(modifierAt, "modifier without a key before \")\"");
        return;
      }
      press(modifiers);
      if (c == '(') {
        if (depth_ == kMaxGroupDepth) return fail(pos_, "groups nested too deeply");
        const std::size_t open = pos_++;
        ++depth_;
        parseSequence(true);
        --depth_;
        if (error_) return;
        if (pos_ >= text_.size()) return fail(open, "\"(\" is never closed");
        ++pos_;  // the ")"
      } else {
        int count = 1;
        const std::size_t keyAt = pos_;
        const Key key = parseKey(count);
        if (error_) return;
        // Repeat counts multiply: a short text could otherwise ask for billions of keys.
        const std::size_t steps = (key.isChar ? 1u : 2u) * static_cast<std::size_t>(count);
        if (out_.size() + steps > kMaxSteps)
          return fail(keyAt,
                      "more than " + std::to_string(kMaxSteps) + " key steps in one key string");
        for (int i = 0; i < count; ++i) emit(key);
      }
      release(modifiers);
      modifiers.clear();
    }
    if (error_) return;
    if (!modifiers.empty()) return fail(modifierAt, "modifier at the end without a key");
  }

  Key parseKey(int& count) {
    const char c = text_[pos_];
    if (c == '~') {
      ++pos_;
      return Key{false, vk::Return, 0};
    }
    if (c == '}') {
      fail(pos_, "\"}\" without an opening \"{\"");
      return {};
    }
    if (c != '{') {
      std::size_t length = 1;
      const char32_t ch = decodeChar(text_, pos_, length);
      pos_ += length;
      return charKey(ch);
    }
    const std::size_t open = pos_;
    if (open + 1 < text_.size() && text_[open + 1] == '}') {
      // "{}}" names the closing brace itself; "{}" names nothing.
      if (open + 2 < text_.size() && text_[open + 2] == '}') {
        pos_ = open + 3;
        return charKey('}');
      }
      fail(open, "empty braces \"{}\"");
      return {};
    }
    const std::size_t close = text_.find('}', open + 1);
    if (close == std::string_view::npos) {
      fail(open, "\"{\" is never closed");
      return {};
    }
    std::string_view content = text_.substr(open + 1, close - open - 1);
    pos_ = close + 1;
    const auto blank = content.rfind(' ');
    if (blank != std::string_view::npos && blank > 0 && blank + 1 < content.size()) {
      const auto repeat = parseWholeNumber(content.substr(blank + 1), 0, 100000);
      if (!repeat) {
        fail(open + 1 + blank + 1, "repeat count is not a whole number");
        return {};
      }
      count = static_cast<int>(*repeat);
      content = content.substr(0, blank);
    }
    std::size_t length = 0;
    const char32_t ch = decodeChar(content, 0, length);
    if (length == content.size()) return charKey(ch);
    const std::uint16_t code = keyNameToVk(content);
    if (code == 0) {
      fail(open, "unknown key name {" + std::string(content) + "}");
      return {};
    }
    return Key{false, code, 0};
  }

  static Key charKey(char32_t ch) {
    // Control characters type their keys; everything else is typed as a character.
    if (ch == '\n' || ch == '\r') return Key{false, vk::Return, 0};
    if (ch == '\t') return Key{false, vk::Tab, 0};
    return Key{true, 0, ch};
  }

  void emit(const Key& key) {
    if (key.isChar) {
      out_.push_back(KeyStep{KeyStep::Kind::Char, 0, key.ch});
    } else {
      out_.push_back(KeyStep{KeyStep::Kind::Down, key.vk, 0});
      out_.push_back(KeyStep{KeyStep::Kind::Up, key.vk, 0});
    }
  }
  void press(const std::vector<std::uint16_t>& modifiers) {
    for (auto m : modifiers) out_.push_back(KeyStep{KeyStep::Kind::Down, m, 0});
  }
  void release(const std::vector<std::uint16_t>& modifiers) {
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
      out_.push_back(KeyStep{KeyStep::Kind::Up, *it, 0});
  }

  // Groups nest by recursion; a bound keeps any text from exhausting the stack.
  static constexpr int kMaxGroupDepth = 64;
  static constexpr std::size_t kMaxSteps = 1'000'000;

  std::string_view text_;
  std::size_t pos_ = 0;
  int depth_ = 0;
  KeySequence out_;
  std::optional<KeyStringError> error_;
};

}  // namespace

std::string KeyStringError::describe() const {
  return "column " + std::to_string(column) + ": " + message;
}

std::uint16_t keyNameToVk(std::string_view name) {
  const std::string upper = toUpperAscii(name);
  for (const auto& key : kNamedKeys)
    if (key.name == upper) return key.vk;
  if (upper.size() >= 2 && upper[0] == 'F') {
    if (const auto n = parseWholeNumber(upper.substr(1), 1, 16); n && upper[1] != '+')
      return static_cast<std::uint16_t>(vk::F1 + *n - 1);
  }
  return 0;
}

ParsedKeys parseKeyString(std::string_view text) {
  return Parser(text).run();
}

}  // namespace qb
