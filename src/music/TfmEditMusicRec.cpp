#include "music/TfmEditMusicRec.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {

TfmEditMusicRec::TfmEditMusicRec(QWidget* parent)
    : QDialog(parent), m_folder(new QLineEdit(this)), m_size(new QLineEdit(this)),
      m_bitrate(new QLineEdit(this)), m_style(new QLineEdit(this)), m_country(new QLineEdit(this)),
      m_save(new QPushButton(QStringLiteral("Сохранить"), this)),
      m_cancel(new QPushButton(QStringLiteral("Отмена"), this)) {
    setWindowTitle(QStringLiteral("Редактирование"));
    auto* grid = new QGridLayout;
    const auto addField = [grid](int row, const char* label, QLineEdit* field, const char* unit) {
        grid->addWidget(new QLabel(QString::fromUtf8(label)), row, 0);
        grid->addWidget(field, row, 1, 1, unit != nullptr ? 1 : 2);
        if (unit != nullptr)
            grid->addWidget(new QLabel(QString::fromUtf8(unit)), row, 2);
    };
    addField(0, "Папка:", m_folder, nullptr);
    addField(1, "Размер:", m_size, "mb");
    addField(2, "Битрейт:", m_bitrate, "kbps");
    addField(3, "Стиль:", m_style, nullptr);
    addField(4, "Страна:", m_country, nullptr);
    m_folder->setMinimumWidth(360);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    m_save->setDefault(true);
    for (QLineEdit* field : {m_folder, m_size, m_bitrate, m_style, m_country})
        connect(field, &QLineEdit::textChanged, m_save, [this] { m_save->setEnabled(true); });
    connect(m_save, &QPushButton::clicked, this, [this] {
        m_saved = true;
        accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    // Esc and the close box reject too; a rejected showing is never saved.
    connect(this, &QDialog::rejected, this, [this] {
        m_saved = false;
        m_save->setEnabled(false);
    });
}

void TfmEditMusicRec::setRow(const MusicRow& row) {
    m_folder->setText(row.caption);
    m_size->setText(row.cells.value(SizeCell));
    m_bitrate->setText(row.cells.value(BitrateCell));
    m_style->setText(row.cells.value(StyleCell));
    m_country->setText(row.cells.value(CountryCell));
}

MusicRow TfmEditMusicRec::fields() const {
    return {m_folder->text(),
            {m_size->text(), m_bitrate->text(), m_style->text(), m_country->text()}};
}

void TfmEditMusicRec::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_saved = false;
    m_save->setEnabled(false);
    m_cancel->setFocus();
}

} // namespace korvane
