#pragma once

#include <QDialog>

#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace korvane {

class Desktop;
class ProgramFolder;
class SettingsFile;

namespace exporter {
struct ExportFormatRow;
} // namespace exporter

// The settings dialog "Настройки": size limit, output folder, output file names,
// separators, the code page of 8-bit tags and workbook names, written straight into set.ini by
// "Применить".
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(Desktop& desktop, SettingsFile& settings, const ProgramFolder& programFolder,
                   QWidget* parent = nullptr);

    struct Fields {
        QLineEdit* minLimit;
        QLineEdit* saveDir;
        QLineEdit* musicHtmlName;
        QLineEdit* videoHtmlName;
        QLineEdit* musicTxtName;
        QLineEdit* videoTxtName;
        QLineEdit* musicBbcodeName;
        QLineEdit* videoBbcodeName;
        QLineEdit* musicCsvName;
        QLineEdit* videoCsvName;
        QLineEdit* musicJsonName;
        QLineEdit* videoJsonName;
        QLineEdit* groupAlbumSeparator;
        QLineEdit* txtSeparator;
        QLineEdit* musicWorkbookName;
        QLineEdit* videoWorkbookName;
        // "Кодировка 8-битных тегов": the items in the order of codepage::Choice.
        QComboBox* tagEncoding;
        QLineEdit* postLimit;        // the largest forum post in characters, 0: one file
        QLineEdit* requestsInFlight; // the scans' requests to the disk at once, 0: by the disk
    };
    const Fields& fields() const { return m_fields; }
    QPushButton* applyButton() const { return m_apply; }
    QPushButton* defaultsButton() const { return m_defaults; }
    QPushButton* closeButton() const { return m_close; }
    QPushButton* browseButton() const { return m_browse; }

    void load();
    void apply();
    void setDefaults();
    void browse();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cleanWorkbookName(QLineEdit* field);
    // The file- or sheet-name fields of an export, in the order of the table of formats.
    struct NameFields {
        const exporter::ExportFormatRow* format;
        QLineEdit* music = nullptr;
        QLineEdit* video = nullptr;
    };
    std::vector<NameFields> m_names;

    Desktop& m_desktop;
    SettingsFile& m_settings;
    const ProgramFolder& m_programFolder;
    Fields m_fields{};
    QPushButton* m_browse = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_defaults = nullptr;
    QPushButton* m_close = nullptr;
};

} // namespace korvane
