#pragma once

#include <QSize>

class QWidget;

namespace korvane {

// Fixes a dialog's size to what its layout needs at the current font and scale, never smaller
// than the size the dialog was designed at (measured for a narrower font than today's desktops
// use). Called once the layout is built and again before each showing, so a changed font counts.
void fitDialogToContents(QWidget* dialog, QSize designSize);

} // namespace korvane
