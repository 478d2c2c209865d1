// The music scan with one request to the disk at a time and with many in flight gives the same
// list, row for row and byte for byte: printed, as TXT and as JSON.
#include "CliRun.h"
#include "WithoutMadeTime.h"

#include "../tags/TagBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::cli {
namespace {

namespace t = tags::test;

constexpr qint64 kMiB = 1024 * 1024;

std::string text(std::string_view utf8) {
    return "\x03" + std::string(utf8);
}

// An mp3 of a few frames whose ID3v2.4 tag names its artist, album, year and genre.
std::string mp3(const std::string& artist, const std::string& album, int year, int frames) {
    const std::string tag =
        t::id3v2Tag(4, t::frameV4("TPE1", text(artist)) + t::frameV4("TALB", text(album)) +
                           t::frameV4("TDRC", text(std::to_string(year))) +
                           t::frameV4("TCON", text(year % 2 ? "Рок" : "Jazz")));
    return tag + t::mpegFrames(frames);
}

// Paths are bytes here, so that names that are not UTF-8 can be made.
void writeFile(const std::string& path, const std::string& bytes, qint64 size = 0) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    if (size > static_cast<qint64>(bytes.size())) {
        ASSERT_EQ(::ftruncate(fd, size), 0);
    }
    ::close(fd);
}

void makeFolder(const std::string& path) {
    std::string partial;
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        partial = path.substr(0, slash);
        ::mkdir(partial.c_str(), 0755);
        if (slash == std::string::npos)
            break;
    }
}

// Two categories of groups and albums: names with blanks, brackets, Cyrillic and Windows-1251
// bytes; albums of mp3 files, folded discs, a file that cannot be read, empty and too small
// folders, hidden files; more albums than the scan reads ahead.
void makeCollection(const std::string& root) {
    const std::string oddGroups[] = {"Кино", "Group [live] & Co", " blank ", "\xCA\xE8\xED\xEE"};
    for (int category = 0; category < 2; ++category) {
        for (int g = 0; g < 8; ++g) {
            const std::string group = root + "/Cat" + std::to_string(category) + '/' +
                                      (g < 4 ? oddGroups[g] : "Group " + std::to_string(g));
            for (int a = 0; a < 6; ++a) {
                const int year = 1980 + g * 6 + a;
                const std::string album =
                    group + '/' + std::to_string(year) + " - Album " + std::to_string(a);
                makeFolder(album);
                switch ((g + a) % 7) {
                case 0: // two discs
                    for (const char* disc : {"/CD1", "/CD2"}) {
                        makeFolder(album + disc);
                        writeFile(album + disc + "/01.mp3", mp3("Disc", "Album", year, 20),
                                  2 * kMiB);
                    }
                    break;
                case 1: // too small
                    writeFile(album + "/01.mp3", mp3("Small", "Album", year, 5));
                    break;
                case 2: // empty
                    break;
                case 3: { // cannot be read
                    const std::string file = album + "/01.mp3";
                    writeFile(file, mp3("Locked", "Album", year, 20), 5 * kMiB);
                    ::chmod(file.c_str(), 0);
                    break;
                }
                default:
                    for (int track = 1; track <= 3; ++track) {
                        writeFile(album + "/0" + std::to_string(track) + ".mp3",
                                  mp3("Artist " + std::to_string(g), "Album " + std::to_string(a),
                                      year, 10 + track),
                                  2 * kMiB);
                    }
                    writeFile(album + "/.hidden", std::string(), 9 * kMiB);
                    writeFile(album + "/cover.jpg", "jpg");
                }
            }
        }
    }
}

struct Outputs {
    std::string printed, txt, json;
};

class RequestsInFlight : public ::testing::Test {
protected:
    QTemporaryDir program;
    QTemporaryDir collection;

    void SetUp() override {
        ASSERT_TRUE(QDir(program.path()).mkpath(QStringLiteral("out")));
        QFile settings(program.filePath(QStringLiteral("set.ini")));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(
            "[options]\r\nsave_dir=" + program.filePath(QStringLiteral("out/")).toUtf8() +
            "\r\nmp3list_name_txt=list.txt\r\n");
    }

    Outputs scan(const QString& root, const QString& jobs, const QStringList& options) {
        const QString json = program.filePath(QStringLiteral("out/list.json"));
        const CliOutcome outcome =
            runCli(QStringList{"--dir", program.path(), "music", root, "--jobs", jobs} + options +
                   QStringList{"--print", "--txt", "--txt-encoding", "utf-8", "--json", json});
        EXPECT_EQ(outcome.status, kExitOk) << outcome.err;
        Outputs outputs{outcome.out, test::withoutMadeTime(read("out/list.txt")),
                        test::withoutMadeTime(read("out/list.json"))};
        QFile::remove(program.filePath(QStringLiteral("out/list.txt")));
        QFile::remove(json);
        return outputs;
    }

    std::string read(const char* name) const {
        QFile file(program.filePath(QLatin1String(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
    }
};

TEST_F(RequestsInFlight, TheListIsTheSameWithOneRequestOrMany) {
    const std::string root = QFile::encodeName(collection.path()).toStdString();
    makeCollection(root);
    const Outputs sample = scan(collection.path(), QStringLiteral("1"), {"--categories"});
    ASSERT_FALSE(sample.printed.empty());
    ASSERT_NE(sample.json, "<missing>");
    ASSERT_NE(sample.txt, "<missing>");
    EXPECT_NE(sample.printed.find("Кино"), std::string::npos) << sample.printed;
    EXPECT_NE(sample.printed.find("[2CD]"), std::string::npos) << sample.printed;
    for (const QStringList& options :
         {QStringList{"--categories", "--fold-discs"},
          QStringList{"--categories", "--no-fold-discs"},
          QStringList{"--no-categories", "--groups-without-albums", "--other-formats"}}) {
        SCOPED_TRACE(options.join(u' ').toStdString());
        const Outputs serial = scan(collection.path(), QStringLiteral("1"), options);
        for (const char* jobs : {"2", "8", "32"}) {
            SCOPED_TRACE(jobs);
            const Outputs parallel = scan(collection.path(), QLatin1String(jobs), options);
            EXPECT_EQ(parallel.printed, serial.printed);
            EXPECT_EQ(parallel.txt, serial.txt);
            EXPECT_EQ(parallel.json, serial.json);
        }
    }
    // The demo collection: every format's reader.
    const QString demo = QDir::cleanPath(QStringLiteral(KORVANE_BIN_DIR "/../demo/music"));
    ASSERT_TRUE(QFile::exists(demo));
    const Outputs serial = scan(demo, QStringLiteral("1"), {"--categories", "--other-formats"});
    const Outputs parallel = scan(demo, QStringLiteral("8"), {"--categories", "--other-formats"});
    EXPECT_EQ(parallel.printed, serial.printed);
    EXPECT_EQ(parallel.txt, serial.txt);
    EXPECT_EQ(parallel.json, serial.json);
}

TEST(RequestsInFlightOption, NeedsACountOfOneOrMore) {
    QTemporaryDir collection;
    for (const QStringList& words :
         {QStringList{"--jobs", "0"}, QStringList{"--jobs", "many"}, QStringList{"--jobs"}}) {
        SCOPED_TRACE(words.join(u' ').toStdString());
        const CliOutcome outcome =
            runCli(QStringList{"music", collection.path()} + words + QStringList{"--print"});
        EXPECT_EQ(outcome.status, kExitUsage);
        EXPECT_NE(outcome.err.find("--jobs needs a number of requests in flight"),
                  std::string::npos)
            << outcome.err;
    }
}

TEST(RequestsInFlightOption, IsTheMusicCommands) {
    QTemporaryDir collection;
    const CliOutcome outcome =
        runCli(QStringList{"video", collection.path(), "--jobs", "4", "--print"});
    EXPECT_EQ(outcome.status, kExitUsage);
    EXPECT_NE(outcome.err.find("--jobs is an option of the music command"), std::string::npos)
        << outcome.err;
}

} // namespace
} // namespace korvane::cli
