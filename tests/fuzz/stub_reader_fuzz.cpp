// The stand-alone program's tail: the reader on any image agrees with a plain search for the
// markers, and a program the writer made from a stub and a macro reads back as that macro.
//
// Input: one byte of options (bit 0: advanced), one byte for the stub's share of the rest,
// then the bytes that are split into the stub image and the macro text.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "common/file_io.h"
#include "fuzz_support.h"
#include "script/make_exe.h"
#include "script/stand_alone_markers.h"
#include "standalone/stub_reader.h"

namespace {

using qb::fuzz::printable;
using qb::fuzz::require;

const std::string& recordedMarker() {
  static const std::string m = qb::narrowMarker(qb::kRecordedMarkerWide);
  return m;
}
const std::string& advancedMarker() {
  static const std::string m = qb::narrowMarker(qb::kAdvancedMarkerWide);
  return m;
}

// The reader on a whole image, against std::string_view::find of the 8-bit markers.
void checkFind(std::string_view image) {
  const auto found = qb::findAppendedMacro(image);
  const auto recordedAt = image.find(recordedMarker());
  const auto advancedAt = image.find(advancedMarker());
  if (recordedAt == std::string_view::npos && advancedAt == std::string_view::npos) {
    require(!found, "a macro found in an image without a marker", printable(image));
    return;
  }
  require(found.has_value(), "the marker in the image was not found", printable(image));
  const bool recorded = recordedAt != std::string_view::npos;
  const std::string& marker = recorded ? recordedMarker() : advancedMarker();
  std::string_view tail = image.substr((recorded ? recordedAt : advancedAt) + marker.size());
  if (tail == "\r\n") tail = {};
  require(found->advanced == !recorded, "the macro's kind differs from its marker's",
          printable(image));
  require(found->text == tail, "the macro is not what follows the marker", printable(image));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qb::fuzz::scratchFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  checkFind(std::string_view(reinterpret_cast<const char*>(data), size));

  FuzzedDataProvider input(data, size);
  const bool advanced = input.ConsumeBool();
  const std::size_t stubSize =
      input.ConsumeIntegralInRange<std::size_t>(0, input.remaining_bytes());
  const std::string stub = input.ConsumeBytesAsString(stubSize);
  const std::string macro = input.ConsumeRemainingBytesAsString();
  // A stub never holds a marker as 8-bit text, not even one that its end and the written
  // marker would make together: that is why the markers are kept as 16-bit ones.
  const std::string stubAndMarker = stub + (advanced ? advancedMarker() : recordedMarker());
  for (const std::string* marker : {&recordedMarker(), &advancedMarker()}) {
    const auto at = stubAndMarker.find(*marker);
    if (at != std::string::npos && at < stub.size()) return 0;
  }

  // The reader looks for the recorded marker first, wherever the advanced one is (a deliberate
  // rule, tested in stub_reader_test): an advanced macro that holds it, or that begins with its
  // end, cannot read back.
  if (advanced && (advancedMarker() + macro).find(recordedMarker()) != std::string::npos) return 0;

  const std::string folder = qb::fuzz::scratchFolder();
  const std::string stubPath = folder + "/tapbolt", programPath = folder + "/Macro-fuzz.exe";
  std::ofstream(stubPath, std::ios::binary | std::ios::trunc) << stub;
  const auto written = qb::writeStandAloneProgram(stubPath, programPath, macro, advanced);
  require(written.ok(), "the stand-alone program cannot be written",
          written.ok() ? "" : written.message());

  const auto read = qb::readAppendedMacro(programPath);
  require(read.ok(), "a written program carries no macro", read.ok() ? "" : read.message());
  const std::string expected = macro.empty() ? std::string() : macro + "\r\n";
  require(read->advanced == advanced, "the macro reads back as the other kind", printable(macro));
  require(read->text == expected, "the macro reads back changed",
          printable(macro) + " -> " + printable(read->text));
  return 0;
}
