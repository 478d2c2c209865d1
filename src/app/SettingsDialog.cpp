#include "app/SettingsDialog.h"

#include "desktop/Desktop.h"
#include "export/ListExport.h"
#include "music/MusicScan.h"
#include "settings/ProgramFolder.h"
#include "settings/SettingsFile.h"
#include "widgets/DialogSize.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <tuple>

namespace korvane {
namespace {

// The client size of the design, kept as the least size.
constexpr QSize kDesignSize(350, 371);

// Characters a worksheet name cannot hold.
const QString kSheetNameForbidden = QStringLiteral(":\\/?*[]");

} // namespace

SettingsDialog::SettingsDialog(Desktop& desktop, SettingsFile& settings,
                               const ProgramFolder& programFolder, QWidget* parent)
    : QDialog(parent), m_desktop(desktop), m_settings(settings), m_programFolder(programFolder) {
    setWindowTitle(QStringLiteral("Настройки"));
    // The close box only: without CustomizeWindowHint X11 window managers add the others.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                   Qt::WindowCloseButtonHint | Qt::WindowTitleHint);

    auto* grid = new QGridLayout;
    int row = 0;
    auto addField = [&](const QString& label, QLineEdit*& field, QGridLayout* into) {
        field = new QLineEdit(this);
        into->addWidget(new QLabel(label, this), row, 0);
        into->addWidget(field, row, 1);
        ++row;
    };
    m_fields.minLimit = new QLineEdit(this);
    m_fields.minLimit->setMaximumWidth(40);
    auto* limitRow = new QHBoxLayout;
    limitRow->addWidget(m_fields.minLimit);
    limitRow->addWidget(new QLabel(QStringLiteral("Mb"), this));
    limitRow->addStretch(1);
    grid->addWidget(
        new QLabel(QStringLiteral("Минимальный размер папки\nдля удаления её из списка:"), this),
        row, 0);
    grid->addLayout(limitRow, row++, 1);

    grid->addWidget(new QLabel(QStringLiteral("Директория для сохранения файлов:"), this), row++, 0,
                    1, 2);
    m_fields.saveDir = new QLineEdit(this);
    m_browse = new QPushButton(QStringLiteral("..."), this);
    m_browse->setFixedWidth(28);
    auto* dirRow = new QHBoxLayout;
    dirRow->addWidget(m_fields.saveDir, 1);
    dirRow->addWidget(m_browse);
    grid->addLayout(dirRow, row++, 0, 1, 2);

    addField(QStringLiteral("Название HTML файла для music листа:"), m_fields.musicHtmlName, grid);
    addField(QStringLiteral("Название HTML файла для Video листа:"), m_fields.videoHtmlName, grid);
    addField(QStringLiteral("Название TXT файла для music листа:"), m_fields.musicTxtName, grid);
    addField(QStringLiteral("Название TXT файла для Video листа:"), m_fields.videoTxtName, grid);
    // One row per format across the dialog, the music list's name beside the video list's, so
    // that the two names share the width of both columns.
    auto* names = new QGridLayout;
    int format = 0;
    const auto addNamePair = [&](const QString& label, QLineEdit*& music, QLineEdit*& video) {
        music = new QLineEdit(this);
        video = new QLineEdit(this);
        music->setToolTip(QStringLiteral("для music листа"));
        video->setToolTip(QStringLiteral("для Video листа"));
        names->addWidget(new QLabel(label, this), format, 0);
        names->addWidget(music, format, 1);
        names->addWidget(video, format++, 2);
    };
    addNamePair(QStringLiteral("Файлы BBCode:"), m_fields.musicBbcodeName,
                m_fields.videoBbcodeName);
    addNamePair(QStringLiteral("Файлы CSV:"), m_fields.musicCsvName, m_fields.videoCsvName);
    addNamePair(QStringLiteral("Файлы JSON:"), m_fields.musicJsonName, m_fields.videoJsonName);
    grid->addLayout(names, row++, 0, 1, 2);
    addField(
        QStringLiteral("Разделитель на который заменяется\nзнак \\  в html, txt и excel файле:"),
        m_fields.groupAlbumSeparator, grid);
    addField(QStringLiteral("Разделитель в TXT файле между\nБитрейт, Размер, Жанр:"),
             m_fields.txtSeparator, grid);
    m_fields.tagEncoding = new QComboBox(this);
    m_fields.tagEncoding->addItems({QStringLiteral("Авто"), QStringLiteral("Windows-1251"),
                                    QStringLiteral("KOI8-R"), QStringLiteral("CP866"),
                                    QStringLiteral("Windows-1252")});
    m_fields.tagEncoding->setToolTip(
        QStringLiteral("Авто: кодировка каждого текста определяется по его буквам"));
    grid->addWidget(new QLabel(QStringLiteral("Кодировка 8-битных тегов:"), this), row, 0);
    grid->addWidget(m_fields.tagEncoding, row++, 1);
    addField(QStringLiteral("Сообщение для форума не длиннее\n(символов, 0 - одним файлом):"),
             m_fields.postLimit, grid);
    m_fields.postLimit->setValidator(new QIntValidator(0, 1'000'000'000, m_fields.postLimit));

    auto* excel = new QGroupBox(QStringLiteral(" Настройки Exceлевского файла "), this);
    auto* excelGrid = new QGridLayout(excel);
    row = 0;
    addField(QStringLiteral("Название киниги для mp3 листа:"), m_fields.musicWorkbookName,
             excelGrid);
    addField(QStringLiteral("Название киниги для Video листа:"), m_fields.videoWorkbookName,
             excelGrid);

    m_apply = new QPushButton(QStringLiteral("Применить"), this);
    m_defaults = new QPushButton(QStringLiteral("По умолчанию"), this);
    m_close = new QPushButton(QStringLiteral("Закрыть"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_apply);
    buttons->addWidget(m_defaults);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(excel);
    layout->addStretch(1);
    layout->addLayout(buttons);
    fitDialogToContents(this, kDesignSize);

    for (QLineEdit* field :
         {m_fields.minLimit, m_fields.saveDir, m_fields.musicHtmlName, m_fields.videoHtmlName,
          m_fields.musicTxtName, m_fields.videoTxtName, m_fields.groupAlbumSeparator,
          m_fields.txtSeparator, m_fields.musicWorkbookName, m_fields.videoWorkbookName,
          m_fields.postLimit}) {
        connect(field, &QLineEdit::textChanged, this, [this] { m_apply->setEnabled(true); });
    }
    for (const TextFileField& name : textFileFields())
        connect(name.field, &QLineEdit::textChanged, this, [this] { m_apply->setEnabled(true); });
    for (QLineEdit* field : {m_fields.musicWorkbookName, m_fields.videoWorkbookName})
        connect(field, &QLineEdit::textEdited, this, [this, field] { cleanWorkbookName(field); });
    connect(m_fields.tagEncoding, &QComboBox::currentIndexChanged, this,
            [this] { m_apply->setEnabled(true); });
    connect(m_browse, &QPushButton::clicked, this, &SettingsDialog::browse);
    connect(m_apply, &QPushButton::clicked, this, &SettingsDialog::apply);
    connect(m_defaults, &QPushButton::clicked, this, &SettingsDialog::setDefaults);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void SettingsDialog::showEvent(QShowEvent* event) {
    load();
    fitDialogToContents(this, kDesignSize);
    QDialog::showEvent(event);
}

void SettingsDialog::load() {
    const SettingsFile& s = m_settings;
    // An absent key shows the value the scan and the exports use, so that "Применить" writes
    // back what is in effect rather than other defaults.
    m_fields.minLimit->setText(s.readText(u"min_limit", QString::number(kDefaultMinLimit)));
    m_fields.saveDir->setText(s.readText(u"save_dir", defaultSaveDir()));
    m_fields.musicHtmlName->setText(exporter::readOutputName(s, exporter::kMusicHtmlName));
    m_fields.videoHtmlName->setText(exporter::readOutputName(s, exporter::kVideoHtmlName));
    m_fields.musicTxtName->setText(exporter::readOutputName(s, exporter::kMusicTxtName));
    m_fields.videoTxtName->setText(exporter::readOutputName(s, exporter::kVideoTxtName));
    m_fields.groupAlbumSeparator->setText(readGroupAlbumSeparator(s));
    m_fields.txtSeparator->setText(
        readQuotedSeparator(s, keys::separatorTxt, kDefaultTxtSeparator));
    m_fields.musicWorkbookName->setText(exporter::readOutputName(s, exporter::kMusicSheetName));
    m_fields.videoWorkbookName->setText(exporter::readOutputName(s, exporter::kVideoSheetName));
    for (const TextFileField& name : textFileFields())
        name.field->setText(s.readText(name.key, name.fallback));
    m_fields.tagEncoding->setCurrentIndex(static_cast<int>(readTagEncoding(s)));
    m_fields.postLimit->setText(
        QString::number(std::max(0, s.readInteger(exporter::kPostLimitKey, 0))));
    m_apply->setEnabled(false);
    m_close->setFocus();
}

void SettingsDialog::apply() {
    try {
        SettingsFile& s = m_settings;
        s.writeText(u"min_limit", m_fields.minLimit->text());
        s.writeText(u"mp3list_name_htm", m_fields.musicHtmlName->text());
        s.writeText(u"videolist_name_htm", m_fields.videoHtmlName->text());
        s.writeText(u"mp3list_name_txt", m_fields.musicTxtName->text());
        s.writeText(u"videolist_name_txt", m_fields.videoTxtName->text());
        s.writeText(u"mp3workbookname", m_fields.musicWorkbookName->text());
        s.writeText(u"videoworkbookname", m_fields.videoWorkbookName->text());
        s.writeInteger(exporter::kPostLimitKey, m_fields.postLimit->text().toInt());
        for (const TextFileField& name : textFileFields())
            s.writeText(name.key, name.field->text());
        // An emptied output folder would make every export land in the current folder; the
        // program's own folder is the folder the rest of the program falls back to.
        if (m_fields.saveDir->text().trimmed().isEmpty())
            m_fields.saveDir->setText(m_programFolder.dirWithSeparator());
        m_fields.saveDir->setText(withTrailingSeparator(m_fields.saveDir->text()));
        s.writeText(u"save_dir", m_fields.saveDir->text());
        s.writeText(keys::separatorTxt, quoteSeparator(m_fields.txtSeparator->text()));
        s.writeText(keys::separatorGroupAlbum,
                    quoteSeparator(m_fields.groupAlbumSeparator->text()));
        writeTagEncoding(s, static_cast<codepage::Choice>(m_fields.tagEncoding->currentIndex()));
    } catch (const ReportedError& error) {
        m_desktop.showError(error.message());
        return;
    }
    m_apply->setEnabled(false);
}

void SettingsDialog::setDefaults() {
    m_fields.minLimit->setText(QStringLiteral("3"));
    m_fields.musicHtmlName->setText(QStringLiteral("musicList.htm"));
    m_fields.videoHtmlName->setText(QStringLiteral("videoList.htm"));
    m_fields.musicTxtName->setText(QStringLiteral("musicList.txt"));
    m_fields.videoTxtName->setText(QStringLiteral("videoList.txt"));
    m_fields.saveDir->setText(defaultSaveDir());
    m_fields.txtSeparator->setText(kDefaultTxtSeparator);
    m_fields.groupAlbumSeparator->setText(kDefaultGroupAlbumSeparator);
    m_fields.musicWorkbookName->setText(QStringLiteral("Music"));
    m_fields.videoWorkbookName->setText(QStringLiteral("Video"));
    m_fields.postLimit->setText(QStringLiteral("0"));
    for (const TextFileField& name : textFileFields())
        name.field->setText(name.fallback);
    m_fields.tagEncoding->setCurrentIndex(static_cast<int>(codepage::Choice::Auto));
    m_apply->setEnabled(true);
}

void SettingsDialog::browse() {
    QString folder = m_fields.saveDir->text();
    if (!pickFolder(m_desktop, QStringLiteral("Выберите папку"), folder))
        return;
    m_fields.saveDir->setText(withTrailingSeparator(folder));
    m_apply->setEnabled(true);
}

std::vector<SettingsDialog::TextFileField> SettingsDialog::textFileFields() const {
    using exporter::TextFormat;
    std::vector<TextFileField> fields;
    for (const auto& [format, music, video] :
         {std::tuple{TextFormat::Bbcode, m_fields.musicBbcodeName, m_fields.videoBbcodeName},
          std::tuple{TextFormat::Csv, m_fields.musicCsvName, m_fields.videoCsvName},
          std::tuple{TextFormat::Json, m_fields.musicJsonName, m_fields.videoJsonName}}) {
        // The export's own names are the defaults here too: no older dialog set others.
        const exporter::OutputName musicName = exporter::textOutputName(format, true);
        const exporter::OutputName videoName = exporter::textOutputName(format, false);
        fields.push_back({music, musicName.key, musicName.fallback});
        fields.push_back({video, videoName.key, videoName.fallback});
    }
    return fields;
}

void SettingsDialog::cleanWorkbookName(QLineEdit* field) {
    QString text = field->text();
    const bool hasForbidden = std::any_of(text.begin(), text.end(),
                                          [](QChar c) { return kSheetNameForbidden.contains(c); });
    if (hasForbidden) {
        const int cursor = field->cursorPosition();
        m_desktop.showMessage(
            QStringLiteral("В названии листа не могут содержатся символы : \\ / ? * [ ]"));
        text.removeIf([](QChar c) { return kSheetNameForbidden.contains(c); });
        field->setText(text);
        field->setCursorPosition(std::max(0, cursor - 1));
    }
    m_apply->setEnabled(true);
}

} // namespace korvane
