// The shortcut maker. Its window runs on a desktop backend; until one is built it runs only on
// the simulated desktop, in the tests.

#include <iostream>

int main() {
  std::cerr << "kestrip: the desktop is not built yet; the shortcut maker's window runs on the "
               "simulated desktop only.\n";
  return 1;
}
