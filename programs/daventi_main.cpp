#include <iostream>
#include <string>
#include <vector>

#include "app/dry_run.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  for (const auto& a : args)
    if (a == "--dry-run") return qb::dryRunMain(args, std::cout, std::cerr);
  std::cerr << "usage: daventi --dry-run MACRO-FILE [--advanced|--recorded] [--foreground TITLE]\n"
               "       [--foreground-at MS TITLE] [--window TITLE] [--stop-at MS] [--max-ms MS] [--max-idle-turns N]\n";
  return 1;
}
