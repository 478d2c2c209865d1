#include "CliRun.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace korvane::cli {
namespace {

TEST(VideoCommand, PrintsSortedRowsWithTheSeparatorOfSetIni) {
    test::TempDir program;
    program.write(QStringLiteral("set.ini"), "[options]\r\nseparator_G_A=\" | \"\r\n");
    test::TempDir root;
    root.write(QStringLiteral("b.txt"), "text");
    root.write(QStringLiteral("A/c.txt"), std::string(1048576, 'x'));
    root.write(QStringLiteral("Thumbs.db"), "");

    const CliOutcome outcome = runCli(
        {"--dir", program.path(), "video", root.path(), "--all-files", "--sort", "1", "--print"});
    ASSERT_EQ(outcome.status, kExitOk) << outcome.err;
    EXPECT_EQ(outcome.out, "b.txt\t1\t0 x 0\t\t0\t\n"
                           "A | c.txt\t2\t0 x 0\t\t0\t\n");
    // Without --all-files (or allVideoFiles=1 in set.ini) files without video get no row.
    EXPECT_EQ(runCli({"--dir", program.path(), "video", root.path(), "--print"}).out, "");
    program.write(QStringLiteral("set.ini"), "[options]\r\nallVideoFiles=1\r\n");
    EXPECT_EQ(runCli({"--dir", program.path(), "video", root.path(), "--print"}).out,
              "A  \\  c.txt\t2\t0 x 0\t\t0\t\nb.txt\t1\t0 x 0\t\t0\t\n");
}

TEST(VideoCommand, ClipRowAndSecondRootAppends) {
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    if (ffmpeg.isEmpty())
        GTEST_SKIP() << "ffmpeg is not installed";
    test::TempDir program;
    test::TempDir root;
    QProcess encoder;
    encoder.start(ffmpeg, {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i",
                           "testsrc=size=176x144:rate=25:duration=2", "-c:v", "mjpeg", "-vtag",
                           "MJPG", root.file("Show.avi")});
    ASSERT_TRUE(encoder.waitForFinished(60000));
    ASSERT_EQ(encoder.exitCode(), 0);

    test::TempDir second;
    ASSERT_TRUE(QFile::copy(root.file("Show.avi"), second.file("Show.avi")));
    const CliOutcome outcome =
        runCli({"--dir", program.path(), "video", root.path(), second.path(), "--print"});
    ASSERT_EQ(outcome.status, kExitOk) << outcome.err;
    const std::string row = "Show.avi\t1\t176 x 144\t00:02\t25\tMotion JPEG\n";
    EXPECT_EQ(outcome.out, row + row);
}

TEST(VideoCommand, UsageAndFailures) {
    test::TempDir root;
    const QString file = root.write(QStringLiteral("a.txt"), "x");
    const struct {
        QStringList args;
        int status;
    } cases[] = {
        {{"video"}, kExitUsage},
        {{"video", root.path(), "--sort"}, kExitUsage},
        {{"video", root.path(), "--sort", "6"}, kExitUsage},
        {{"video", root.path(), "--nonsense"}, kExitUsage},
        {{"video", root.file("missing")}, kExitFailure},
        {{"video", file}, kExitFailure},
    };
    for (const auto& c : cases) {
        const CliOutcome outcome = runCli(c.args);
        EXPECT_EQ(outcome.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(outcome.out.empty());
    }
}

TEST(VideoCommand, StatisticsAndDuplicatesAreForMusic) {
    test::TempDir root;
    for (const QStringList& action :
         {QStringList{"--stats"}, QStringList{"--stats", "-"}, QStringList{"--duplicates"},
          QStringList{"--duplicates", "-"}}) {
        const CliOutcome outcome = runCli(QStringList{"video", root.path()} + action);
        EXPECT_EQ(outcome.status, kExitUsage) << action.join(' ').toStdString();
        EXPECT_NE(outcome.err.find(action.front().toStdString() + " works on the music list only"),
                  std::string::npos)
            << outcome.err;
    }
}

} // namespace
} // namespace korvane::cli
