#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The two plain-text bases that map a group name to a genre or a country: one entry per line,
// key "=" value, in Windows-1251, keys lower-cased on loading.
namespace korvane::bases {

enum class BaseKind { GenreBase, CountryBase };

// "genrebd.txt" or "countrybd.txt", the file beside the program.
QString baseFileName(BaseKind kind);
// The MusicRow cell a base fills and is saved from: Style or Country.
int targetCell(BaseKind kind);

// One line of a base, both texts in Windows-1251.
struct BaseEntry {
    std::string key; // lower-cased
    std::string value;

    bool operator==(const BaseEntry&) const = default;
};

// The lines of a base file: ended by CR LF, CR or LF; a line break at the very end does not start
// a further line. The views point into `bytes`.
std::vector<std::string_view> splitBaseLines(std::string_view bytes);

// The key is the text before the first "=", lower-cased; the value everything after it. A line
// without "=" gives an empty key and the whole line as its value. Nothing is trimmed.
BaseEntry parseBaseLine(std::string_view line);

// The entries of a base, looked up by key. Keys may repeat; the first entry in file order wins, so
// a later entry with a known key is dropped on adding.
class BaseTable {
public:
    void add(BaseEntry entry);
    // The value of the first entry with exactly this key, or nullptr.
    const std::string* find(const std::string& key) const;

private:
    std::unordered_map<std::string, std::string> m_values;
};

// `GroupKey`: the caption up to the first occurrence of the group/album separator, in
// Windows-1251 ("?" for characters the code page lacks, a space for a control character, so that
// a key stays on its line), lower-cased as the base keys are. Empty
// when the caption holds no separator, as a category header row's caption.
std::string groupKey(const QString& caption, const QString& separator);

} // namespace korvane::bases
