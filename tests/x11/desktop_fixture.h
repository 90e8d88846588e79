#pragma once
// A test with the X11 desktop under test, an independent input driver, and the session's
// folder for files.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "platform/x11/x11_desktop.h"
#include "tests/x11/input_driver.h"
#include "tests/x11/probe_client.h"
#include "tests/x11/x11_test_env.h"

namespace qb::x11test {

// Sets or removes an environment variable for the scope of a test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto created = platform::x11::X11Desktop::create(folder() + "/settings.ini");
    ASSERT_TRUE(created) << created.message();
    x11_ = std::move(*created);
    driver_ = std::make_unique<InputDriver>(session().display());
  }
  void TearDown() override {
    x11_.reset();
    driver_.reset();
  }

  platform::Desktop& desktop() { return x11_->desktop(); }

  // A stand-in for a desktop tool in folder()/bin, which writes down how it was called:
  // "PROGRAM|ARG|ARG|" and a line break, in the file returned. Put folder()/bin first on the
  // PATH to have it called.
  static std::string standIn(const std::string& tool) {
    const std::string bin = folder() + "/bin";
    const std::string record = folder() + "/" + tool + ".called";
    std::filesystem::create_directories(bin);
    std::ofstream(bin + "/" + tool)
        << "#!/bin/sh\nprintf '%s|' \"$0\" \"$@\" > " << record << ".part\necho >> " << record
        << ".part\nmv " << record << ".part " << record << "\n";
    std::filesystem::permissions(bin + "/" + tool, std::filesystem::perms::owner_all);
    return record;
  }
  static std::string pathWithStandIns() { return folder() + "/bin:" + std::getenv("PATH"); }
  InputDriver& driver() { return *driver_; }
  static std::string folder() { return session().folder(); }

  std::unique_ptr<platform::x11::X11Desktop> x11_;
  std::unique_ptr<InputDriver> driver_;
};

}  // namespace qb::x11test
