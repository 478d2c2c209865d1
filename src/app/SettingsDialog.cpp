#include "app/SettingsDialog.h"

#include "desktop/Desktop.h"
#include "export/ExportFormats.h"
#include "settings/ProgramFolder.h"
#include "settings/Settings.h"
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
    setWindowTitle(tr("Настройки"));
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
    grid->addWidget(new QLabel(tr("Минимальный размер папки\nдля удаления её из списка:"), this),
                    row, 0);
    grid->addLayout(limitRow, row++, 1);

    grid->addWidget(new QLabel(tr("Директория для сохранения файлов:"), this), row++, 0, 1, 2);
    m_fields.saveDir = new QLineEdit(this);
    m_browse = new QPushButton(QStringLiteral("..."), this);
    m_browse->setFixedWidth(28);
    auto* dirRow = new QHBoxLayout;
    dirRow->addWidget(m_fields.saveDir, 1);
    dirRow->addWidget(m_browse);
    grid->addLayout(dirRow, row++, 0, 1, 2);

    // The exports' file names, from their table: the classic formats a row per list, the later
    // ones a row per format across the dialog, the music list's name beside the video list's, so
    // that the two names share the width of both columns. The sheet names go in the Excel group.
    for (const exporter::ExportFormatRow& format : exporter::exportFormats()) {
        if (!format.musicLabel.isEmpty())
            m_names.push_back({&format});
    }
    const auto isSheet = [](const NameFields& name) {
        return name.format->encoding == exporter::Encoding::Workbook;
    };
    auto* names = new QGridLayout;
    int format = 0;
    const auto addNamePair = [&](const QString& label, QLineEdit*& music, QLineEdit*& video) {
        music = new QLineEdit(this);
        video = new QLineEdit(this);
        music->setToolTip(tr("для music листа"));
        video->setToolTip(tr("для Video листа"));
        names->addWidget(new QLabel(label, this), format, 0);
        names->addWidget(music, format, 1);
        names->addWidget(video, format++, 2);
    };
    for (NameFields& name : m_names) {
        if (isSheet(name))
            continue;
        if (name.format->videoLabel.isEmpty()) {
            addNamePair(exporter::shownText(name.format->musicLabel), name.music, name.video);
        } else {
            addField(exporter::shownText(name.format->musicLabel), name.music, grid);
            addField(exporter::shownText(name.format->videoLabel), name.video, grid);
        }
    }
    grid->addLayout(names, row++, 0, 1, 2);
    addField(tr("Разделитель на который заменяется\nзнак \\  в html, txt и excel файле:"),
             m_fields.groupAlbumSeparator, grid);
    addField(tr("Разделитель в TXT файле между\nБитрейт, Размер, Жанр:"), m_fields.txtSeparator,
             grid);
    m_fields.tagEncoding = new QComboBox(this);
    m_fields.tagEncoding->addItems({tr("Авто"), QStringLiteral("Windows-1251"),
                                    QStringLiteral("KOI8-R"), QStringLiteral("CP866"),
                                    QStringLiteral("Windows-1252")});
    m_fields.tagEncoding->setToolTip(
        tr("Авто: кодировка каждого текста определяется по его буквам"));
    grid->addWidget(new QLabel(tr("Кодировка 8-битных тегов:"), this), row, 0);
    grid->addWidget(m_fields.tagEncoding, row++, 1);
    addField(tr("Сообщение для форума не длиннее\n(символов, 0 - одним файлом):"),
             m_fields.postLimit, grid);
    m_fields.postLimit->setValidator(new QIntValidator(0, 1'000'000'000, m_fields.postLimit));
    addField(tr("Запросов к диску одновременно\n(0 - по виду диска):"), m_fields.requestsInFlight,
             grid);
    m_fields.requestsInFlight->setValidator(new QIntValidator(0, 256, m_fields.requestsInFlight));
    m_fields.requestsInFlight->setToolTip(
        tr("0: 8 на сетевом диске, 1 на жёстком диске, 2 на остальных"));

    auto* excel = new QGroupBox(tr(" Настройки Exceлевского файла "), this);
    auto* excelGrid = new QGridLayout(excel);
    row = 0;
    for (NameFields& name : m_names) {
        if (!isSheet(name))
            continue;
        addField(exporter::shownText(name.format->musicLabel), name.music, excelGrid);
        addField(exporter::shownText(name.format->videoLabel), name.video, excelGrid);
    }
    const auto take = [this](exporter::ExportFormat format, QLineEdit*& music, QLineEdit*& video) {
        const auto name = std::find_if(m_names.begin(), m_names.end(), [format](const auto& n) {
            return n.format->format == format;
        });
        music = name->music;
        video = name->video;
    };
    using exporter::ExportFormat;
    take(ExportFormat::Html, m_fields.musicHtmlName, m_fields.videoHtmlName);
    take(ExportFormat::Txt, m_fields.musicTxtName, m_fields.videoTxtName);
    take(ExportFormat::Workbook, m_fields.musicWorkbookName, m_fields.videoWorkbookName);
    take(ExportFormat::Bbcode, m_fields.musicBbcodeName, m_fields.videoBbcodeName);
    take(ExportFormat::Csv, m_fields.musicCsvName, m_fields.videoCsvName);
    take(ExportFormat::Json, m_fields.musicJsonName, m_fields.videoJsonName);

    m_apply = new QPushButton(tr("Применить"), this);
    m_defaults = new QPushButton(tr("По умолчанию"), this);
    m_close = new QPushButton(tr("Закрыть"), this);
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
         {m_fields.minLimit, m_fields.saveDir, m_fields.groupAlbumSeparator, m_fields.txtSeparator,
          m_fields.postLimit, m_fields.requestsInFlight}) {
        connect(field, &QLineEdit::textChanged, this, [this] { m_apply->setEnabled(true); });
    }
    for (const NameFields& name : m_names) {
        for (QLineEdit* field : {name.music, name.video})
            connect(field, &QLineEdit::textChanged, this, [this] { m_apply->setEnabled(true); });
    }
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
    const Settings s(m_settings);
    m_fields.minLimit->setText(s.minLimitText());
    m_fields.saveDir->setText(s.saveDir());
    for (const NameFields& name : m_names) {
        name.music->setText(s.outputName(name.format->musicName));
        name.video->setText(s.outputName(name.format->videoName));
    }
    m_fields.groupAlbumSeparator->setText(s.groupAlbumSeparator());
    m_fields.txtSeparator->setText(s.txtSeparator());
    m_fields.tagEncoding->setCurrentIndex(static_cast<int>(s.tagEncoding()));
    m_fields.postLimit->setText(QString::number(s.postLimit()));
    m_fields.requestsInFlight->setText(QString::number(s.requestsInFlight()));
    m_apply->setEnabled(false);
    m_close->setFocus();
}

void SettingsDialog::apply() {
    try {
        Settings s(m_settings);
        s.setMinLimitText(m_fields.minLimit->text());
        bool postLimitWritten = false;
        for (const NameFields& name : m_names) {
            // postLimit sits between the classic names and the later ones in the file.
            if (name.format->section != exporter::MenuSection::Classic && !postLimitWritten) {
                s.setPostLimit(m_fields.postLimit->text().toInt());
                postLimitWritten = true;
            }
            s.setOutputName(name.format->musicName, name.music->text());
            s.setOutputName(name.format->videoName, name.video->text());
        }
        // An emptied output folder would make every export land in the current folder; the
        // program's own folder is the folder the rest of the program falls back to.
        if (m_fields.saveDir->text().trimmed().isEmpty())
            m_fields.saveDir->setText(m_programFolder.dirWithSeparator());
        m_fields.saveDir->setText(withTrailingSeparator(m_fields.saveDir->text()));
        s.setSaveDir(m_fields.saveDir->text());
        s.setTxtSeparator(m_fields.txtSeparator->text());
        s.setGroupAlbumSeparator(m_fields.groupAlbumSeparator->text());
        s.setTagEncoding(static_cast<codepage::Choice>(m_fields.tagEncoding->currentIndex()));
        // Written only when changed, so that a set.ini that never named it stays as it was.
        if (const int requests = m_fields.requestsInFlight->text().toInt();
            requests != s.requestsInFlight())
            s.setRequestsInFlight(requests);
    } catch (const ReportedError& error) {
        m_desktop.showError(error.userMessage());
        return;
    }
    m_apply->setEnabled(false);
}

void SettingsDialog::setDefaults() {
    m_fields.minLimit->setText(QString::number(Settings::kMinLimit));
    for (const NameFields& name : m_names) {
        name.music->setText(name.format->musicName.reset);
        name.video->setText(name.format->videoName.reset);
    }
    m_fields.saveDir->setText(defaultSaveDir());
    m_fields.txtSeparator->setText(kDefaultTxtSeparator);
    m_fields.groupAlbumSeparator->setText(kDefaultGroupAlbumSeparator);
    m_fields.postLimit->setText(QStringLiteral("0"));
    m_fields.requestsInFlight->setText(QStringLiteral("0"));
    m_fields.tagEncoding->setCurrentIndex(static_cast<int>(codepage::Choice::Auto));
    m_apply->setEnabled(true);
}

void SettingsDialog::browse() {
    QString folder = m_fields.saveDir->text();
    if (!pickFolder(m_desktop, tr("Выберите папку"), folder))
        return;
    m_fields.saveDir->setText(withTrailingSeparator(folder));
    m_apply->setEnabled(true);
}

void SettingsDialog::cleanWorkbookName(QLineEdit* field) {
    QString text = field->text();
    const bool hasForbidden = std::any_of(text.begin(), text.end(),
                                          [](QChar c) { return kSheetNameForbidden.contains(c); });
    if (hasForbidden) {
        const int cursor = field->cursorPosition();
        m_desktop.showMessage(tr("В названии листа не могут содержатся символы : \\ / ? * [ ]"));
        text.removeIf([](QChar c) { return kSheetNameForbidden.contains(c); });
        field->setText(text);
        field->setCursorPosition(std::max(0, cursor - 1));
    }
    m_apply->setEnabled(true);
}

} // namespace korvane
