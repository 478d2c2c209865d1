#pragma once

#include "catalogue/CatalogueList.h"

#include <QDialog>

#include <initializer_list>
#include <vector>

class QLineEdit;
class QPushButton;

namespace korvane {

// The modal editor of one list row: a labelled field for the caption and one for each cell,
// "Сохранить" (default) and "Отмена". Shown with "Сохранить" disabled and the focus in the first
// field; any change enables "Сохранить". Only "Сохранить" saves: "Отмена", Esc and the close box
// all leave the row as it was.
class RowEditor : public QDialog {
    Q_OBJECT
public:
    struct Field {
        const char* label;
        const char* unit; // shown after the field; nullptr for none
    };

    RowEditor(const QString& title, std::initializer_list<Field> fields, int firstFieldWidth,
              QWidget* parent);

    // Fills the fields from a row: the caption, then the cells in order.
    void setRow(const CatalogueRow& row);
    // The fields as they stand, as a row.
    CatalogueRow row() const;
    // True when the last showing ended with "Сохранить".
    bool saved() const { return m_saved; }

    QLineEdit* field(int index) const { return m_fields.at(static_cast<size_t>(index)); }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::vector<QLineEdit*> m_fields;
    QPushButton* m_save;
    QPushButton* m_cancel;
    bool m_saved = false;
};

} // namespace korvane
