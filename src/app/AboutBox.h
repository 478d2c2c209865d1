#pragma once

#include <QString>

class QWidget;

namespace korvane {

// The text of "О программе": the version, the libraries the program runs with and their
// versions, the license.
QString aboutText();

// The box itself, modal over `parent`.
void showAboutBox(QWidget* parent);

} // namespace korvane
