#include "script/make_exe.h"

#include "common/text.h"
#include "script/stand_alone_markers.h"

namespace qb {

std::string standAloneProgramName(std::string_view entry) {
  std::string name(entry);
  for (auto at = name.find(".txt"); at != std::string::npos; at = name.find(".txt", at + 4))
    name.replace(at, 4, ".exe");
  if (name != entry && endsWithNoCase(name, ".exe")) return name;
  // An extension in another letter case would otherwise leave the macro file's own name.
  if (endsWithNoCase(name, ".txt")) name.resize(name.size() - 4);
  return name + ".exe";
}

Result<> writeStandAloneProgram(const std::string& stubPath, const std::string& target,
                                std::string_view macro, bool advanced) {
  auto image = readWholeFile(stubPath);
  if (!image) return fail("the stand-alone stub " + image.message());
  image->reserve(image->size() + macro.size() + 32);
  *image += narrowMarker(advanced ? kAdvancedMarkerWide : kRecordedMarkerWide);
  *image += macro;
  *image += kCrLf;
  // Executable before it takes the target's name, so no moment shows a program that cannot run.
  return writeFileAtomic(target, *image, FileMode::executable);
}

}  // namespace qb
