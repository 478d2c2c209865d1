// CUE sheets: the album-level commands, their encodings and sheets that are no sheets.
#include "tags/CueSheetReader.h"
#include "TagBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvane::tags;
using korvane::tags::test::win1251;

namespace {

const std::string kSheet = "REM GENRE \"Русский рок\"\r\n"
                           "REM DATE 1988\r\n"
                           "REM DISCID 8A0B0C0D\r\n"
                           "REM COMMENT \"Country: СССР\"\r\n"
                           "PERFORMER \"Кино\"\r\n"
                           "TITLE \"Группа крови\"\r\n"
                           "FILE \"Кино - Группа крови.flac\" WAVE\r\n"
                           "  TRACK 01 AUDIO\r\n"
                           "    TITLE \"Группа крови\"\r\n"
                           "    PERFORMER \"Виктор Цой\"\r\n"
                           "    INDEX 01 00:00:00\r\n";

struct Case {
    const char* name;
    std::string sheet;
    bool loaded;
    std::string performer;
    std::string title;
    std::string date;
    std::string genre;
    std::string comment;
    std::vector<std::string> files;
    int tracks = 0;
    int fileCommands = 0;
};

TEST(CueSheetReader, Cases) {
    const std::vector<std::string> image = {"Кино - Группа крови.flac"};
    const Case cases[] = {
        {"UTF-8", kSheet, true, "Кино", "Группа крови", "1988", "Русский рок", "Country: СССР",
         image, 1, 1},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + kSheet, true, "Кино", "Группа крови",
         "1988", "Русский рок", "Country: СССР", image, 1, 1},
        {"Windows-1251", win1251(kSheet), true, "Кино", "Группа крови", "1988", "Русский рок",
         "Country: СССР", image, 1, 1},
        {"line feeds only, lower-case commands, tabs",
         "performer\t\"A\"\ntitle B C\nrem date 2001\nfile image.ape WAVE\n",
         true,
         "A",
         "B C",
         "2001",
         "",
         "",
         {"image.ape"},
         0,
         1},
        {"unquoted file name with blanks",
         "FILE Кино - Группа крови.wv WAVE\n",
         true,
         "",
         "",
         "",
         "",
         "",
         {"Кино - Группа крови.wv"},
         0,
         1},
        {"unclosed quote runs to the end",
         "PERFORMER \"A B\nFILE \"x.flac\" WAVE\n",
         true,
         "A B",
         "",
         "",
         "",
         "",
         {"x.flac"},
         0,
         1},
        {"track titles are not the album's",
         "FILE \"x.flac\" WAVE\nTRACK 01 AUDIO\nTITLE \"t\"\n",
         true,
         "",
         "",
         "",
         "",
         "",
         {"x.flac"},
         1,
         1},
        {"every track counted, the files of later tracks not listed",
         "FILE \"1.wv\" WAVE\n  TRACK 01 AUDIO\n\ttrack 02 AUDIO\nFILE \"2.wv\" WAVE\n"
         "  TRACK 03 AUDIO\n  TITLE \"TRACK 99\"\n  REM TRACKS 5\n",
         true,
         "",
         "",
         "",
         "",
         "",
         {"1.wv"},
         3,
         2},
        {"several files",
         "FILE \"1.flac\" WAVE\nFILE \"2.flac\" WAVE\n",
         true,
         "",
         "",
         "",
         "",
         "",
         {"1.flac", "2.flac"},
         0,
         2},
        {"no FILE and no TRACK", "PERFORMER \"A\"\nTITLE \"B\"\n", false, "", "", "", "", "", {}},
        {"empty", "", false, "", "", "", "", "", {}},
        {"binary junk",
         std::string("\0\xFF\x01\x80PERFORMER\0\r\n\x9F\n", 18) + "FILE a WAVE\n",
         true,
         "",
         "",
         "",
         "",
         "",
         {"a"},
         0,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemorySource source(c.sheet);
        CueSheetReader cue;
        EXPECT_EQ(cue.load(source).isRead(), c.loaded);
        EXPECT_EQ(cue.performer, c.performer);
        EXPECT_EQ(cue.title, c.title);
        EXPECT_EQ(cue.date, c.date);
        EXPECT_EQ(cue.genre, c.genre);
        EXPECT_EQ(cue.comment, c.comment);
        EXPECT_EQ(cue.files, c.files);
        EXPECT_EQ(cue.tracks, c.tracks);
        EXPECT_EQ(cue.fileCommands, c.fileCommands);
    }
}

// Only the first megabyte counts: a sheet of megabytes of comments ends there.
TEST(CueSheetReader, MegabytesOfRemarks) {
    std::string sheet = "PERFORMER \"A\"\n";
    while (sheet.size() < 3 * 1024 * 1024)
        sheet += "REM X " + std::string(100, 'y') + "\n";
    sheet += "FILE \"late.flac\" WAVE\n";
    MemorySource source(sheet);
    CueSheetReader cue;
    EXPECT_FALSE(cue.load(source));
    EXPECT_TRUE(cue.files.empty());

    const std::string early = "FILE \"a.flac\" WAVE\n" + sheet;
    MemorySource earlySource(early);
    EXPECT_TRUE(cue.load(earlySource));
    EXPECT_EQ(cue.files, std::vector<std::string>{"a.flac"});
}

} // namespace
