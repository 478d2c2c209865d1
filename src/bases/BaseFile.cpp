#include "bases/BaseFile.h"

#include "music/MusicList.h"
#include "text/Cp1251.h"
#include "text/LocaleText.h"
#include "text/OutputText.h"

namespace korvane::bases {

QString baseFileName(BaseKind kind) {
    return kind == BaseKind::GenreBase ? QStringLiteral("genrebd.txt")
                                       : QStringLiteral("countrybd.txt");
}

int targetCell(BaseKind kind) {
    return kind == BaseKind::GenreBase ? StyleCell : CountryCell;
}

std::vector<std::string_view> splitBaseLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.push_back(bytes.substr(start, i - start));
        i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

BaseEntry parseBaseLine(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return {std::string(), std::string(line)};
    return {cp1251::toLower(line.substr(0, equals)), std::string(line.substr(equals + 1))};
}

void BaseTable::add(BaseEntry entry) {
    m_values.try_emplace(std::move(entry.key), std::move(entry.value));
}

const std::string* BaseTable::find(const std::string& key) const {
    const auto found = m_values.find(key);
    return found == m_values.end() ? nullptr : &found->second;
}

std::string groupKey(const QString& caption, const QString& separator) {
    const qsizetype end = separator.isEmpty() ? -1 : caption.indexOf(separator);
    if (end < 0)
        return {};
    return cp1251::toLower(text::toCp1251(text::singleLine(caption.left(end))));
}

} // namespace korvane::bases
