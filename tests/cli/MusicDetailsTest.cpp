// A collection made by real encoders at test time (lame, ffmpeg's wmav2, oggenc): the music
// command prints every album row with its bitrate, style, country and names from the tags.
#include "cli/Cli.h"
#include "files/FolderWalker.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <map>
#include <sstream>

namespace korvane::cli {
namespace {

const QString kSep = QStringLiteral("  \\  ");

// Runs a tool and returns its standard output; fails the test when it does not succeed.
QString runTool(const QString& program, const QStringList& args) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C.UTF-8"); // oggenc reads its arguments in the locale's charset
    process.setProcessEnvironment(environment);
    process.start(QStandardPaths::findExecutable(program), args);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        ADD_FAILURE() << program.toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// kbit/s as ffprobe states them: the stream's bit_rate, or the whole file's ("format").
double statedKbps(const QString& file, const QString& entry) {
    const QString value = runTool("ffprobe", {"-v", "error", "-show_entries", entry + "=bit_rate",
                                              "-of", "default=noprint_wrappers=1:nokey=1", file});
    return value.split(u'\n', Qt::SkipEmptyParts).value(0).toDouble() / 1000;
}

// kbit/s of an oggenc file's audio pages over the duration ffprobe states: oggenc puts the
// identification header on the first page and the comment and setup headers on the second, so
// the audio starts with the third page.
double oggAudioKbps(const QString& file) {
    QFile in(file);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    const qsizetype third = bytes.indexOf("OggS", bytes.indexOf("OggS", 1) + 1);
    EXPECT_GT(third, 0);
    const double seconds = runTool("ffprobe", {"-v", "error", "-show_entries", "format=duration",
                                               "-of", "default=noprint_wrappers=1:nokey=1", file})
                               .trimmed()
                               .toDouble();
    return static_cast<double>(bytes.size() - third) / seconds / 125;
}

// The Size cell the scan computes: the files directly inside the folder.
QString sizeOf(const QString& folder) {
    std::uint64_t bytes = 0;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files))
        bytes += static_cast<std::uint64_t>(info.size());
    return sizeTextOfBytes(bytes);
}

class MusicDetails : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"lame", "ffmpeg", "ffprobe", "oggenc"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        }
        m_wav = m_work.filePath("tone.wav");
        runTool("ffmpeg", {"-nostdin", "-v", "error", "-f", "lavfi", "-i",
                           "sine=frequency=440:duration=3:sample_rate=44100", "-ac", "2", m_wav});
    }

    // An album folder below the root with a sparse padding file, so that it passes the default
    // size limit of 3 MiB.
    QString album(const QString& relative) {
        const QString folder = m_root.filePath(relative);
        QDir().mkpath(folder);
        QFile pad(folder + "/pad.bin");
        EXPECT_TRUE(pad.open(QIODevice::WriteOnly));
        pad.resize(4 << 20);
        return folder;
    }

    QStringList print(const QStringList& options) {
        std::ostringstream out, err;
        const int status =
            run(QStringList{"music", m_root.path()} + options + QStringList{"--print"},
                m_program.path(), out, err);
        EXPECT_EQ(status, kExitOk) << err.str();
        QStringList rows = QString::fromStdString(out.str()).split(u'\n', Qt::SkipEmptyParts);
        rows.sort();
        return rows;
    }

    QTemporaryDir m_work;
    QTemporaryDir m_root;
    QTemporaryDir m_program; // no set.ini: every setting at its default
    QString m_wav;
};

QString row(const QString& caption, const QString& size, const QString& bitrate,
            const QString& style, const QString& country) {
    return QStringList{caption, size, bitrate, style, country}.join(u'\t');
}

QString kbps(double value) {
    return QString::number(std::lround(value));
}

TEST_F(MusicDetails, CollectionOfMp3WmaAndOggAlbums) {
    const QString vbr = album("Group/2001 - Live");
    runTool("lame",
            {"--quiet", "-V", "2", "--add-id3v2", "--ta", "Group", "--tl", "Album", "--ty", "2001",
             "--tg", "Rock", "--tc", "Country: UK\r\nUSA", m_wav, vbr + "/01 Intro.mp3"});
    // lame writes the names in UTF-16; a wma beside an mp3 is never read.
    const QString cbr = album("кино/1988 - Группа крови");
    runTool("lame", {"--quiet", "-b", "192", "--id3v2-only", "--ta", "кино", "--tl", "Группа крови",
                     "--ty", "1988", "--tg", "Rock", m_wav, cbr + "/01.mp3"});
    runTool("ffmpeg", {"-nostdin", "-v", "error", "-i", m_wav, "-c:a", "wmav2", "-metadata",
                       "genre=Pop", cbr + "/00.wma"});
    const QString wma = album("Wgroup/Walbum");
    runTool("ffmpeg", {"-nostdin", "-v", "error", "-i", m_wav, "-c:a", "wmav2", "-b:a", "128k",
                       "-metadata", "genre=Jazz", "-metadata", "WM/Year=2003", wma + "/01.wma"});
    const QString ogg = album("Ogroup/Oalbum");
    runTool("oggenc", {"-Q", "-b", "160", "-G", "Рок", "-d", "1999", "-o", ogg + "/01.ogg", m_wav});
    const QString undated = album("Ogroup/Undated");
    runTool("oggenc", {"-Q", "-q", "2", "-o", undated + "/01.ogg", m_wav});
    const QString none = album("Ngroup/Notes");
    QFile(m_wav).copy(none + "/tone.wav");

    // Whatever the encoders chose, the rows must show what ffprobe states.
    const QString vbrKbps = kbps(statedKbps(vbr + "/01 Intro.mp3", "stream"));
    const QString wmaKbps = kbps(statedKbps(wma + "/01.wma", "stream"));
    const QString oggKbps = kbps(oggAudioKbps(ogg + "/01.ogg"));
    const QString undatedKbps = kbps(oggAudioKbps(undated + "/01.ogg"));

    QStringList all = {
        row("GROUP" + kSep + "Album (2001)", sizeOf(vbr), "VBR " + vbrKbps, "Rock", "UK / USA"),
        row("КИНО" + kSep + "Группа крови (1988)", sizeOf(cbr), "192", "Rock", "-"),
        row("WGROUP" + kSep + "Walbum (2003)", sizeOf(wma), "wma " + wmaKbps, "Jazz", "-"),
        row("OGROUP" + kSep + "Oalbum (1999)", sizeOf(ogg), "ogg " + oggKbps, "Рок", "-"),
        row("OGROUP" + kSep + "Undated", sizeOf(undated), "ogg " + undatedKbps, "-", "-"),
        row("Ngroup" + kSep + "Notes", sizeOf(none), "-", "-", "-"),
    };
    all.sort();
    EXPECT_EQ(print({"--artist-from-tags", "--uppercase", "--year", "--vbr"}), all);
    // The original rule: wma and ogg rows keep the folder's name as it is.
    for (QString& line : all)
        line.replace(QRegularExpression(QStringLiteral("^([WO])GROUP")),
                     QStringLiteral("\\1group"));
    all.sort();
    EXPECT_EQ(print({"--artist-from-tags", "--uppercase", "--year", "--vbr", "--mp3-names-only"}),
              all);

    QStringList plain = {
        row("Group" + kSep + "2001 - Live", sizeOf(vbr), vbrKbps, "Rock", "UK / USA"),
        row("кино" + kSep + "1988 - Группа крови", sizeOf(cbr), "192", "Rock", "-"),
        row("Wgroup" + kSep + "Walbum", sizeOf(wma), "wma " + wmaKbps, "Jazz", "-"),
        row("Ogroup" + kSep + "Oalbum", sizeOf(ogg), "ogg " + oggKbps, "Рок", "-"),
        row("Ogroup" + kSep + "Undated", sizeOf(undated), "ogg " + undatedKbps, "-", "-"),
        row("Ngroup" + kSep + "Notes", sizeOf(none), "-", "-", "-"),
    };
    plain.sort();
    EXPECT_EQ(print({"--no-artist-from-tags", "--no-uppercase", "--no-year", "--no-vbr"}), plain);
}

} // namespace
} // namespace korvane::cli
