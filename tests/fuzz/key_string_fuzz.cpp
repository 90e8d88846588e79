// The key-string parser on any text: it never fails without a column inside the text, every key
// it presses it releases, and a group behaves as the keys inside it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "key_checks.h"
#include "platform/virtual_keys.h"
#include "script/send_keys.h"

namespace {

using qb::fuzz::printable;
using qb::fuzz::require;

void checkParsed(std::string_view text, const qb::ParsedKeys& parsed) {
  if (!parsed.ok()) {
    const auto& e = parsed.error();
    require(e.column >= 1 && e.column <= text.size(), "error column outside the key string",
            e.describe() + " in \"" + printable(text) + "\"");
    require(!e.message.empty(), "error without a message", printable(text));
    return;
  }
  std::map<std::uint16_t, int> held;
  const std::string wrong = qb::fuzz::applyKeys(*parsed, held);
  require(wrong.empty(), "unbalanced key sequence", wrong + " in \"" + printable(text) + "\"");
  const std::string left = qb::fuzz::stillHeld(held);
  require(left.empty(), "keys left pressed", left + "in \"" + printable(text) + "\"");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const qb::ParsedKeys parsed = qb::parseKeyString(text);
  checkParsed(text, parsed);

  // "^(TEXT)" is Ctrl held around TEXT's keys. Only the two bounds may make it fail where TEXT
  // alone parses: one more level of groups, and two more steps.
  if (parsed.ok()) {
    const std::string wrapped = "^(" + std::string(text) + ")";
    const qb::ParsedKeys group = qb::parseKeyString(wrapped);
    checkParsed(wrapped, group);
    if (group.ok()) {
      using Step = qb::platform::KeyStep;
      qb::platform::KeySequence expected{Step{Step::Kind::Down, qb::platform::vk::Control, 0}};
      expected.insert(expected.end(), parsed->begin(), parsed->end());
      expected.push_back(Step{Step::Kind::Up, qb::platform::vk::Control, 0});
      require(*group == expected, "a group does not type the keys inside it", printable(text));
    } else {
      const std::string& why = group.error().message;
      require(why.find("nested too deeply") != std::string::npos ||
                  why.find("key steps in one key string") != std::string::npos,
              "a group of a valid key string fails", group.error().describe());
    }
  }
  return 0;
}
