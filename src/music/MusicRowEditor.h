#pragma once

#include "widgets/RowEditor.h"

class QComboBox;
class QLabel;

namespace korvane {

// "Редактирование": the music row editor, with the Folder text and the four cells. For a row
// whose 8-bit tag texts were a close call, "Кодировка:" offers the Folder text read in each code
// page; the one picked goes into the Folder field and is saved as a hand edit.
class MusicRowEditor : public RowEditor {
    Q_OBJECT
public:
    explicit MusicRowEditor(QWidget* parent = nullptr);

    QLineEdit* folderField() const { return field(0); }
    QLineEdit* sizeField() const { return field(1); }
    QLineEdit* bitrateField() const { return field(2); }
    QLineEdit* styleField() const { return field(3); }
    QLineEdit* countryField() const { return field(4); }
    // Nothing until a row with a close call was edited.
    QComboBox* codePageField() const { return m_codePages; }

    void setRow(const CatalogueRow& row);
    // True when the last saving took a reading from "Кодировка:".
    bool codePagePicked() const;

private:
    QLabel* m_codePageLabel = nullptr;
    QComboBox* m_codePages = nullptr;
    QString m_readCaption;
};

} // namespace korvane
