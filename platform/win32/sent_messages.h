#pragma once
// Waiting on the thread that owns the low-level keyboard hook: the hook's calls come to that
// thread as sent messages, and a thread that sleeps holds every key on the desktop (and
// Windows removes a hook that answers too slowly).

namespace qb::platform::win32 {

// Waits `ms` milliseconds while letting in the messages other threads send to this one, and
// nothing else.
void waitLettingSentMessagesIn(unsigned long ms);

}  // namespace qb::platform::win32
