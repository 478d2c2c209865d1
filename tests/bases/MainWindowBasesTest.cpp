#include "app/MainWindow.h"
#include "bases/BaseFillDialog.h"

#include "FakeDesktop.h"
#include "music/MusicList.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvane {
namespace {

const QString kSeparator = QStringLiteral("  \\  ");

// Menu positions of the "База данных" commands.
enum BaseCommand {
    FillGenreMissing,
    FillGenreAll,
    FillCountryMissing,
    FillCountryAll,
    SaveGenre,
    SaveCountry
};

class MainWindowBasesTest : public ::testing::Test {
protected:
    MainWindowBasesTest() : m_window(ProgramFolder(m_dir.path()), m_desktop) {
        // The user closes the dialog once its run has ended.
        QObject::connect(&m_window.baseFillDialog(), &BaseFillDialog::runFinished,
                         &m_window.baseFillDialog(), [this] { m_window.baseFillDialog().close(); });
    }

    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void addAlbum(const QString& caption, const QString& style, const QString& country) {
        m_window.musicList().appendRow(
            {caption, {QStringLiteral("1"), QStringLiteral("2"), style, country}});
    }
    void trigger(BaseCommand command) { m_window.ui().basesMenu->actions().at(command)->trigger(); }
    QString cell(int row, int cell) { return m_window.musicList().text(row, cell + 1); }

    QTemporaryDir m_dir;
    test::FakeDesktop m_desktop;
    MainWindow m_window;
};

TEST_F(MainWindowBasesTest, FillCommandsAskThenFill) {
    writeFile(QStringLiteral("genrebd.txt"), "owls=Punk\r\nkino=Rock\r\n");
    writeFile(QStringLiteral("countrybd.txt"), "owls=Canada\r\nkino=USSR\r\n");
    const struct {
        BaseCommand command;
        QString question;
        int cell;
        QString owls; // the cell held "Ska" before
        QString kino; // the cell held "-" before
    } cases[] = {
        {FillGenreMissing, QStringLiteral("Заполнить строчки где не прописан жанр?"), StyleCell,
         QStringLiteral("Ska"), QStringLiteral("Rock")},
        {FillGenreAll, QStringLiteral("Заполнить все жанры?"), StyleCell, QStringLiteral("Punk"),
         QStringLiteral("Rock")},
        {FillCountryMissing, QStringLiteral("Заполнить строчки где не прописана страна?"),
         CountryCell, QStringLiteral("Ska"), QStringLiteral("USSR")},
        {FillCountryAll, QStringLiteral("Заполнить все страны?"), CountryCell,
         QStringLiteral("Canada"), QStringLiteral("USSR")},
    };
    for (const auto& c : cases) {
        for (bool yes : {false, true}) {
            m_window.musicList().clear();
            addAlbum(QStringLiteral("OWLS") + kSeparator + QStringLiteral("X"),
                     QStringLiteral("Ska"), QStringLiteral("Ska"));
            addAlbum(QStringLiteral("Kino") + kSeparator + QStringLiteral("Y"), QStringLiteral("-"),
                     QStringLiteral("-"));
            m_desktop.questions.clear();
            m_desktop.yesNoAnswers = {yes};
            trigger(c.command);
            EXPECT_EQ(m_desktop.questions, QStringList{QStringLiteral("Korvane|") + c.question});
            EXPECT_EQ(cell(0, c.cell), yes ? c.owls : QStringLiteral("Ska"))
                << c.question.toStdString();
            EXPECT_EQ(cell(1, c.cell), yes ? c.kino : QStringLiteral("-"))
                << c.question.toStdString();
            const int other = c.cell == StyleCell ? CountryCell : StyleCell;
            EXPECT_EQ(cell(0, other), QStringLiteral("Ska"));
            EXPECT_FALSE(m_window.baseFillDialog().isVisible());
        }
    }
    EXPECT_TRUE(m_desktop.errors.isEmpty());
}

TEST_F(MainWindowBasesTest, FillReadsTheSeparatorFromTheSettings) {
    writeFile(QStringLiteral("set.ini"), "[options]\r\nseparator_G_A=\" - \"\r\n");
    writeFile(QStringLiteral("countrybd.txt"), "owls=Canada\r\n");
    addAlbum(QStringLiteral("Owls - First Flight"), QStringLiteral("-"), QStringLiteral("-"));
    m_desktop.yesNoAnswers = {true};
    trigger(FillCountryMissing);
    EXPECT_EQ(cell(0, CountryCell), QStringLiteral("Canada"));
}

TEST_F(MainWindowBasesTest, MissingBaseShowsTheOpenError) {
    addAlbum(QStringLiteral("Owls") + kSeparator + QStringLiteral("X"), QStringLiteral("-"),
             QStringLiteral("-"));
    m_desktop.yesNoAnswers = {true};
    trigger(FillGenreMissing);
    ASSERT_EQ(m_desktop.errors.size(), 1);
    EXPECT_EQ(m_desktop.errors.first(),
              QStringLiteral("Не удалось прочитать файл \"%1\".\nТакого файла нет. Проверьте, что "
                             "он на месте, или выберите другой.")
                  .arg(m_dir.filePath(QStringLiteral("genrebd.txt"))));
    EXPECT_EQ(cell(0, StyleCell), QStringLiteral("-"));
}

TEST_F(MainWindowBasesTest, SaveCommandsWriteTheBaseAndConfirm) {
    const struct {
        BaseCommand command;
        QString preset;
        QByteArray content;
    } cases[] = {
        {SaveGenre, QStringLiteral("genrebd"), "owls, the=Punk\r\nowls=Punk\r\nthe owls=Punk\r\n"},
        {SaveCountry, QStringLiteral("countrybd"),
         "owls, the=Other\r\nowls=Other\r\nthe owls=Other\r\n"},
    };
    for (const auto& c : cases) {
        m_window.musicList().clear();
        m_window.musicList().appendCategoryHeader(QStringLiteral("Punk"));
        addAlbum(QStringLiteral("The Owls") + kSeparator + QStringLiteral("X"),
                 QStringLiteral("Punk"), QStringLiteral("Other"));
        addAlbum(QStringLiteral("Mess") + kSeparator + QStringLiteral("X"), QStringLiteral("Other"),
                 QStringLiteral("-"));
        const QString chosen = m_dir.filePath(c.preset);
        m_desktop.saveFileRequests.clear();
        m_desktop.saveFileAnswers = {chosen};
        trigger(c.command);
        EXPECT_EQ(m_desktop.saveFileRequests, QStringList{m_dir.path() + u'|' + c.preset});
        EXPECT_EQ(readFile(chosen + QStringLiteral(".txt")), c.content);
        EXPECT_EQ(m_window.statusText(),
                  QStringLiteral("База сохранена в \"") + chosen + QStringLiteral(".txt\""));
    }
    EXPECT_TRUE(m_desktop.errors.isEmpty());
}

TEST_F(MainWindowBasesTest, SavingOverAnExistingBaseAsksFirstAndKeepsTheOldOneAsBak) {
    const QByteArray shipped = "kino=Rock\r\nowls=Punk\r\nramones=Punk\r\n";
    writeFile(QStringLiteral("genrebd.txt"), shipped);
    addAlbum(QStringLiteral("Mess") + kSeparator + QStringLiteral("X"), QStringLiteral("Ska"),
             QStringLiteral("-"));
    const QString target = m_dir.filePath(QStringLiteral("genrebd.txt"));
    const QString backup = target + QStringLiteral(".bak");
    m_window.setStatusText(QStringLiteral("before"));

    // The dialog's preset name without ".txt", then Enter: the question names the file written.
    m_desktop.saveFileAnswers = {m_dir.filePath(QStringLiteral("genrebd"))};
    m_desktop.replaceAnswers = {false};
    trigger(SaveGenre);
    EXPECT_EQ(m_desktop.replaceQuestions, QStringList{target});
    EXPECT_EQ(readFile(target), shipped) << "refused: the base stays";
    EXPECT_FALSE(QFile::exists(backup));
    EXPECT_EQ(m_window.statusText(), QStringLiteral("before"));

    m_desktop.saveFileAnswers = {target};
    m_desktop.replaceAnswers = {true};
    trigger(SaveGenre);
    EXPECT_EQ(m_desktop.replaceQuestions, (QStringList{target, target}));
    EXPECT_EQ(readFile(target), QByteArray("mess=Ska\r\n"));
    EXPECT_EQ(readFile(backup), shipped);
    EXPECT_EQ(m_window.statusText(), QStringLiteral("База сохранена в \"") + target + u'"');

    // A new file asks nothing.
    m_desktop.saveFileAnswers = {m_dir.filePath(QStringLiteral("other.txt"))};
    trigger(SaveGenre);
    EXPECT_EQ(m_desktop.replaceQuestions.size(), 2);
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("other.txt.bak"))));
}

TEST_F(MainWindowBasesTest, SaveWithAnEmptyListShowsNoDialog) {
    trigger(SaveGenre);
    trigger(SaveCountry);
    EXPECT_TRUE(m_desktop.saveFileRequests.isEmpty());
}

TEST_F(MainWindowBasesTest, SaveCancelledWritesNothing) {
    addAlbum(QStringLiteral("Owls") + kSeparator + QStringLiteral("X"), QStringLiteral("Punk"),
             QStringLiteral("-"));
    m_window.setStatusText(QStringLiteral("before"));
    m_desktop.saveFileAnswers = {std::nullopt};
    trigger(SaveGenre);
    EXPECT_EQ(m_desktop.saveFileRequests.size(), 1);
    EXPECT_EQ(m_window.statusText(), QStringLiteral("before"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList());
}

TEST_F(MainWindowBasesTest, SaveErrorShowsTheCreateErrorAndKeepsTheStatusText) {
    addAlbum(QStringLiteral("Owls") + kSeparator + QStringLiteral("X"), QStringLiteral("Punk"),
             QStringLiteral("-"));
    m_window.setStatusText(QStringLiteral("before"));
    const QString chosen = m_dir.filePath(QStringLiteral("missing folder/genrebd.txt"));
    m_desktop.saveFileAnswers = {chosen};
    trigger(SaveGenre);
    ASSERT_EQ(m_desktop.errors.size(), 1);
    EXPECT_EQ(m_desktop.errors.first(),
              QStringLiteral("Не удалось записать файл \"%1\".\nПапки \"%2\" нет. Создайте её или "
                             "выберите другую папку.")
                  .arg(chosen, m_dir.filePath(QStringLiteral("missing folder"))));
    EXPECT_EQ(m_window.statusText(), QStringLiteral("before"));
}

// A fill is one step of the music list's history; a fill that changes nothing is none.
TEST_F(MainWindowBasesTest, AFillIsUndoneAsOneStep) {
    writeFile(QStringLiteral("genrebd.txt"), "owls=Punk\r\nkino=Rock\r\n");
    addAlbum(QStringLiteral("OWLS") + kSeparator + QStringLiteral("X"), QStringLiteral("Ska"),
             QStringLiteral("-"));
    addAlbum(QStringLiteral("Kino") + kSeparator + QStringLiteral("Y"), QStringLiteral("-"),
             QStringLiteral("-"));
    m_desktop.yesNoAnswers = {true};
    trigger(FillGenreAll);
    ASSERT_EQ(cell(0, StyleCell), QStringLiteral("Punk"));
    ASSERT_EQ(cell(1, StyleCell), QStringLiteral("Rock"));
    m_desktop.yesNoAnswers = {true};
    trigger(FillGenreAll);

    m_window.musicPage().undo();
    EXPECT_EQ(cell(0, StyleCell), QStringLiteral("Ska"));
    EXPECT_EQ(cell(1, StyleCell), QStringLiteral("-"));
    EXPECT_FALSE(m_window.musicPage().history().canUndo()) << "the second fill changed nothing";
    m_window.musicPage().redo();
    EXPECT_EQ(cell(0, StyleCell), QStringLiteral("Punk"));
}

} // namespace
} // namespace korvane
