#include "app/SettingsDialog.h"
#include "app/TestersDialog.h"

#include "export/ExportFormats.h"
#include "music/MusicScan.h"
#include "settings/ProgramFolder.h"
#include "settings/Settings.h"
#include "settings/Toggles.h"

#include "FakeDesktop.h"
#include "TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace korvane;

namespace {

struct DialogFixture {
    test::TempDir dir;
    test::FakeDesktop desktop;
    ProgramFolder programFolder{dir.path()};
    SettingsFile settings{dir.file("set.ini")};
    SettingsDialog dialog{desktop, settings, programFolder};

    const SettingsDialog::Fields& fields() { return dialog.fields(); }
    QString stored(QStringView key) { return settings.readText(key, QStringLiteral("<absent>")); }
};

} // namespace

// A fresh set.ini: every field shows what the scan and the exports use for the absent key.
TEST(SettingsDialog, FreshFileShowsTheValuesInEffect) {
    DialogFixture f;
    f.dialog.show();
    EXPECT_EQ(f.fields().minLimit->text(), QStringLiteral("3"));
    EXPECT_EQ(f.fields().saveDir->text(), defaultSaveDir());
    EXPECT_EQ(f.fields().musicHtmlName->text(), QStringLiteral("mp3list.htm"));
    EXPECT_EQ(f.fields().videoHtmlName->text(), QStringLiteral("VideoList.htm"));
    EXPECT_EQ(f.fields().musicTxtName->text(), QStringLiteral("mp3list.txt"));
    EXPECT_EQ(f.fields().videoTxtName->text(), QStringLiteral("VideoList.txt"));
    EXPECT_EQ(f.fields().groupAlbumSeparator->text(), QStringLiteral("  \\  "));
    EXPECT_EQ(f.fields().txtSeparator->text(), QStringLiteral(" | "));
    EXPECT_EQ(f.fields().musicWorkbookName->text(), QStringLiteral("music"));
    EXPECT_EQ(f.fields().videoWorkbookName->text(), QStringLiteral("Video"));
    EXPECT_FALSE(f.dialog.applyButton()->isEnabled());
}

// Changing only the output folder on a fresh install and applying must not change the size
// limit of the scan (a larger one would drop albums at the next update) or the exports' names.
TEST(SettingsDialog, ApplyOnAFreshFileKeepsWhatIsInEffect) {
    DialogFixture f;
    const auto inEffect = [&f] {
        QStringList values{
            QString::number(readMusicScanOptions(f.settings, Toggles(), {}).minLimit)};
        const Settings settings(f.settings);
        for (const OutputNameKey* name :
             {&outputNames::musicHtml, &outputNames::videoHtml, &outputNames::musicTxt,
              &outputNames::videoTxt, &outputNames::musicSheet, &outputNames::videoSheet})
            values << settings.outputName(*name);
        return values;
    };
    const QStringList before = inEffect();
    f.dialog.show();
    f.fields().saveDir->setText(f.dir.path() + QStringLiteral("/Lists/"));
    f.dialog.apply();
    EXPECT_EQ(f.stored(u"min_limit"), QStringLiteral("3"));
    EXPECT_EQ(inEffect(), before);
}

namespace {

// Every label, field, button and box of a shown dialog lies inside it and has at least the size
// it asks for (up to its own maximum): no text is cut.
void expectEverythingFits(QDialog& dialog, QSize designSize, const char* name, double scale) {
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * scale);
    dialog.setFont(font);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_GE(dialog.width(), designSize.width()) << name << " at " << scale;
    EXPECT_GE(dialog.height(), designSize.height()) << name << " at " << scale;
    int checked = 0;
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        if (!child->isVisible() ||
            !(qobject_cast<QLabel*>(child) || qobject_cast<QLineEdit*>(child) ||
              qobject_cast<QAbstractButton*>(child) || qobject_cast<QGroupBox*>(child)))
            continue;
        ++checked;
        const QRect inDialog(child->mapTo(&dialog, QPoint(0, 0)), child->size());
        const QSize wanted = child->sizeHint().boundedTo(child->maximumSize());
        const std::string what = std::string(name) + " at " + std::to_string(scale) + ": " +
                                 child->metaObject()->className() + " \"" +
                                 child->property("text").toString().toStdString() + "\"";
        EXPECT_TRUE(dialog.rect().contains(inDialog)) << what;
        EXPECT_GE(child->width(), wanted.width()) << what;
        EXPECT_GE(child->height(), wanted.height()) << what;
    }
    EXPECT_GE(checked, 5) << name;
    dialog.hide();
}

} // namespace

TEST(DialogLayout, EveryLabelAndFieldFitsAtTheDefaultFontAndTwiceItsSize) {
    for (const double scale : {1.0, 2.0}) {
        DialogFixture f;
        expectEverythingFits(f.dialog, QSize(350, 371), "settings", scale);
        TestersDialog testers(f.desktop, f.dir.file("set.ini"));
        expectEverythingFits(testers, QSize(300, 86), "testers", scale);
    }
}

TEST(DialogLayout, TheDesignSizeStaysTheLeast) {
    DialogFixture f;
    QFont tiny = QApplication::font();
    tiny.setPointSizeF(3);
    f.dialog.setFont(tiny);
    f.dialog.show();
    // The BBCode, CSV and JSON names added three rows, so only the width stays the designed one.
    EXPECT_EQ(f.dialog.width(), 350) << "a small font keeps the designed width";
    EXPECT_GE(f.dialog.height(), 371) << "and at least the designed height";
    EXPECT_EQ(f.dialog.minimumSize(), f.dialog.maximumSize()) << "the dialog is not resized";
}

TEST(SettingsDialog, ApplyWritesEveryFieldQuotingSeparatorsAndEndingTheFolder) {
    DialogFixture f;
    f.dialog.show();
    f.fields().saveDir->setText(f.dir.path() + QStringLiteral("/Lists"));
    f.fields().groupAlbumSeparator->setText(QStringLiteral(" - "));
    EXPECT_TRUE(f.dialog.applyButton()->isEnabled());
    QTest::mouseClick(f.dialog.applyButton(), Qt::LeftButton);
    EXPECT_FALSE(f.dialog.applyButton()->isEnabled());
    EXPECT_EQ(f.stored(u"min_limit"), QStringLiteral("3"));
    EXPECT_EQ(f.stored(u"save_dir"), f.dir.path() + QStringLiteral("/Lists/"));
    EXPECT_EQ(f.fields().saveDir->text(), f.dir.path() + QStringLiteral("/Lists/"));
    EXPECT_EQ(Settings(f.settings).groupAlbumSeparator(), QStringLiteral(" - "));
    EXPECT_TRUE(f.dir.read("set.ini").contains("separator_G_A=\" - \"\r\n"));
    EXPECT_TRUE(f.dir.read("set.ini").contains("separator=\" | \"\r\n"));
    EXPECT_EQ(f.stored(u"mp3workbookname"), QStringLiteral("music"));
}

// The exports' name fields come from their table: each labelled format has its labels, and its
// fields show its names.
TEST(SettingsDialog, TheExportsNameFieldsComeFromTheirTable) {
    DialogFixture f;
    f.dialog.show();
    QStringList labels;
    for (const QLabel* label : f.dialog.findChildren<QLabel*>())
        labels << label->text();
    QStringList shown;
    for (const QLineEdit* field : f.dialog.findChildren<QLineEdit*>())
        shown << field->text();
    for (const exporter::ExportFormatRow& row : exporter::exportFormats()) {
        if (row.musicLabel.isEmpty())
            continue;
        EXPECT_TRUE(labels.contains(row.musicLabel)) << row.flag;
        EXPECT_TRUE(row.videoLabel.isEmpty() || labels.contains(row.videoLabel)) << row.flag;
        EXPECT_TRUE(shown.contains(row.musicName.fallback)) << row.flag;
        EXPECT_TRUE(shown.contains(row.videoName.fallback)) << row.flag;
    }
}

// "Применить" on a fresh file: the keys land in set.ini in the order it writes them.
TEST(SettingsDialog, ApplyWritesTheKeysInItsOrder) {
    DialogFixture f;
    f.dialog.show();
    f.dialog.apply();
    QStringList keys;
    for (const QByteArray& line : f.dir.read("set.ini").split('\n'))
        if (line.contains('='))
            keys << QString::fromLatin1(line.left(line.indexOf('=')));
    EXPECT_EQ(keys, QStringList({"min_limit", "mp3list_name_htm", "videolist_name_htm",
                                 "mp3list_name_txt", "videolist_name_txt", "mp3workbookname",
                                 "videoworkbookname", "postLimit", "mp3list_name_bbcode",
                                 "videolist_name_bbcode", "mp3list_name_csv", "videolist_name_csv",
                                 "mp3list_name_json", "videolist_name_json", "save_dir",
                                 "separator", "separator_G_A", "tagEncoding"}));
}

// The BBCode, CSV and JSON names: the export's own names as defaults, each written to its key.
TEST(SettingsDialog, UnicodeExportFileNames) {
    DialogFixture f;
    const SettingsDialog::Fields& fields = f.fields();
    struct Case {
        QLineEdit* field;
        const char16_t* key;
        const char* fallback;
    };
    const std::vector<Case> cases{
        {fields.musicBbcodeName, u"mp3list_name_bbcode", "mp3list.bbcode.txt"},
        {fields.videoBbcodeName, u"videolist_name_bbcode", "videolist.bbcode.txt"},
        {fields.musicCsvName, u"mp3list_name_csv", "mp3list.csv"},
        {fields.videoCsvName, u"videolist_name_csv", "videolist.csv"},
        {fields.musicJsonName, u"mp3list_name_json", "mp3list.json"},
        {fields.videoJsonName, u"videolist_name_json", "videolist.json"},
    };
    f.dialog.show();
    for (const Case& c : cases)
        EXPECT_EQ(c.field->text(), QLatin1String(c.fallback)) << c.fallback;
    for (const Case& c : cases)
        c.field->setText(QStringLiteral("x-") + QLatin1String(c.fallback));
    f.dialog.apply();
    for (const Case& c : cases) {
        EXPECT_EQ(f.stored(c.key), QStringLiteral("x-") + QLatin1String(c.fallback)) << c.fallback;
    }
    f.dialog.setDefaults();
    for (const Case& c : cases)
        EXPECT_EQ(c.field->text(), QLatin1String(c.fallback)) << c.fallback;
}

// "Кодировка 8-битных тегов": Авто when the key is absent or unknown; each item is written as
// its word and shown again from it; "По умолчанию" goes back to Авто.
TEST(SettingsDialog, TagEncodingIsReadWrittenAndDefaulted) {
    DialogFixture f;
    QComboBox* box = f.fields().tagEncoding;
    f.dialog.show();
    const QStringList items{QStringLiteral("Авто"), QStringLiteral("Windows-1251"),
                            QStringLiteral("KOI8-R"), QStringLiteral("CP866"),
                            QStringLiteral("Windows-1252")};
    ASSERT_EQ(box->count(), items.size());
    for (int i = 0; i < items.size(); ++i)
        EXPECT_EQ(box->itemText(i), items[i]);
    EXPECT_EQ(box->currentText(), QStringLiteral("Авто"));

    const std::vector<std::pair<const char*, const char*>> cases{{"KOI8-R", "koi8-r"},
                                                                 {"CP866", "cp866"},
                                                                 {"Windows-1252", "cp1252"},
                                                                 {"Windows-1251", "cp1251"},
                                                                 {"Авто", "auto"}};
    for (const auto& [item, word] : cases) {
        box->setCurrentText(QString::fromUtf8(item));
        EXPECT_TRUE(f.dialog.applyButton()->isEnabled()) << item;
        f.dialog.apply();
        EXPECT_EQ(f.stored(u"tagEncoding"), QLatin1String(word));
        box->setCurrentIndex(box->currentIndex() == 0 ? 1 : 0);
        f.dialog.load();
        EXPECT_EQ(box->currentText(), QString::fromUtf8(item));
    }

    f.settings.writeText(u"tagEncoding", QStringLiteral("latin9"));
    f.dialog.load();
    EXPECT_EQ(box->currentText(), QStringLiteral("Авто"));
    box->setCurrentText(QStringLiteral("CP866"));
    f.dialog.setDefaults();
    EXPECT_EQ(box->currentText(), QStringLiteral("Авто"));
}

// The largest forum post: 0 (one file) when absent, a number of characters written to postLimit,
// nothing but digits accepted.
TEST(SettingsDialog, ForumPostLimit) {
    DialogFixture f;
    f.dialog.show();
    QLineEdit* limit = f.fields().postLimit;
    EXPECT_EQ(limit->text(), QStringLiteral("0"));
    limit->clear();
    QTest::keyClicks(limit, QStringLiteral("-6x0000"));
    EXPECT_EQ(limit->text(), QStringLiteral("60000"));
    EXPECT_TRUE(f.dialog.applyButton()->isEnabled());
    f.dialog.apply();
    EXPECT_EQ(f.stored(u"postLimit"), QStringLiteral("60000"));
    f.dialog.setDefaults();
    EXPECT_EQ(limit->text(), QStringLiteral("0"));
    f.dialog.load();
    EXPECT_EQ(limit->text(), QStringLiteral("60000"));
}

// The requests to the disk at once: 0 (by the disk) when absent and never written unless
// changed, a number written to requestsInFlight, "По умолчанию" back to 0.
TEST(SettingsDialog, RequestsInFlight) {
    DialogFixture f;
    f.dialog.show();
    QLineEdit* requests = f.fields().requestsInFlight;
    EXPECT_EQ(requests->text(), QStringLiteral("0"));
    f.dialog.apply();
    EXPECT_FALSE(f.dir.read("set.ini").contains("requestsInFlight"));
    requests->clear();
    QTest::keyClicks(requests, QStringLiteral("-1x6"));
    EXPECT_EQ(requests->text(), QStringLiteral("16"));
    EXPECT_TRUE(f.dialog.applyButton()->isEnabled());
    f.dialog.apply();
    EXPECT_EQ(f.stored(u"requestsInFlight"), QStringLiteral("16"));
    f.dialog.setDefaults();
    EXPECT_EQ(requests->text(), QStringLiteral("0"));
    f.dialog.apply();
    EXPECT_EQ(f.stored(u"requestsInFlight"), QStringLiteral("0"));
}

TEST(SettingsDialog, AnEmptiedOutputFolderBecomesTheProgramFolder) {
    DialogFixture f;
    f.dialog.show();
    f.fields().saveDir->clear();
    f.dialog.apply();
    EXPECT_EQ(f.stored(u"save_dir"), f.dir.path() + u'/');
}

TEST(SettingsDialog, WorkbookNamesLoseForbiddenCharacters) {
    DialogFixture f;
    f.dialog.show();
    QLineEdit* field = f.fields().musicWorkbookName;
    field->clear();
    QTest::keyClicks(field, QStringLiteral("xa:"));
    EXPECT_EQ(field->text(), QStringLiteral("xa"));
    EXPECT_EQ(field->cursorPosition(), 2); // one before where the cursor stood after the ":"
    QTest::keyClicks(field, QStringLiteral("b"));
    EXPECT_EQ(field->text(), QStringLiteral("xab"));
    EXPECT_EQ(
        f.desktop.messages,
        QStringList{QStringLiteral("В названии листа не могут содержатся символы : \\ / ? * [ ]")});
    EXPECT_TRUE(f.dialog.applyButton()->isEnabled());
}

TEST(SettingsDialog, DefaultsThenCloseWritesNothing) {
    DialogFixture f;
    f.dialog.show();
    QTest::mouseClick(f.dialog.defaultsButton(), Qt::LeftButton);
    EXPECT_EQ(f.fields().minLimit->text(), QStringLiteral("3"));
    EXPECT_EQ(f.fields().musicWorkbookName->text(), QStringLiteral("Music"));
    EXPECT_TRUE(f.dialog.applyButton()->isEnabled());
    QTest::mouseClick(f.dialog.closeButton(), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(f.dir.file("set.ini")));
    f.dialog.show(); // shown again: the values in effect, not the dropped edits
    EXPECT_EQ(f.fields().musicWorkbookName->text(), QStringLiteral("music"));
}

TEST(SettingsDialog, BrowseEndsTheChosenFolderWithASeparator) {
    DialogFixture f;
    f.dialog.show();
    f.desktop.folderAnswers.push_back(f.dir.path());
    QTest::mouseClick(f.dialog.browseButton(), Qt::LeftButton);
    EXPECT_EQ(f.fields().saveDir->text(), f.dir.path() + u'/');
    EXPECT_EQ(f.desktop.folderCaptions, QStringList{QStringLiteral("Выберите папку")});
}

TEST(TestersDialog, ReadsAndWritesTestersMode) {
    test::TempDir dir;
    test::FakeDesktop desktop;
    TestersDialog dialog(desktop, dir.file("set.ini"));
    dialog.show();
    EXPECT_FALSE(dialog.modeBox()->isChecked());
    EXPECT_EQ(dialog.limitField()->text(), QStringLiteral("20"));
    dialog.modeBox()->setChecked(true);
    dialog.limitField()->setText(QStringLiteral("abc"));
    QTest::mouseClick(dialog.applyButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    SettingsFile settings(dir.file("set.ini"));
    EXPECT_EQ(settings.readText(u"notdead", QString()), QStringLiteral("1"));
    EXPECT_EQ(settings.readText(u"notdead_min_limit", QString()), QStringLiteral("abc"));

    dialog.show();
    dialog.modeBox()->setChecked(false);
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    EXPECT_EQ(settings.readText(u"notdead", QString()), QStringLiteral("1"));
}
