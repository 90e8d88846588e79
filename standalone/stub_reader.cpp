#include "standalone/stub_reader.h"

#include "common/file_io.h"
#include "standalone/markers.h"

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

}  // namespace

std::optional<AppendedMacro> findAppendedMacro(std::string_view image) {
  for (const bool advanced : {false, true}) {
    const std::u16string_view marker = advanced ? kAdvancedMarkerWide : kRecordedMarkerWide;
    const std::size_t at = findMarker(image, marker);
    if (at == std::string_view::npos) continue;
    std::string_view text = image.substr(at + marker.size());
    // Only the closing CR LF: the macro was empty, and the player says so.
    if (text == "\r\n") text = {};
    return AppendedMacro{std::string(text), advanced};
  }
  return std::nullopt;
}

std::optional<AppendedMacro> readAppendedMacro(const std::string& ownPath, std::string& problem) {
  std::string error;
  const auto image = readWholeFile(ownPath, &error);
  if (!image) {
    problem = "The macro program could not read its own file: " + error;
    return std::nullopt;
  }
  auto macro = findAppendedMacro(*image);
  if (!macro)
    problem = "There is no macro in " + ownPath +
              ". It is the stand-alone stub, which is copied to make macro programs; it plays "
              "nothing by itself.";
  return macro;
}

}  // namespace qb
