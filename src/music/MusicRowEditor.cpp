#include "music/MusicRowEditor.h"

namespace korvane {

MusicRowEditor::MusicRowEditor(QWidget* parent)
    : RowEditor(QStringLiteral("Редактирование"),
                {{"Папка:", nullptr},
                 {"Размер:", "mb"},
                 {"Битрейт:", "kbps"},
                 {"Стиль:", nullptr},
                 {"Страна:", nullptr}},
                360, parent) {}

} // namespace korvane
