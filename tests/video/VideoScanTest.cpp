#include "video/VideoScan.h"
#include "video/CodecTable.h"
#include "video/VideoInfo.h"
#include "video/VideoList.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {

using video::MediaDetector;
using video::StreamMediaType;

// Every ".avi" file is a 640 x 480 XVID clip of 61 s at 25 fps; anything else does not open.
class AviDetector : public MediaDetector {
public:
    bool open(const std::string& path) override { return path.ends_with(".avi"); }
    std::optional<int> streamCount() override { return 1; }
    bool selectStream(int index) override { return index == 0; }
    std::optional<StreamMediaType> mediaType() override {
        const video::VideoFormat format = video::VideoFormat::VideoInfo;
        return StreamMediaType{video::formatTypeOf(format),
                               video::makeFormatBlock(format, {640, 480, video::fourCC("XVID")})};
    }
    std::optional<double> streamLength() override { return 61.0; }
    std::optional<double> frameRate() override { return 25.0; }
};

// Records what the scan shows; stops after a given number of rows.
class RecordingHost : public VideoScanHost {
public:
    void setStatusText(const QString& text) override { statusTexts << text; }
    void setProgressMaximum(int maximum) override { progressMaximum = maximum; }
    void setProgressPosition(int position) override { positions.push_back(position); }
    void filePhaseBegan() override { ++filePhases; }
    void rowAppended() override {
        if (++rows == stopAfterRows)
            stop.request_stop();
    }

    std::stop_source stop;
    int rows = 0;
    int stopAfterRows = -1;
    int filePhases = 0;
    int progressMaximum = -100;
    std::vector<int> positions;
    QStringList statusTexts;
};

class VideoScanTest : public ::testing::Test {
protected:
    void file(const QString& name, qint64 size = 0) {
        const QString path = m_dir.write(name, "");
        QFile f(path);
        ASSERT_TRUE(f.resize(size)); // sparse: large sizes cost no disk
    }
    VideoScanResult scan(const QString& root, RecordingHost& host,
                         const QString& separator = QStringLiteral("  \\  ")) {
        video::VideoInfo probe([] { return std::make_unique<AviDetector>(); });
        return scanVideos(root, separator, m_list, probe, host, VideoFiles::All, nullptr,
                          codepage::Choice::Auto, host.stop.get_token());
    }
    QStringList captions() const {
        QStringList result;
        for (const VideoRow& row : m_list.rows())
            result << row.caption;
        return result;
    }

    test::TempDir m_dir;
    VideoList m_list;
};

TEST_F(VideoScanTest, WalkSkipsExactlyDotDbFiles) {
    file("a.avi");
    file("Thumbs.db");
    file("INDEX.DB");
    file("notes.db.txt");
    file(".db");
    file(".hidden.avi");
    file("sub/deep/clip.mkv");
    file("sub/x.db");
    QStringList files;
    listVideoFiles(m_dir.path(), files);
    QStringList names;
    for (const QString& path : files)
        names << QDir(m_dir.path()).relativeFilePath(path);
    names.sort();
    EXPECT_EQ(names, (QStringList{".hidden.avi", "INDEX.DB", "a.avi", "notes.db.txt",
                                  "sub/deep/clip.mkv"}));
}

TEST_F(VideoScanTest, WalkVisitsALinkedFolderLoopOnce) {
    file("sub/clip.avi");
    ASSERT_TRUE(QFile::link(m_dir.path(), m_dir.file("sub/back")));
    ASSERT_TRUE(QFile::link(m_dir.file("sub"), m_dir.file("again")));
    QStringList files;
    listVideoFiles(m_dir.path(), files);
    // sub/clip.avi, and again/clip.avi through the second link (not an ancestor of itself)
    EXPECT_EQ(files.size(), 2);
}

TEST_F(VideoScanTest, WalkEntersEachLinkedFolderThroughOneLinkOnly) {
    // Ten folders, each with a clip and links to every other folder: each clip is listed at its
    // own path and once more through the first link that reaches its folder.
    constexpr int kFolders = 10;
    for (int i = 0; i < kFolders; ++i)
        file(QStringLiteral("F%1/clip.avi").arg(i));
    for (int i = 0; i < kFolders; ++i)
        for (int j = 0; j < kFolders; ++j)
            if (i != j) {
                ASSERT_TRUE(QFile::link(m_dir.file(QStringLiteral("F%1").arg(j)),
                                        m_dir.file(QStringLiteral("F%1/to%2").arg(i).arg(j))));
            }
    QStringList files;
    listVideoFiles(m_dir.path(), files);
    EXPECT_EQ(files.size(), 2 * kFolders) << files.join(u' ').toStdString();
}

TEST_F(VideoScanTest, RowsSortedWithRelativeNamesSizesAndProbeCells) {
    file("c.avi", 1048576);
    file("B.avi", 1048575);
    file("a.txt", 0);
    file("Clips/d.avi", 5ll << 30);
    RecordingHost host;
    const VideoScanResult result = scan(m_dir.path(), host);
    EXPECT_EQ(captions(), (QStringList{"a.txt", "B.avi", "c.avi", "Clips  \\  d.avi"}));
    EXPECT_EQ(result.added, 4);
    EXPECT_FALSE(result.stopped);
    const auto cells = [this](int i) { return m_list.row(i).cells; };
    EXPECT_EQ(cells(0), (QStringList{"1", "0 x 0", "", "0", ""}));
    EXPECT_EQ(cells(1), (QStringList{"1", "640 x 480", "01:01", "25", "XVID MPEG-4"}));
    EXPECT_EQ(cells(2)[0], QStringLiteral("2"));
    EXPECT_EQ(cells(3)[0], QStringLiteral("5121"));
    EXPECT_EQ(host.progressMaximum, 3);
    EXPECT_EQ(host.positions, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(host.statusTexts.first(), QStringLiteral("Подождите, идёт поиск файлов..."));
    EXPECT_EQ(host.statusTexts.last(), QDir::toNativeSeparators(QStringLiteral("../Clips/d.avi")));
    // the root's own file sorts first: the root is the next start folder
    EXPECT_EQ(result.firstFileFolder, QDir::toNativeSeparators(m_dir.path()));
}

TEST_F(VideoScanTest, NamesThatAreNotUtf8AreProbedAndShownAsWindows1251) {
    // "Клипы/Кино.avi" in Windows-1251 bytes, beside the same clip under a UTF-8 name.
    file("twin/clip.avi", 3 * 1024 * 1024);
    const QByteArray folder = QFile::encodeName(m_dir.path()) + "/\xCA\xEB\xE8\xEF\xFB";
    const QByteArray clip = folder + "/\xCA\xE8\xED\xEE.avi";
    ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
    const int fd = ::open(clip.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 3 * 1024 * 1024), 0);
    ::close(fd);
    RecordingHost host;
    scan(m_dir.path(), host);
    ::unlink(clip.constData()); // the temporary folder cannot name them
    ::rmdir(folder.constData());
    ASSERT_EQ(captions(), (QStringList{"twin  \\  clip.avi", "Клипы  \\  Кино.avi"}));
    EXPECT_EQ(m_list.row(1).cells, m_list.row(0).cells);
    EXPECT_EQ(m_list.row(1).cells.at(1), QStringLiteral("640 x 480"));
}

TEST_F(VideoScanTest, RootWithTrailingSeparatorLosesNoCharacter) {
    file("Live/Show.avi");
    RecordingHost host;
    const VideoScanResult result =
        scan(m_dir.path() + QDir::separator(), host, QStringLiteral("/"));
    EXPECT_EQ(captions(), QStringList{"Live/Show.avi"});
    EXPECT_EQ(result.firstFileFolder, QDir::toNativeSeparators(m_dir.file("Live")));
}

TEST_F(VideoScanTest, SecondScanAppendsAgain) {
    file("a.avi");
    file("b.avi");
    RecordingHost first, second;
    scan(m_dir.path(), first);
    scan(m_dir.path(), second);
    EXPECT_EQ(captions(), (QStringList{"a.avi", "b.avi", "a.avi", "b.avi"}));
}

TEST_F(VideoScanTest, StopBeforeTheNextFile) {
    for (const char* name : {"1.avi", "2.avi", "3.avi", "4.avi"})
        file(QString::fromLatin1(name));
    RecordingHost host;
    host.stopAfterRows = 2;
    const VideoScanResult result = scan(m_dir.path(), host);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.added, 2);
    EXPECT_EQ(m_list.count(), 2);
    EXPECT_EQ(result.firstFileFolder, QDir::toNativeSeparators(m_dir.path()));
}

// A stop during the walk (the window closing) ends the scan before any file is probed.
TEST_F(VideoScanTest, StopDuringTheWalkEndsTheScanThere) {
    file("a/1.avi");
    file("b/2.avi");
    RecordingHost host;
    host.stop.request_stop();
    const VideoScanResult result = scan(m_dir.path(), host);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.added, 0);
    EXPECT_EQ(m_list.count(), 0);
    EXPECT_EQ(host.filePhases, 0);
}

TEST_F(VideoScanTest, EmptyTreeAddsNothing) {
    QDir(m_dir.path()).mkpath(QStringLiteral("empty/deeper"));
    RecordingHost host;
    const VideoScanResult result = scan(m_dir.path(), host);
    EXPECT_EQ(result.added, 0);
    EXPECT_TRUE(result.firstFileFolder.isEmpty());
    EXPECT_EQ(host.progressMaximum, -1);
}

TEST_F(VideoScanTest, RealProbeOnATextFileGivesEmptyCells) {
    m_dir.write(QStringLiteral("readme.txt"), "Just a note about the clips.\r\n");
    RecordingHost host;
    video::VideoInfo probe;
    scanVideos(m_dir.path(), QStringLiteral("  \\  "), m_list, probe, host, VideoFiles::All);
    ASSERT_EQ(m_list.count(), 1);
    EXPECT_EQ(m_list.row(0).cells, (QStringList{"1", "0 x 0", "", "0", ""}));
}

TEST_F(VideoScanTest, AFifoIsListedWithoutBlockingTheScan) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_dir.file(QStringLiteral("pipe.avi"))).constData(), 0600),
              0);
    RecordingHost host;
    video::VideoInfo probe; // the real detector: opening a FIFO would wait for a writer
    scanVideos(m_dir.path(), QStringLiteral("  \\  "), m_list, probe, host, VideoFiles::All);
    ASSERT_EQ(m_list.count(), 1);
    EXPECT_EQ(m_list.row(0).cells, (QStringList{"1", "0 x 0", "", "0", ""}));
}

} // namespace
} // namespace korvane
