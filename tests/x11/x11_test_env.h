#pragma once
// The desktop tests' process-wide setup: one private X session (Xvfb + openbox) and the
// QApplication on it, made before the first test and ended after the last.

#include <functional>
#include <string>

#include "tests/x11/x_session.h"

namespace qb::x11test {

XSession& session();

// Processes Qt's events until `done` holds or `timeoutMs` passed; returns `done()`.
bool waitFor(const std::function<bool()>& done, int timeoutMs = 5000);
// Processes Qt's events for `ms` milliseconds.
void pump(int ms);

}  // namespace qb::x11test
