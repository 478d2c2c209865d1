#include "bases/BaseFill.h"

#include "music/MusicList.h"
#include "text/Cp1251.h"
#include "text/LocaleText.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>
#include <string>

// The starter bases shipped beside the program: in the save command's own format, so that a base
// saved by the user and the shipped one read alike.
namespace korvane::bases {
namespace {

std::string readStarter(BaseKind kind) {
    QFile file(QStringLiteral(KORVANE_BIN_DIR "/") + baseFileName(kind));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

class StarterBases : public ::testing::TestWithParam<BaseKind> {};

TEST_P(StarterBases, WrittenAsTheSaveCommandWrites) {
    const std::string bytes = readStarter(GetParam());
    ASSERT_FALSE(bytes.empty());
    ASSERT_TRUE(bytes.ends_with("\r\n"));

    std::map<std::string, std::string> entries;
    QString previous;
    const text::CaseInsensitiveOrder order;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        const std::string line = bytes.substr(start, end - start);
        start = end + 2;
        ASSERT_EQ(line.find_first_of("\r\n"), std::string::npos) << "only CR LF breaks";
        const BaseEntry entry = parseBaseLine(line);
        EXPECT_FALSE(entry.key.empty()) << line;
        EXPECT_FALSE(entry.value.empty()) << line;
        EXPECT_EQ(line.substr(0, line.find('=')), entry.key) << "key lower-case: " << line;
        // Sorted, and no two lines equal under the case-insensitive order.
        const QString current = text::fromCp1251(line);
        if (!previous.isEmpty()) {
            EXPECT_LT(order.compare(previous, current), 0) << line;
        }
        previous = current;
        entries.emplace(entry.key, entry.value);
    }
    EXPECT_GE(entries.size(), 300u);

    // Every name with "the" comes in all three forms.
    for (const auto& [key, value] : entries) {
        if (!key.starts_with("the "))
            continue;
        const std::string rest = key.substr(4);
        EXPECT_EQ(entries[rest], value) << key;
        EXPECT_EQ(entries[rest + ", the"], value) << key;
    }
}

INSTANTIATE_TEST_SUITE_P(Bases, StarterBases,
                         ::testing::Values(BaseKind::GenreBase, BaseKind::CountryBase));

TEST(StarterBases, FillKnownGroups) {
    MusicList list;
    const QString separator = QStringLiteral("  \\  ");
    for (const char* group : {"THE BEATLES", "Beatles, The", "Кино", "Motörhead", "Metallica",
                              "Воплі Відоплясова", "Алла Пугачёва"})
        list.appendRow(
            {QString::fromUtf8(group) + separator + QStringLiteral("Album"),
             {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("-"), QStringLiteral("-")}});
    for (BaseKind kind : {BaseKind::GenreBase, BaseKind::CountryBase}) {
        BaseFill fill;
        fill.run({kind, FillMode::OnlyMissing,
                  QStringLiteral(KORVANE_BIN_DIR "/") + baseFileName(kind), separator},
                 list);
        ASSERT_EQ(fill.state(), FillState::Done);
    }
    const QStringList expected[] = {
        {QStringLiteral("Rock"), QStringLiteral("Великобритания")},
        {QStringLiteral("Rock"), QStringLiteral("Великобритания")},
        {QStringLiteral("Rock"), QStringLiteral("Россия")},
        {QStringLiteral("Heavy Metal"), QStringLiteral("Великобритания")},
        {QStringLiteral("Thrash Metal"), QStringLiteral("США")},
        {QStringLiteral("Rock"), QStringLiteral("Украина")},
        {QStringLiteral("Pop"), QStringLiteral("Россия")},
    };
    for (int i = 0; i < list.count(); ++i)
        EXPECT_EQ(list.row(i).cells.mid(StyleCell, 2), expected[i])
            << list.row(i).caption.toStdString();
}

} // namespace
} // namespace korvane::bases
