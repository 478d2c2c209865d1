#include "widgets/RowEditor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {

RowEditor::RowEditor(const QString& title, std::initializer_list<Field> fields, int firstFieldWidth,
                     QWidget* parent)
    : QDialog(parent), m_save(new QPushButton(tr("Сохранить"), this)),
      m_cancel(new QPushButton(tr("Отмена"), this)) {
    setWindowTitle(title);
    auto* grid = new QGridLayout;
    for (const Field& field : fields) {
        const int row = static_cast<int>(m_fields.size());
        auto* edit = new QLineEdit(this);
        m_fields.push_back(edit);
        grid->addWidget(new QLabel(tr(field.label), this), row, 0);
        grid->addWidget(edit, row, 1, 1, field.unit != nullptr ? 1 : 2);
        if (field.unit != nullptr)
            grid->addWidget(new QLabel(tr(field.unit), this), row, 2);
        connect(edit, &QLineEdit::textChanged, m_save, [this] { m_save->setEnabled(true); });
    }
    m_fields.front()->setMinimumWidth(firstFieldWidth);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    m_save->setDefault(true);
    m_save->setEnabled(false);
    connect(m_save, &QPushButton::clicked, this, [this] {
        m_saved = true;
        m_save->setEnabled(false);
        accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, &RowEditor::reject);
}

void RowEditor::setRow(const CatalogueRow& row) {
    const QStringList texts = QStringList{row.caption} + row.cells;
    for (size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->setText(texts.value(static_cast<int>(i)));
    // Filling the fields is no change of the user's.
    m_save->setEnabled(false);
}

CatalogueRow RowEditor::row() const {
    CatalogueRow row{m_fields.front()->text(), {}};
    for (size_t i = 1; i < m_fields.size(); ++i)
        row.cells.append(m_fields[i]->text());
    return row;
}

// "Отмена", Esc and the close box all end here.
void RowEditor::reject() {
    m_saved = false;
    m_save->setEnabled(false);
    QDialog::reject();
}

void RowEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_saved = false;
    m_save->setEnabled(false);
    // The user came to edit: the first field takes the keys. Return saves nothing until a
    // change enables "Сохранить".
    m_fields.front()->setFocus(Qt::OtherFocusReason);
}

} // namespace korvane
