#include "CliRun.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace korvane::cli {
namespace {

TEST(ProbeCommand, ClipGivesProbeValuesAndListCells) {
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    if (ffmpeg.isEmpty())
        GTEST_SKIP() << "ffmpeg is not installed";
    QTemporaryDir dir;
    const QString clip = dir.filePath("clip.mpg");
    QProcess encoder;
    encoder.start(ffmpeg, {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i",
                           "testsrc=size=352x240:rate=30000/1001:duration=2.5", "-c:v",
                           "mpeg1video", "-f", "mpeg", clip});
    ASSERT_TRUE(encoder.waitForFinished(60000));
    ASSERT_EQ(encoder.exitCode(), 0);

    const CliOutcome outcome = runCli({"probe", clip});
    ASSERT_EQ(outcome.status, kExitOk) << outcome.err;
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(outcome.out)).object();
    EXPECT_EQ(json["width"].toInt(), 352);
    EXPECT_EQ(json["height"].toInt(), 240);
    EXPECT_NEAR(json["frame_rate"].toDouble(), 29.97, 0.001);
    EXPECT_EQ(json["duration"].toString(), "00:02");
    EXPECT_EQ(json["codec"].toString(), "YUV 4:1:1 Raw");
    const QJsonObject cells = json["cells"].toObject();
    EXPECT_EQ(cells["size"].toString(), "1");
    EXPECT_EQ(cells["resolution"].toString(), "352 x 240");
    EXPECT_EQ(cells["duration"].toString(), "00:02");
    EXPECT_EQ(cells["fps"].toString(), "30");
    EXPECT_EQ(cells["codec"].toString(), "MPEG-1");
}

TEST(ProbeCommand, NonVideoFileGivesEmptyValues) {
    QTemporaryDir dir;
    const QString path = dir.filePath("notes.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(2 * 1048576, 'a'));
    file.close();
    const CliOutcome outcome = runCli({"probe", path});
    ASSERT_EQ(outcome.status, kExitOk) << outcome.err;
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(outcome.out)).object();
    EXPECT_EQ(json["codec"].toString(), "");
    EXPECT_EQ(json["duration"].toString(), "");
    EXPECT_EQ(json["frame_rate"].toDouble(), 0.0);
    EXPECT_EQ(json["width"].toInt(), 0);
    EXPECT_EQ(json["height"].toInt(), 0);
    const QJsonObject cells = json["cells"].toObject();
    EXPECT_EQ(cells["size"].toString(), "3");
    EXPECT_EQ(cells["resolution"].toString(), "0 x 0");
    EXPECT_EQ(cells["fps"].toString(), "0");
}

TEST(ProbeCommand, UsageAndFailures) {
    const struct {
        QStringList args;
        int status;
    } cases[] = {
        {{"probe"}, kExitUsage},
        {{"probe", "a", "b"}, kExitUsage},
        {{"probe", "/no/such/file.avi"}, kExitFailure},
        {{"probe", "/"}, kExitFailure},
    };
    for (const auto& c : cases) {
        const CliOutcome outcome = runCli(c.args);
        EXPECT_EQ(outcome.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(outcome.out.empty());
        EXPECT_FALSE(outcome.err.empty());
    }
}

} // namespace
} // namespace korvane::cli
