#pragma once
// What a user would see go wrong in a window drawn from a form's twip layout: a control cut off
// by the window or the frame it sits in, a caption or a one-line label wider than its control,
// a wrapped label taller than its place.

#include <string>
#include <vector>

class QImage;
class QPoint;
class QWidget;

namespace qb::desktoptest {

// One line per problem, naming the control by its kind and text ("QGroupBox \"Options\""); empty
// when the window looks whole. `cutOffByDesign` names controls the window's design places
// partly outside it.
std::vector<std::string> layoutProblems(QWidget* window,
                                        const std::vector<std::string>& cutOffByDesign = {});

// What the screen shows of a window that has not drawn: a client area of one flat colour, or
// a control with text (a label, a button, a frame's title, a filled field) whose place shows no
// ink. `shot` is the screen's picture with the client area's top-left corner at `client`.
std::vector<std::string> pictureProblems(QWidget* window, const QImage& shot, const QPoint& client);

}  // namespace qb::desktoptest
