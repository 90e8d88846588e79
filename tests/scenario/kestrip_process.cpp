#include "kestrip_process.h"

namespace qb::scenario {

void ProcessLoop::yield() {
  if (!quit_) shared_.yield();
}

void ProcessLoop::waitUntil(platform::Ms deadline) {
  if (!quit_) shared_.waitUntil(deadline);
}

void ProcessLoop::runModal(const std::function<bool()>& open) {
  shared_.runModal([this, &open] { return !quit_ && open(); });
}

KestripProcess::KestripProcess(platform::Desktop& shared, std::string executable,
                               std::string arguments)
    : loop_(shared.loop),
      environment_(shared.environment, std::move(executable), std::move(arguments)),
      desktop_{shared.clock,       loop_,          shared.cursor,    shared.buttons, shared.keys,
               shared.keyState,    shared.windows, shared.processes, shared.dialogs, shared.log,
               shared.settings,    shared.hook,    shared.clipboard, shared.shell,   shared.tray,
               shared.windowStack, environment_,   shared.shortcuts} {
  form_ = std::make_unique<KestripForm>(desktop_);
  form_->start();
  if (!form_->ended()) form_->show();
}

}  // namespace qb::scenario
