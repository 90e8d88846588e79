// qb_scenario SCENARIO [--check EXPECTED | --update EXPECTED]
// Runs a scenario and prints what happened, with the scenario's temporary folder shown as
// {root}. --check compares with an expected transcript; --update rewrites it.
#include <filesystem>
#include <iostream>
#include <random>
#include <sstream>

#include "common/file_io.h"
#include "scenario_runner.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (argc != 2 && argc != 4) {
    std::cerr << "usage: qb_scenario SCENARIO [--check EXPECTED | --update EXPECTED]\n";
    return 2;
  }
  const auto text = qb::readWholeFile(argv[1]);
  if (!text) {
    std::cerr << "qb_scenario: cannot read " << text.message() << "\n";
    return 2;
  }
  const fs::path root =
      fs::temp_directory_path() / ("qb-scenario-" + std::to_string(std::random_device{}()));
  std::ostringstream out;
  const int status =
      qb::scenario::runScenario(qb::scenario::parseScenario(*text), root.generic_string(), out);
  std::error_code ec;
  fs::remove_all(root, ec);

  std::string transcript = out.str();
  const std::string rootText = root.generic_string();
  for (auto at = transcript.find(rootText); at != std::string::npos;
       at = transcript.find(rootText, at))
    transcript.replace(at, rootText.size(), "{root}");

  if (argc == 2) {
    std::cout << transcript;
    return status;
  }
  const std::string mode = argv[2];
  if (mode == "--update") {
    const auto written = qb::writeFileAtomic(argv[3], transcript);
    if (!written) std::cerr << written.message() << "\n";
    return written ? status : 2;
  }
  const auto expected = qb::readWholeFile(argv[3]);
  if (!expected) {
    std::cerr << "qb_scenario: cannot read the expected transcript " << expected.message() << "\n"
              << transcript;
    return 1;
  }
  if (*expected == transcript && status == 0) return 0;
  std::cerr << "qb_scenario: " << argv[1] << " differs from " << argv[3] << "\n--- got\n"
            << transcript;
  // Point at the first line that differs.
  std::istringstream want(*expected), got(transcript);
  std::string w, g;
  for (int line = 1;; ++line) {
    const bool hw = static_cast<bool>(std::getline(want, w)),
               hg = static_cast<bool>(std::getline(got, g));
    if (!hw && !hg) break;
    if (w != g || hw != hg) {
      std::cerr << "--- first difference on line " << line << "\nexpected: " << (hw ? w : "(end)")
                << "\ngot:      " << (hg ? g : "(end)") << "\n";
      break;
    }
  }
  return 1;
}
