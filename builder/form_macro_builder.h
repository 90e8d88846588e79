#pragma once
// The Advanced Macro Builder window: composes an advanced macro command by command.

#include "forms/controls.h"
#include "forms/form.h"
#include "platform/desktop.h"

namespace qb {

class Program;

class FormMacroBuilder : public forms::Form {
 public:
  explicit FormMacroBuilder(Program& program);

  forms::TextBox MacroText;

 private:
  Program& program_;
};

}  // namespace qb
