#pragma once
// The recorder program in normal mode on the simulated desktop with its builder window open.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "builder/form_macro_builder.h"
#include "support/sim_program.h"

namespace qb::test {

class BuilderTest : public ::testing::Test {
 protected:
  SimProgram app;

  // The main window's "Advanced Macro Builder" button.
  FormMacroBuilder& open() {
    app.form().Command17.click();
    return app.program.builder();
  }
  FormMacroBuilder& builder() { return app.program.builder(); }
  const std::string& folder() const { return app.folder.path(); }
  std::string pathOf(const std::string& name) const { return app.folder.pathOf(name); }

  void writeFile(const std::string& name, const std::string& content) const {
    app.folder.writeFile(name, content);
  }
  std::string readFile(const std::string& name) const { return app.folder.readFile(name); }
  std::vector<std::string> messages() const {
    std::vector<std::string> texts;
    for (const auto& m : app.sim.messages()) texts.push_back(m.text);
    return texts;
  }
};

}  // namespace qb::test
