// The base reader on arbitrary bytes: line splitting, line parsing, the first-match table, and
// GroupKey on the same bytes taken as a caption.
#include "bases/BaseFile.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_map>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvane::bases;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    BaseTable table;
    std::unordered_map<std::string, std::string> first;
    size_t covered = 0;
    for (std::string_view line : splitBaseLines(bytes)) {
        // Lines are views into the input and never hold a line break.
        if (line.data() < bytes.data() || line.data() + line.size() > bytes.data() + bytes.size() ||
            line.find_first_of("\r\n") != std::string_view::npos)
            std::abort();
        covered += line.size();
        BaseEntry entry = parseBaseLine(line);
        first.try_emplace(entry.key, entry.value);
        table.add(std::move(entry));
    }
    if (covered > size)
        std::abort();
    for (const auto& [key, value] : first) {
        const std::string* found = table.find(key);
        if (found == nullptr || *found != value)
            std::abort();
    }

    const QString caption = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const std::string key = groupKey(caption, QStringLiteral("  \\  "));
    if (key.size() > static_cast<size_t>(caption.size()))
        std::abort();
    return 0;
}
