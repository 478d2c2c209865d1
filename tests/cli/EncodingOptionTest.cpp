// --encoding and set.ini's tagEncoding on the command line: 8-bit tag texts, CUE sheets and
// folder names read in the code page chosen, and `tags` telling each text's code page.
#include "cli/Cli.h"
#include "files/FileName.h"

#include "../tags/TagBytes.h"
#include "CliRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace korvane::cli {
namespace {

namespace b = tags::test;
namespace fs = std::filesystem;
using codepage::Encoding;

std::string koi8(const char* text) {
    return b::inCodePage(text, Encoding::Koi8R);
}

// An mp3 whose ID3v1 tag a KOI8-R tagger wrote: "ДДТ" alone reads as well in Windows-1251.
// `padding` zero bytes before the tag make the file as large as an album needs to be listed.
std::string koi8Mp3(std::size_t padding = 0) {
    return b::mpegFrames(12) + std::string(padding, '\0') +
           b::id3v1Tag(koi8("Осень"), koi8("ДДТ"), koi8("Актриса Весна"), "1992", "", 17);
}

struct Program {
    QTemporaryDir dir;
    fs::path path(const std::string& name) const {
        return fs::path(dir.path().toStdString()) / name;
    }
    void settings(const std::string& lines) const {
        std::ofstream(path("set.ini"), std::ios::binary) << "[options]\r\n" << lines;
    }
    CliOutcome run(QStringList args) const {
        return runCli(QStringList{"--dir", dir.path()} + args);
    }
};

QJsonObject id3v1(const CliOutcome& outcome) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(outcome.out))
        .object()
        .value("id3v1")
        .toObject();
}

TEST(EncodingOption, TagsTellsTheCodePageOfEachText) {
    const Program program;
    std::ofstream(program.path("ddt.mp3"), std::ios::binary) << koi8Mp3();
    const QString file = QString::fromStdString(program.path("ddt.mp3").string());

    const CliOutcome automatic = program.run({"tags", file});
    ASSERT_EQ(automatic.status, 0) << automatic.err;
    const QJsonObject tag = id3v1(automatic);
    EXPECT_EQ(tag.value("artist").toString(), QStringLiteral("ДДТ"));
    const QJsonArray decided = tag.value("eight_bit").toArray();
    ASSERT_EQ(decided.size(), 3); // title, artist, album; the year is ASCII
    for (const QJsonValue& value : decided) {
        const QJsonObject d = value.toObject();
        EXPECT_EQ(d.value("code_page").toString(), QStringLiteral("koi8-r"));
        EXPECT_FALSE(d.value("close").toBool());
        EXPECT_GT(d.value("margin").toDouble(), 0);
    }
    EXPECT_EQ(decided[1].toObject().value("bytes").toString(), QStringLiteral("e4e4f4"));
    EXPECT_EQ(decided[1].toObject().value("text").toString(), QStringLiteral("ДДТ"));

    // A fixed code page, from the option or from set.ini, takes every text and is never close.
    program.settings("tagEncoding=cp1251\r\n");
    for (const CliOutcome& fixed :
         {program.run({"tags", file}), program.run({"tags", "--encoding", "cp1251", file})}) {
        ASSERT_EQ(fixed.status, 0) << fixed.err;
        const QJsonObject tag1251 = id3v1(fixed);
        EXPECT_EQ(tag1251.value("artist").toString(), QStringLiteral("ддф"));
        const QJsonObject d = tag1251.value("eight_bit").toArray()[1].toObject();
        EXPECT_EQ(d.value("code_page").toString(), QStringLiteral("cp1251"));
        EXPECT_FALSE(d.value("close").toBool());
    }
    const CliOutcome over = program.run({"tags", file, "--encoding", "auto"});
    EXPECT_EQ(id3v1(over).value("artist").toString(), QStringLiteral("ДДТ"));
}

TEST(EncodingOption, UnknownCodePagesAreUsageErrors) {
    const Program program;
    for (const QStringList& args :
         {QStringList{"tags", "x.mp3", "--encoding", "latin9"}, QStringList{"tags", "--encoding"},
          QStringList{"music", program.dir.path(), "--encoding", "utf-8"}}) {
        const CliOutcome outcome = program.run(args);
        EXPECT_EQ(outcome.status, 2) << args.join(' ').toStdString();
        EXPECT_NE(outcome.err.find("--encoding takes auto, cp1251, koi8-r, cp866 or cp1252"),
                  std::string::npos)
            << outcome.err;
    }
}

// Folder names of a DOS archiver (CP866) and a KOI8-R tag inside: the captions in Cyrillic,
// and a fixed code page when the user says so.
TEST(EncodingOption, MusicReadsNamesAndTagsInTheirCodePage) {
    const Program program;
    const fs::path root = program.path("root");
    const fs::path album = root / b::inCodePage("Кино", Encoding::Cp866) /
                           b::inCodePage("Группа крови", Encoding::Cp866);
    fs::create_directories(album);
    std::ofstream(album / "01.mp3", std::ios::binary) << koi8Mp3(4 << 20); // past the size limit
    const QString rootName = files::decodeFileName(root.string());

    const CliOutcome names = program.run({"music", rootName, "--print"});
    ASSERT_EQ(names.status, 0) << names.err;
    EXPECT_EQ(names.out.substr(0, names.out.find('\t')), "Кино  \\  Группа крови");

    const CliOutcome fromTags = program.run({"music", rootName, "--artist-from-tags", "--print"});
    ASSERT_EQ(fromTags.status, 0) << fromTags.err;
    EXPECT_EQ(fromTags.out.substr(0, fromTags.out.find('\t')), "ДДТ  \\  Актриса Весна");

    const CliOutcome fixed =
        program.run({"music", rootName, "--artist-from-tags", "--encoding", "koi8-r", "--print"});
    ASSERT_EQ(fixed.status, 0) << fixed.err;
    EXPECT_EQ(fixed.out.substr(0, fixed.out.find('\t')), "ДДТ  \\  Актриса Весна");
    // The fixed code page is the user's word for the names too.
    const CliOutcome fixedNames =
        program.run({"music", rootName, "--encoding", "koi8-r", "--print"});
    EXPECT_EQ(
        fixedNames.out.substr(0, fixedNames.out.find('\t')),
        codepage::toUtf8(b::inCodePage("Кино", Encoding::Cp866), Encoding::Koi8R) + "  \\  " +
            codepage::toUtf8(b::inCodePage("Группа крови", Encoding::Cp866), Encoding::Koi8R));
    const CliOutcome wrong =
        program.run({"music", rootName, "--encoding", "cp1251", "--artist-from-tags", "--print"});
    EXPECT_EQ(wrong.out.substr(0, wrong.out.find('\t')), "ддф  \\  бЛФТЙУБ чЕУОБ");
}

} // namespace
} // namespace korvane::cli
