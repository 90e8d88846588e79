#include "builder/form_macro_builder.h"

#include "app/product.h"
#include "app/program.h"

namespace qb {

FormMacroBuilder::FormMacroBuilder(Program& program)
    : forms::Form("FormMacroBuilder", "Advanced Macro Builder - " + std::string(kSiteName),
                  program.desktop.loop),
      MacroText(*this, "MacroText", {3480, 4320, 4815, 2295}, true),
      program_(program) {
  setSize(8445, 7200);
}

}  // namespace qb
