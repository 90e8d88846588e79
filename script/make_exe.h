#pragma once
// Writing a stand-alone macro program: a copy of the stub, a marker, the macro, CR LF.

#include <string>
#include <string_view>

#include "common/file_io.h"

namespace qb {

// The program made for a macro entry: its name with every ".txt" replaced by ".exe". A name that
// still does not end in ".exe" (".TXT", no extension) gets ".exe" in place of its ".txt" in any
// letter case, or appended: never the entry itself.
std::string standAloneProgramName(std::string_view entry);

// Writes stub + marker + macro + CR LF to `target` through a temporary file, executable.
Result<> writeStandAloneProgram(const std::string& stubPath, const std::string& target,
                                std::string_view macro, bool advanced);

}  // namespace qb
