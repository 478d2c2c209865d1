#include "video/VideoRowEditor.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

namespace korvane {

VideoRowEditor::VideoRowEditor(QWidget* parent)
    : RowEditor(QStringLiteral("Редактировать"),
                {{"Имя файла:", nullptr},
                 {"Размер:", "mb"},
                 {"Разрешение:", "px"},
                 {"Длительность:", "min:sec"},
                 {"fps:", "кадров"},
                 {"Кодек:", nullptr}},
                300, parent) {
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void VideoRowEditor::showEvent(QShowEvent* event) {
    RowEditor::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace korvane
