#include "bases/BaseFillDialog.h"

#include "FakeDesktop.h"
#include "jobs/Job.h"
#include "music/MusicList.h"
#include "settings/SettingsFile.h"

#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace korvane {
namespace {

using bases::BaseKind;
using bases::FillMode;
using bases::FillState;

const QString kReading = QStringLiteral("Чтение базы...");
const QString kFilling = QStringLiteral("Заполнение жанров...");
const QString kStop = QStringLiteral("Прекратить");
const QString kClose = QStringLiteral("Закрыть");

class BaseFillDialogTest : public ::testing::Test {
protected:
    BaseFillDialogTest()
        : m_settings(m_dir.filePath(QStringLiteral("set.ini"))), m_dialog(m_desktop, m_settings) {
        for (const char* group : {"A", "B", "C"})
            m_list.appendRow({QString::fromLatin1(group) + QStringLiteral("  \\  X"),
                              {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("-"),
                               QStringLiteral("-")}});
    }

    QString writeBase(const QByteArray& bytes) {
        const QString path = m_dir.filePath(QStringLiteral("genrebd.txt"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    // Shows the dialog and waits until its run has ended.
    void showAndWait() {
        QSignalSpy finished(&m_dialog, &BaseFillDialog::runFinished);
        m_dialog.show();
        ASSERT_TRUE(finished.wait(5000));
    }

    QStringList styles() const {
        QStringList out;
        for (const MusicRow& row : m_list.rows())
            out << row.cells.value(StyleCell);
        return out;
    }

    QTemporaryDir m_dir;
    test::FakeDesktop m_desktop;
    SettingsFile m_settings;
    MusicList m_list;
    Job m_job;
    BaseFillDialog m_dialog;
};

TEST_F(BaseFillDialogTest, Layout) {
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("Korvane"));
    EXPECT_EQ(m_dialog.minimumSize(), m_dialog.maximumSize());
    EXPECT_EQ(m_dialog.button()->text(), kStop);
    EXPECT_TRUE(m_dialog.label()->alignment() & Qt::AlignHCenter);
    m_dialog.layout()->activate();
    EXPECT_GT(m_dialog.button()->height(), m_dialog.progressBar()->height() * 3 / 2);
    EXPECT_LT(m_dialog.progressBar()->x(), m_dialog.button()->x()) << "the button at the right";
    EXPECT_LT(m_dialog.label()->y(), m_dialog.progressBar()->y()) << "the bar below the label";
}

TEST_F(BaseFillDialogTest, RunsWhenShownAndOffersClose) {
    m_dialog.prepare(BaseKind::GenreBase, FillMode::OnlyMissing, writeBase("a=Punk\r\nc=Ska\r\n"),
                     m_list, m_job);
    showAndWait();
    EXPECT_EQ(styles(),
              (QStringList{QStringLiteral("Punk"), QStringLiteral("-"), QStringLiteral("Ska")}));
    EXPECT_EQ(m_dialog.label()->text(), QStringLiteral("ОК"));
    EXPECT_EQ(m_dialog.button()->text(), kClose);
    EXPECT_EQ(m_dialog.progressBar()->value(), 3);
    EXPECT_EQ(m_dialog.progressBar()->maximum(), 3);
    EXPECT_TRUE(m_dialog.isVisible()) << "the dialog waits for the user";
    EXPECT_TRUE(m_desktop.errors.isEmpty());

    m_dialog.button()->click();
    EXPECT_FALSE(m_dialog.isVisible());
}

TEST_F(BaseFillDialogTest, EveryRunStartsWithTheStopCaption) {
    const QString path = writeBase("a=Punk\r\n");
    m_dialog.prepare(BaseKind::GenreBase, FillMode::All, path, m_list, m_job);
    showAndWait();
    m_dialog.button()->click();

    QStringList captions;
    QObject::connect(m_dialog.progressBar(), &QProgressBar::valueChanged, &m_dialog,
                     [&] { captions << m_dialog.button()->text(); });
    m_dialog.prepare(BaseKind::CountryBase, FillMode::All, path, m_list, m_job);
    showAndWait();
    ASSERT_FALSE(captions.isEmpty());
    EXPECT_EQ(captions.first(), kStop);
    EXPECT_EQ(m_list.text(0, CountryCell + 1), QStringLiteral("Punk"));
    EXPECT_EQ(m_dialog.button()->text(), kClose);
}

TEST_F(BaseFillDialogTest, MissingBaseShowsTheOpenErrorAndChangesNothing) {
    const QString path = m_dir.filePath(QStringLiteral("countrybd.txt"));
    m_dialog.prepare(BaseKind::CountryBase, FillMode::All, path, m_list, m_job);
    showAndWait();
    ASSERT_EQ(m_desktop.errors.size(), 1);
    EXPECT_EQ(m_desktop.errors.first(),
              QStringLiteral("Не удалось прочитать файл \"%1\".\nТакого файла нет. Проверьте, что "
                             "он на месте, или выберите другой.")
                  .arg(path));
    EXPECT_EQ(m_dialog.label()->text(), kReading);
    EXPECT_EQ(m_dialog.button()->text(), kStop);
    EXPECT_TRUE(m_dialog.isVisible());
    for (const MusicRow& row : m_list.rows())
        EXPECT_EQ(row.cells.value(CountryCell), QStringLiteral("-"));
    m_dialog.close();
    EXPECT_FALSE(m_dialog.isVisible());
}

// A stop as soon as the dialog shows the reading or the filling, by the button, the close box or
// Escape. The run goes on in the list's job: a long base and a long list give the stop time to
// arrive while the phase runs. A stop while reading changes nothing; while filling, the rows
// before it keep their values (the first one), those after it stay as they were (the last two).
TEST_F(BaseFillDialogTest, StopAndClose) {
    QByteArray base = "a=Punk\r\nb=Ska\r\nc=Pop\r\n";
    for (int i = 0; i < 400'000; ++i)
        base += "filler " + QByteArray::number(i) + "=Rock\r\n";
    const QString path = writeBase(base);
    MusicList list;
    const auto addRow = [&list](const QString& group) {
        list.appendRow(
            {group + QStringLiteral("  \\  X"),
             {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("-"), QStringLiteral("-")}});
    };
    addRow(QStringLiteral("A"));
    for (int i = 0; i < 300'000; ++i)
        addRow(QStringLiteral("nobody %1").arg(i));
    addRow(QStringLiteral("B"));
    addRow(QStringLiteral("C"));
    const auto ends = [&list] {
        return QStringList{list.rows().front().cells.value(StyleCell),
                           list.rows()[list.rows().size() - 2].cells.value(StyleCell),
                           list.rows().back().cells.value(StyleCell)};
    };

    const std::function<void(BaseFillDialog&)> clickStop = [](BaseFillDialog& d) {
        d.button()->click();
    };
    const std::function<void(BaseFillDialog&)> closeBox = [](BaseFillDialog& d) { d.close(); };
    const std::function<void(BaseFillDialog&)> escape = [](BaseFillDialog& d) {
        QTest::keyClick(&d, Qt::Key_Escape);
    };
    const QStringList untouched{QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")};
    const QStringList first{QStringLiteral("Punk"), QStringLiteral("-"), QStringLiteral("-")};
    const struct {
        const char* name;
        QString phase;
        std::function<void(BaseFillDialog&)> action;
        FillState state;
        bool visible;
        QString label;
        QString caption;
        QStringList styles;
    } cases[] = {
        {"stop button while reading", kReading, clickStop, FillState::Stopped, true, kReading,
         kStop, untouched},
        {"close box while reading", kReading, closeBox, FillState::Stopped, false, kReading, kStop,
         untouched},
        {"Escape while reading", kReading, escape, FillState::Stopped, false, kReading, kStop,
         untouched},
        {"stop button while filling", kFilling, clickStop, FillState::Done, true,
         QStringLiteral("ОК"), kClose, first},
        {"close box while filling", kFilling, closeBox, FillState::Done, false,
         QStringLiteral("ОК"), kClose, first},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < list.count(); ++i)
            list.setCell(i, StyleCell, QStringLiteral("-"));
        m_dialog.prepare(BaseKind::GenreBase, FillMode::All, path, list, m_job);
        bool acted = false;
        const QMetaObject::Connection connection = QObject::connect(
            m_dialog.progressBar(), &QProgressBar::valueChanged, &m_dialog, [&](int value) {
                if (!acted && value >= 1 && m_dialog.label()->text() == c.phase) {
                    acted = true;
                    c.action(m_dialog);
                }
            });
        QSignalSpy finished(&m_dialog, &BaseFillDialog::runFinished);
        m_dialog.show();
        ASSERT_TRUE(finished.wait(60000)) << c.name;
        QObject::disconnect(connection);
        EXPECT_TRUE(acted) << c.name;
        EXPECT_EQ(m_dialog.fill().state(), c.state) << c.name;
        EXPECT_EQ(m_dialog.isVisible(), c.visible) << c.name;
        EXPECT_EQ(m_dialog.label()->text(), c.label) << c.name;
        EXPECT_EQ(m_dialog.button()->text(), c.caption) << c.name;
        EXPECT_EQ(ends(), c.styles) << c.name;
        if (c.state == FillState::Stopped) {
            EXPECT_EQ(m_dialog.progressBar()->value(), 0) << c.name;
        }
        m_dialog.hide();
    }
}

} // namespace
} // namespace korvane
