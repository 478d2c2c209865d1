// 8-bit tag texts in the code page they were written in: ID3v1, ID3v2 Latin-1 frames, APE and
// CUE sheets, under the automatic choice and under a code page the user fixed.
#include "tags/ApeTagReader.h"
#include "tags/CueSheetReader.h"
#include "tags/Id3v1Reader.h"
#include "tags/Id3v2Reader.h"
#include "tags/TagText.h"

#include "TagBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvane;
using namespace korvane::tags;
using namespace korvane::tags::test;
using codepage::Choice;
using codepage::Encoding;

namespace {

const std::string kAudio(300, 'x');

Id3v1Reader loadId3v1(const std::string& file, Choice choice) {
    MemorySource source(file);
    Id3v1Reader tag(choice);
    EXPECT_TRUE(tag.load(source));
    return tag;
}

struct Album {
    const char* title;
    const char* artist;
    const char* album;
};

} // namespace

// Each code page of old archives read right, and what was decided is kept for every field.
TEST(EightBitTexts, Id3v1FieldsInEveryCodePage) {
    struct Case {
        Encoding encoding;
        Album texts;
    };
    const Case cases[] = {
        {Encoding::Windows1251, {"Группа крови", "Кино", "Звезда по имени Солнце"}},
        {Encoding::Koi8R, {"Группа крови", "Кино", "Звезда по имени Солнце"}},
        {Encoding::Cp866, {"Перемен", "Виктор Цой", "Последний герой"}},
        {Encoding::Windows1252, {"Hoppípolla", "Sigur Rós", "Takk..."}},
        {Encoding::Windows1252, {"Ace of Spades", "Motörhead", "Ace of Spades"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(codepage::name(c.encoding)) + " " + c.texts.artist);
        const auto stored = [&c](const char* text) { return inCodePage(text, c.encoding); };
        const Id3v1Reader tag =
            loadId3v1(kAudio + id3v1Tag(stored(c.texts.title), stored(c.texts.artist),
                                        stored(c.texts.album), "1988", "", 17),
                      Choice::Auto);
        EXPECT_EQ(tag.title, c.texts.title);
        EXPECT_EQ(tag.artist, c.texts.artist);
        EXPECT_EQ(tag.album, c.texts.album);
        ASSERT_FALSE(tag.eightBit.decisions().empty());
        for (const TextDecision& d : tag.eightBit.decisions())
            EXPECT_EQ(d.decision.encoding, c.encoding) << d.text;
    }
}

// "ДДТ" alone in KOI8-R reads as well as Windows-1251 "ддф"; the tag's other fields tell.
TEST(EightBitTexts, ShortFieldsOfOneTagAreDecidedTogether) {
    const std::string alone = inCodePage("ДДТ", Encoding::Koi8R);
    ASSERT_TRUE(codepage::detect(alone).close) << "the example no longer needs the tag";
    const Id3v1Reader tag =
        loadId3v1(kAudio + id3v1Tag(inCodePage("Осень", Encoding::Koi8R), alone,
                                    inCodePage("Актриса Весна", Encoding::Koi8R), "1992", "", 17),
                  Choice::Auto);
    EXPECT_EQ(tag.artist, "ДДТ");
    EXPECT_EQ(tag.title, "Осень");
    EXPECT_EQ(tag.album, "Актриса Весна");
}

// A code page fixed by the user takes every 8-bit text; UTF-8 and ASCII stay as they are.
TEST(EightBitTexts, AFixedCodePageTakesEveryEightBitText) {
    const std::string koi8 = inCodePage("Кино", Encoding::Koi8R);
    const std::string cp1251 = win1251("Кино");
    struct Case {
        Choice choice;
        std::string stored;
        std::string expected;
    };
    const Case cases[] = {
        {Choice::Koi8R, koi8, "Кино"},
        {Choice::Windows1251, cp1251, "Кино"},
        {Choice::Windows1251, koi8, codepage::toUtf8(koi8, Encoding::Windows1251)},
        {Choice::Cp866, inCodePage("Кино", Encoding::Cp866), "Кино"},
        {Choice::Windows1252, inCodePage("Motörhead", Encoding::Windows1252), "Motörhead"},
        {Choice::Koi8R, "Земляне", "Земляне"},
        {Choice::Cp866, "Kino", "Kino"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        const Id3v1Reader tag =
            loadId3v1(kAudio + id3v1Tag("t", c.stored, "a", "", "", 17), c.choice);
        EXPECT_EQ(tag.artist, c.expected);
        for (const TextDecision& d : tag.eightBit.decisions())
            EXPECT_FALSE(d.decision.close);
    }
}

// The choice survives reset(), as every load begins with one.
TEST(EightBitTexts, TheChoiceSurvivesAReload) {
    const std::string file =
        kAudio + id3v1Tag("t", inCodePage("Кино", Encoding::Koi8R), "a", "", "", 17);
    Id3v1Reader tag(Choice::Koi8R);
    for (int i = 0; i < 2; ++i) {
        MemorySource source(file);
        ASSERT_TRUE(tag.load(source));
        EXPECT_EQ(tag.artist, "Кино");
        EXPECT_EQ(tag.eightBit.decisions().size(), 1u);
    }
}

// ID3v2 frames of encoding 0 with the bytes of old taggers, the comment among them.
TEST(EightBitTexts, Id3v2LatinOneFramesOfOneTag) {
    const auto text = [](const std::string& stored) { return bytes({0}) + stored; };
    const auto koi8 = [](const char* s) { return inCodePage(s, Encoding::Koi8R); };
    const std::string frames = frameV3("TIT2", text(koi8("Кукушка"))) +
                               frameV3("TPE1", text(koi8("Кино"))) +
                               frameV3("TALB", text(koi8("Последний герой"))) +
                               frameV3("COMM", text("rus" + bytes({0}) + koi8("Ленинград")));
    const std::string file = id3v2Tag(3, frames) + kAudio;
    MemorySource source(file);
    Id3v2Reader tag;
    ASSERT_TRUE(tag.load(source));
    EXPECT_EQ(tag.title, "Кукушка");
    EXPECT_EQ(tag.artist, "Кино");
    EXPECT_EQ(tag.album, "Последний герой");
    EXPECT_EQ(tag.comment, "Ленинград");
    for (const TextDecision& d : tag.eightBit.decisions())
        EXPECT_EQ(d.decision.encoding, Encoding::Koi8R) << d.text;

    MemorySource again(file);
    Id3v2Reader fixed(Choice::Windows1251);
    ASSERT_TRUE(fixed.load(again));
    EXPECT_EQ(fixed.artist, codepage::toUtf8(koi8("Кино"), Encoding::Windows1251));
}

// A CUE sheet of a DOS or Unix ripper: the whole sheet tells its code page.
TEST(EightBitTexts, CueSheetsInEveryCodePage) {
    const std::string sheet = "REM GENRE \"Русский рок\"\r\n"
                              "REM DATE 1988\r\n"
                              "PERFORMER \"Кино\"\r\n"
                              "TITLE \"Группа крови\"\r\n"
                              "FILE \"Кино - Группа крови.flac\" WAVE\r\n"
                              "  TRACK 01 AUDIO\r\n";
    for (const Encoding encoding : codepage::kCodePages) {
        if (encoding == Encoding::Windows1252)
            continue;
        SCOPED_TRACE(std::string(codepage::name(encoding)));
        const std::string stored = inCodePage(sheet, encoding);
        MemorySource source(stored);
        CueSheetReader cue;
        ASSERT_TRUE(cue.load(source));
        EXPECT_FALSE(cue.utf8);
        EXPECT_EQ(cue.performer, "Кино");
        EXPECT_EQ(cue.title, "Группа крови");
        EXPECT_EQ(cue.genre, "Русский рок");
        EXPECT_EQ(cue.files, std::vector<std::string>{"Кино - Группа крови.flac"});
        ASSERT_FALSE(cue.eightBit.decisions().empty());
        EXPECT_EQ(cue.eightBit.decisions().front().decision.encoding, encoding);
    }
    const std::string dos = inCodePage(sheet, Encoding::Cp866);
    MemorySource source(dos);
    CueSheetReader fixed(Choice::Koi8R);
    ASSERT_TRUE(fixed.load(source));
    EXPECT_EQ(fixed.performer,
              codepage::toUtf8(inCodePage("Кино", Encoding::Cp866), Encoding::Koi8R));
}

// A close call is marked as such: a word that reads as well in two code pages.
TEST(EightBitTexts, CloseCallsAreMarked) {
    EightBitTexts texts;
    texts.decode("Kino");
    EXPECT_TRUE(texts.decisions().empty()) << "plain ASCII is no decision";
    texts.decode(inCodePage("Группа крови", Encoding::Windows1251));
    EXPECT_FALSE(texts.anyClose());
    texts.decode(bytes({0xC0, 0xAF}));
    EXPECT_TRUE(texts.anyClose());
    EXPECT_EQ(texts.decisions().size(), 2u);
}
