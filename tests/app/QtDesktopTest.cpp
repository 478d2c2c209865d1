#include "app/QtDesktop.h"

#include "TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

using namespace korvane;

namespace {

// Records what the desktop would open, in place of the file manager.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

// Works the next modal dialog as the user would, once it shows.
template <typename Dialog> void answerNextDialog(const std::function<void(Dialog&)>& answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

QAbstractButton* buttonCaptioned(QMessageBox& box, const QString& caption) {
    for (QAbstractButton* button : box.buttons()) {
        if (button->text() == caption)
            return button;
    }
    return nullptr;
}

} // namespace

TEST(QtDesktop, FolderPickerStartsAtHomeWithNothingToPreselect) {
    test::TempDir dir;
    const struct {
        QString preselect;
        QString start;
    } cases[] = {{QString(), QDir::homePath()}, {dir.path(), dir.path()}};
    for (const auto& c : cases) {
        QtDesktop desktop;
        QString start;
        answerNextDialog<QFileDialog>([&](QFileDialog& dialog) {
            start = dialog.directory().absolutePath();
            dialog.reject();
        });
        EXPECT_EQ(desktop.chooseFolder(QStringLiteral("Выберите папку"), c.preselect),
                  std::nullopt);
        EXPECT_EQ(start, QDir(c.start).absolutePath()) << c.preselect.toStdString();
    }
}

// The save dialog starts in the folder with the name proposed and the caller's filter, and leaves
// the question about an existing file to the caller.
TEST(QtDesktop, SaveDialogShowsTheFolderTheNameAndTheFilter) {
    test::TempDir dir;
    const QString existing = dir.write(QStringLiteral("list.htm"), "old");
    QtDesktop desktop;
    QString start;
    QStringList filters;
    bool confirms = true;
    answerNextDialog<QFileDialog>([&](QFileDialog& dialog) {
        start = dialog.directory().absolutePath();
        filters = dialog.nameFilters();
        confirms = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
        static_cast<QDialog&>(dialog).accept(); // as the "Save" button does
    });
    const std::optional<QString> chosen = desktop.chooseSaveFile(
        dir.path(), QStringLiteral("list.htm"), QStringLiteral("HTML (*.htm *.html)"));
    EXPECT_EQ(start, QDir(dir.path()).absolutePath());
    EXPECT_EQ(filters, QStringList{QStringLiteral("HTML (*.htm *.html)")});
    EXPECT_FALSE(confirms);
    EXPECT_EQ(chosen, std::optional<QString>(existing));
}

// Stand-ins for xdg-mime and xdg-open on PATH: the default application for every type (or none),
// and an opener that records its argument and ends with the given status after the given time.
class FakeOpeners {
public:
    FakeOpeners(bool registered, int openerStatus, int openerSeconds) {
        m_dir.write("xdg-mime", registered ? "#!/bin/sh\necho calc.desktop\n" : "#!/bin/sh\n");
        m_dir.write("xdg-open", "#!/bin/sh\necho \"$1\" >> \"$(dirname \"$0\")/opened\"\nsleep " +
                                    std::to_string(openerSeconds) + "\nexit " +
                                    std::to_string(openerStatus) + "\n");
        for (const char* name : {"xdg-mime", "xdg-open"})
            QFile::setPermissions(m_dir.file(QLatin1String(name)),
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        m_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_path);
    }
    ~FakeOpeners() { qputenv("PATH", m_path); }
    QString opened() const { return QString::fromUtf8(m_dir.read("opened")).trimmed(); }

private:
    test::TempDir m_dir;
    QByteArray m_path;
};

TEST(QtDesktop, AFileCountsAsOpenedOnlyWhenAnApplicationTookIt) {
    test::TempDir files;
    const QString workbook = files.write("Музыка.xlsx", "x");
    const struct {
        const char* name;
        bool registered;
        int openerStatus;
        int openerSeconds;
        QString path;
        bool opened;
        bool openerRan;
    } cases[] = {
        {"no application for the type", false, 0, 0, workbook, false, false},
        {"handed over", true, 0, 0, workbook, true, true},
        {"the opener failed", true, 4, 0, workbook, false, true},
        {"the file is gone", true, 0, 0, files.file("gone.xlsx"), false, false},
        {"the opener runs the application itself", true, 0, 5, workbook, true, true},
    };
    for (const auto& c : cases) {
        FakeOpeners openers(c.registered, c.openerStatus, c.openerSeconds);
        QtDesktop desktop;
        EXPECT_EQ(desktop.openWithShell(c.path), c.opened) << c.name;
        EXPECT_EQ(openers.opened(), c.openerRan ? c.path : QString()) << c.name;
    }
}

TEST(QtDesktop, MessageWithFolderOffersToOpenTheFolder) {
    test::TempDir dir;
    const QString path = dir.write("Video.xlsx", "x");
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    for (const bool openFolder : {false, true}) {
        QtDesktop desktop;
        QString text;
        answerNextDialog<QMessageBox>([&](QMessageBox& box) {
            text = box.text();
            QAbstractButton* button = buttonCaptioned(box, QStringLiteral("Открыть папку"));
            ASSERT_NE(button, nullptr);
            (openFolder ? button : box.button(QMessageBox::Ok))->click();
        });
        desktop.showMessageWithFolder(QStringLiteral("где файл: ") + path, path);
        EXPECT_EQ(text, QStringLiteral("где файл: ") + path);
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(dir.path())});
}

TEST(QtDesktop, ReplaceQuestionNamesTheFileAndDefaultsToCancel) {
    for (const bool replace : {false, true}) {
        QtDesktop desktop;
        QString text;
        bool cancelIsDefault = false;
        answerNextDialog<QMessageBox>([&](QMessageBox& box) {
            text = box.text();
            const QAbstractButton* byDefault = box.defaultButton();
            cancelIsDefault = byDefault && byDefault == box.button(QMessageBox::Cancel);
            QAbstractButton* button = buttonCaptioned(box, QStringLiteral("Заменить"));
            ASSERT_NE(button, nullptr);
            (replace ? button : box.button(QMessageBox::Cancel))->click();
        });
        EXPECT_EQ(desktop.confirmReplace(QStringLiteral("/data/genrebd.txt")), replace);
        EXPECT_EQ(text, QStringLiteral("Файл \"/data/genrebd.txt\" уже существует. Заменить его?"));
        EXPECT_TRUE(cancelIsDefault);
    }
}

#include "QtDesktopTest.moc"
