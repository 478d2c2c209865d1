#include "video/VideoRowEditor.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

namespace korvane {

VideoRowEditor::VideoRowEditor(QWidget* parent)
    : RowEditor(tr("Редактировать"),
                {{QT_TRANSLATE_NOOP("korvane::RowEditor", "Имя файла:"), nullptr},
                 {QT_TRANSLATE_NOOP("korvane::RowEditor", "Размер:"), "mb"},
                 {QT_TRANSLATE_NOOP("korvane::RowEditor", "Разрешение:"), "px"},
                 {QT_TRANSLATE_NOOP("korvane::RowEditor", "Длительность:"), "min:sec"},
                 {"fps:", QT_TRANSLATE_NOOP("korvane::RowEditor", "кадров")},
                 {QT_TRANSLATE_NOOP("korvane::RowEditor", "Кодек:"), nullptr}},
                300, parent) {
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void VideoRowEditor::showEvent(QShowEvent* event) {
    RowEditor::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace korvane
