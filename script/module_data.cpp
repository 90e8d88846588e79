#include "script/module_data.h"

#include "common/file_io.h"
#include "common/text.h"
#include "script/send_keys.h"

namespace qb {

ModuleData::ModuleData(platform::Desktop& desktop) : desktop_(desktop), mouse_(desktop.cursor) {}

void ModuleData::WaitMs(std::int64_t ms) {
  if (ms <= 0) return;
  WaitUntil(desktop_.clock.now() + ms);
}

void ModuleData::WaitUntil(platform::Ms deadline) {
  while (desktop_.clock.now() < deadline && !desktop_.loop.quitting())
    desktop_.loop.waitUntil(deadline);
}

void ModuleData::SetMousePos(int x, int y) {
  // A move is two platform steps (horizontal, then vertical); the log shows the one move.
  desktop_.log.record("SetMousePos", std::to_string(x) + " " + std::to_string(y));
  mouse_.setX(static_cast<float>(x));
  mouse_.setY(static_cast<float>(y));
}

void ModuleData::button(platform::MouseButton b, bool down) {
  (b == platform::MouseButton::Left ? leftHeld_ : rightHeld_) = down;
  desktop_.buttons.press(b, down);
}

void ModuleData::LeftDown() {
  button(platform::MouseButton::Left, true);
}
void ModuleData::LeftUp() {
  button(platform::MouseButton::Left, false);
}
void ModuleData::RightDown() {
  button(platform::MouseButton::Right, true);
}
void ModuleData::RightUp() {
  button(platform::MouseButton::Right, false);
}

void ModuleData::LeftClick() {
  LeftDown();
  LeftUp();
}

void ModuleData::RightClick() {
  RightDown();
  RightUp();
}

bool ModuleData::SendKeyString(std::string_view keys, bool waitUntilProcessed) {
  if (keys.empty()) return true;
  const ParsedKeys parsed = parseKeyString(keys);
  if (!parsed.ok()) return false;
  return desktop_.keys.send(*parsed, keys, waitUntilProcessed);
}

void ModuleData::ReleaseHeldButtons() {
  if (leftHeld_) LeftUp();
  if (rightHeld_) RightUp();
}

std::optional<std::string> ModuleData::NextDataLine(const std::string& path) {
  if (!dataLoaded_) {
    const auto content = readWholeFile(path);
    if (!content) return std::nullopt;
    for (const auto part : splitAtCrLf(*content)) dataLines_.emplace_back(part);
    dataLoaded_ = true;
  }
  if (dataIndex_ >= dataLines_.size()) return std::nullopt;
  return dataLines_[dataIndex_++];
}

}  // namespace qb
