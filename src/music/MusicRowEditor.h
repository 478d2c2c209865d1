#pragma once

#include "widgets/RowEditor.h"

namespace korvane {

// "Редактирование": the music row editor, with the Folder text and the four cells.
class MusicRowEditor : public RowEditor {
    Q_OBJECT
public:
    explicit MusicRowEditor(QWidget* parent = nullptr);

    QLineEdit* folderField() const { return field(0); }
    QLineEdit* sizeField() const { return field(1); }
    QLineEdit* bitrateField() const { return field(2); }
    QLineEdit* styleField() const { return field(3); }
    QLineEdit* countryField() const { return field(4); }
};

} // namespace korvane
