#include "video/VideoRowEditor.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace korvane {

TfmEditVideoRec::TfmEditVideoRec(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Редактировать"));
    struct Row {
        const char* label;
        const char* unit;
    };
    const Row rows[] = {
        {"Имя файла:", ""},           {"Размер:", "mb"},  {"Разрешение:", "px"},
        {"Длительность:", "min:sec"}, {"fps:", "кадров"}, {"Кодек:", ""},
    };
    auto* grid = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
        grid->addWidget(new QLabel(QString::fromUtf8(rows[i].label), this), i, 0);
        m_fields[static_cast<size_t>(i)] = new QLineEdit(this);
        grid->addWidget(m_fields[static_cast<size_t>(i)], i, 1);
        if (*rows[i].unit != '\0')
            grid->addWidget(new QLabel(QString::fromUtf8(rows[i].unit), this), i, 2);
        connect(m_fields[static_cast<size_t>(i)], &QLineEdit::textChanged, this,
                [this] { m_save->setEnabled(true); });
    }
    m_fields[0]->setMinimumWidth(300);

    m_save = new QPushButton(QStringLiteral("Сохранить"), this);
    m_save->setDefault(true);
    m_save->setEnabled(false);
    m_cancel = new QPushButton(QStringLiteral("Отмена"), this);
    connect(m_save, &QPushButton::clicked, this, &TfmEditVideoRec::save);
    connect(m_cancel, &QPushButton::clicked, this, &TfmEditVideoRec::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfmEditVideoRec::setFields(const QStringList& texts) {
    for (size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->setText(texts.value(static_cast<int>(i)));
    // Filling the fields is no change of the user's.
    m_save->setEnabled(false);
}

QStringList TfmEditVideoRec::fields() const {
    QStringList texts;
    for (const QLineEdit* field : m_fields)
        texts.append(field->text());
    return texts;
}

void TfmEditVideoRec::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_cancel->setFocus(Qt::OtherFocusReason);
}

// "Отмена", Esc and the close box all end here: each counts as Cancel.
void TfmEditVideoRec::reject() {
    m_outcome = Outcome::Cancel;
    m_save->setEnabled(false);
    QDialog::reject();
}

void TfmEditVideoRec::save() {
    m_outcome = Outcome::Save;
    m_save->setEnabled(false);
    accept();
}

} // namespace korvane
