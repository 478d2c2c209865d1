#include "app/SettingsDialog.h"
#include "app/TestersDialog.h"

#include "settings/ProgramFolder.h"
#include "settings/SettingsFile.h"

#include "FakeDesktop.h"
#include "TempDir.h"

#include <QApplication>
#include <QCheckBox>
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

TEST(SettingsDialog, FreshFileShowsTheDialogDefaults) {
    DialogFixture f;
    f.dialog.show();
    EXPECT_EQ(f.fields().minLimit->text(), QStringLiteral("5"));
    EXPECT_EQ(f.fields().saveDir->text(), defaultSaveDir());
    EXPECT_EQ(f.fields().musicHtmlName->text(), QStringLiteral("musicList.htm"));
    EXPECT_EQ(f.fields().videoTxtName->text(), QStringLiteral("videoList.txt"));
    EXPECT_EQ(f.fields().groupAlbumSeparator->text(), QStringLiteral("  \\  "));
    EXPECT_EQ(f.fields().txtSeparator->text(), QStringLiteral(" | "));
    EXPECT_EQ(f.fields().musicWorkbookName->text(), QStringLiteral("mp3"));
    EXPECT_EQ(f.fields().videoWorkbookName->text(), QStringLiteral("Video"));
    EXPECT_FALSE(f.dialog.applyButton()->isEnabled());
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
    EXPECT_EQ(f.dialog.size(), QSize(350, 371)) << "a small font keeps the designed size";
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
    EXPECT_EQ(f.stored(u"min_limit"), QStringLiteral("5"));
    EXPECT_EQ(f.stored(u"save_dir"), f.dir.path() + QStringLiteral("/Lists/"));
    EXPECT_EQ(f.fields().saveDir->text(), f.dir.path() + QStringLiteral("/Lists/"));
    EXPECT_EQ(readGroupAlbumSeparator(f.settings), QStringLiteral(" - "));
    EXPECT_TRUE(f.dir.read("set.ini").contains("separator_G_A=\" - \"\r\n"));
    EXPECT_TRUE(f.dir.read("set.ini").contains("separator=\" | \"\r\n"));
    EXPECT_EQ(f.stored(u"mp3workbookname"), QStringLiteral("mp3"));
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
    f.dialog.show(); // shown again: the file's values, not the dropped edits
    EXPECT_EQ(f.fields().minLimit->text(), QStringLiteral("5"));
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
    const SettingsFile settings(dir.file("set.ini"));
    EXPECT_EQ(settings.readText(u"notdead", QString()), QStringLiteral("1"));
    EXPECT_EQ(settings.readText(u"notdead_min_limit", QString()), QStringLiteral("abc"));

    dialog.show();
    dialog.modeBox()->setChecked(false);
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    EXPECT_EQ(settings.readText(u"notdead", QString()), QStringLiteral("1"));
}
