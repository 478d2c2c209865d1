#include "music/MusicRowEditor.h"

#include "text/CodePages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace korvane {

MusicRowEditor::MusicRowEditor(QWidget* parent)
    : RowEditor(tr("Редактирование"),
                {{QT_TRANSLATE_NOOP("korvane::RowEditor", "Папка:"), nullptr},
                 {QT_TRANSLATE_NOOP("korvane::RowEditor", "Размер:"), "mb"},
                 {QT_TRANSLATE_NOOP("korvane::RowEditor", "Битрейт:"), "kbps"},
                 {QT_TRANSLATE_NOOP("korvane::RowEditor", "Стиль:"), nullptr},
                 {QT_TRANSLATE_NOOP("korvane::RowEditor", "Страна:"), nullptr}},
                360, parent) {}

void MusicRowEditor::setRow(const CatalogueRow& row) {
    m_readCaption = row.caption;
    // Made when the first row with a close call is edited: the other rows keep the editor of
    // the original program.
    if (!row.closeTexts.isEmpty() && m_codePages == nullptr) {
        m_codePageLabel = new QLabel(tr("Кодировка:"), this);
        m_codePages = new QComboBox(this);
        // Below the fields, in the grid the fields live in.
        auto* grid = findChild<QGridLayout*>();
        const int last = grid->rowCount();
        grid->addWidget(m_codePageLabel, last, 0);
        grid->addWidget(m_codePages, last, 1, 1, 2);
        connect(m_codePages, &QComboBox::activated, this, [this](int index) {
            folderField()->setText(m_codePages->itemData(index).toString());
        });
    }
    if (m_codePages == nullptr) {
        RowEditor::setRow(row);
        return;
    }
    m_codePages->clear();
    if (!row.closeTexts.isEmpty()) {
        m_codePages->addItem(tr("как прочитано"), row.caption);
        for (const codepage::Encoding encoding : codepage::kCodePages) {
            // The caption with each close text read in this code page instead.
            QString caption = row.caption;
            for (const CloseText& close : row.closeTexts)
                caption.replace(close.text, QString::fromStdString(codepage::toUtf8(
                                                close.bytes.toStdString(), encoding)));
            const std::string_view name = codepage::name(encoding);
            m_codePages->addItem(QString::fromLatin1(name.data(), qsizetype(name.size())) +
                                     QStringLiteral(": ") + caption,
                                 caption);
        }
    }
    m_codePageLabel->setVisible(!row.closeTexts.isEmpty());
    m_codePages->setVisible(!row.closeTexts.isEmpty());
    RowEditor::setRow(row);
}

bool MusicRowEditor::codePagePicked() const {
    return m_codePages != nullptr && !m_codePages->isHidden() && m_codePages->currentIndex() > 0 &&
           folderField()->text() == m_codePages->currentData().toString() &&
           folderField()->text() != m_readCaption;
}

} // namespace korvane
