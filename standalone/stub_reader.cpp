#include "standalone/stub_reader.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "common/file_io.h"
#include "common/os_files.h"
#include "script/stand_alone_markers.h"

namespace qb {

namespace {

// Compares the image's bytes with the 16-bit marker character by character, so the stub never
// holds the 8-bit marker itself.
std::size_t findMarker(std::string_view image, std::u16string_view marker) {
  if (image.size() < marker.size()) return std::string_view::npos;
  for (std::size_t at = 0; at + marker.size() <= image.size(); ++at) {
    std::size_t k = 0;
    while (k < marker.size() &&
           static_cast<unsigned char>(image[at + k]) == static_cast<unsigned char>(marker[k]))
      ++k;
    if (k == marker.size()) return at;
  }
  return std::string_view::npos;
}

// Where `marker` first begins in the open file, read a slice at a time so that only the macro
// after it is ever held, not the program image before it.
std::optional<std::uint64_t> findMarkerInFile(const os::ReadFile& file,
                                              std::u16string_view marker) {
  constexpr std::size_t kSlice = 1 << 20;
  const std::size_t keep = marker.size() - 1;  // a marker may straddle two slices
  std::vector<char> buffer(kSlice + keep);
  std::size_t held = 0;
  std::uint64_t heldFrom = 0;  // the file offset of buffer[0]
  for (;;) {
    const auto got = file.readAt(heldFrom + held, buffer.data() + held, kSlice);
    if (!got || *got == 0) break;
    held += *got;
    const std::size_t at = findMarker({buffer.data(), held}, marker);
    if (at != std::string_view::npos) return heldFrom + at;
    const std::size_t carry = std::min(held, keep);
    std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(held - carry),
              buffer.begin() + static_cast<std::ptrdiff_t>(held), buffer.begin());
    heldFrom += held - carry;
    held = carry;
  }
  return std::nullopt;
}

AppendedMacro macroAfter(bool advanced, std::string text) {
  // Only the closing CR LF: the macro was empty, and the player says so.
  if (text == "\r\n") text.clear();
  return AppendedMacro{std::move(text), advanced};
}

// The bytes of the open file from `from` to its end.
std::optional<std::string> readFrom(const os::ReadFile& file, std::uint64_t from) {
  const auto end = file.size();
  if (!end || *end < from) return std::nullopt;
  std::string text(static_cast<std::size_t>(*end - from), '\0');
  if (file.readAt(from, text.data(), text.size()) != text.size()) return std::nullopt;
  return text;
}

}  // namespace

std::optional<AppendedMacro> findAppendedMacro(std::string_view image) {
  for (const bool advanced : {false, true}) {
    const std::u16string_view marker = advanced ? kAdvancedMarkerWide : kRecordedMarkerWide;
    const std::size_t at = findMarker(image, marker);
    if (at == std::string_view::npos) continue;
    return macroAfter(advanced, std::string(image.substr(at + marker.size())));
  }
  return std::nullopt;
}

Result<AppendedMacro> readAppendedMacro(const std::string& ownPath) {
  constexpr std::string_view kUnreadable = "The macro program could not read its own file: ";
  // Scanned as a stream: the program image before the macro is never held in memory.
  if (auto regular = isRegularFile(ownPath); !regular)
    return fail(std::string(kUnreadable) + regular.message());
  std::string failure;
  const os::ReadFile file = os::ReadFile::open(ownPath, failure);
  if (!file.isOpen()) return fail(std::string(kUnreadable) + ownPath + ": cannot be read");
  for (const bool advanced : {false, true}) {
    const std::u16string_view marker = advanced ? kAdvancedMarkerWide : kRecordedMarkerWide;
    const auto at = findMarkerInFile(file, marker);
    if (!at) continue;
    auto text = readFrom(file, *at + marker.size());
    if (!text) return fail(std::string(kUnreadable) + ownPath + ": cannot be read");
    return macroAfter(advanced, std::move(*text));
  }
  return fail("There is no macro in " + ownPath +
              ". It is the stand-alone stub, which is copied to make macro programs; it plays "
              "nothing by itself.");
}

}  // namespace qb
