#pragma once
// Qt views for every window of a recorder program.

#include "platform/qt/qt_window_stack.h"
#include "ui/program_views.h"
#include "ui/qt/qt_form_view.h"

namespace qb::ui {

using ProgramViews = ProgramViewsOf<QtFormView, platform::x11::QtWindowStack>;

}  // namespace qb::ui
