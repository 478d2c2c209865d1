#include "bases/BaseWriter.h"

#include "catalogue/CatalogueList.h"
#include "export/OutputFile.h"
#include "text/LocaleText.h"
#include "text/OutputText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <set>

namespace korvane::bases {
namespace {

FileProblem createError(const QString& path, const QString& reason) {
    return {FileProblem::Action::Create, path, 0, reason};
}

constexpr std::string_view kTheSuffix = ", the";
constexpr std::string_view kThePrefix = "the ";

bool isSkippedGroup(const std::string& group) {
    return group.empty() || group == "va" || group == "various artist" ||
           group == "various artists";
}

bool isSkippedValue(const std::string& value, BaseKind kind) {
    return value.empty() || value == "~" || value == "-" ||
           (kind == BaseKind::GenreBase && value == "Other");
}

std::string withoutFirst(const std::string& text, std::string_view part) {
    std::string out = text;
    out.erase(out.find(part), part.size());
    return out;
}

// Lines held in Unicode for the locale's collation; the set keeps the first of equal ones.
class SortedLines {
public:
    void add(const std::string& key, const std::string& value) {
        // A form reduced to nothing ("the " alone) would be a line with an empty key, which the
        // fill gives to every category header row.
        if (key.empty())
            return;
        m_lines.insert(text::fromCp1251(key + '=' + value));
    }
    std::vector<std::string> bytes() const {
        std::vector<std::string> out;
        out.reserve(m_lines.size());
        for (const QString& line : m_lines)
            out.push_back(text::toCp1251(line));
        return out;
    }

private:
    std::set<QString, text::CaseInsensitiveOrder> m_lines;
};

} // namespace

std::vector<std::string> collectBaseLines(const CatalogueList& list, BaseKind kind,
                                          const QString& separator) {
    SortedLines lines;
    const int cell = targetCell(kind);
    for (const CatalogueRow& row : list.rows()) {
        const std::string group = groupKey(row.caption, separator);
        // A line break in a tag would start a line of its own, which a later fill applies.
        const std::string value = text::toCp1251(text::singleLine(row.cells.value(cell)));
        if (isSkippedGroup(group) || isSkippedValue(value, kind))
            continue;
        lines.add(group, value);
        if (group.ends_with(kTheSuffix)) {
            const std::string rest = withoutFirst(group, kTheSuffix);
            lines.add(std::string(kThePrefix) + rest, value);
            lines.add(rest, value);
        }
        if (group.starts_with(kThePrefix)) {
            const std::string rest = withoutFirst(group, kThePrefix);
            lines.add(rest, value);
            lines.add(rest + std::string(kTheSuffix), value);
        }
    }
    return lines.bytes();
}

QString baseTargetPath(const QString& chosenPath) {
    const QString name = QFileInfo(chosenPath).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    if (extension == QLatin1String(".txt"))
        return chosenPath;
    return chosenPath + QStringLiteral(".txt");
}

std::optional<FileProblem> writeBaseFile(const QString& path,
                                         const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    try {
        exporter::replaceFile(path, bytes);
    } catch (const ReportedError& error) {
        return error.problem();
    }
    return std::nullopt;
}

QString SaveResult::error() const {
    return problem ? fileProblemText(*problem) : QString();
}

QString backupPath(const QString& path) {
    return path + QStringLiteral(".bak");
}

SaveResult saveBase(const CatalogueList& list, BaseKind kind, const QString& separator,
                    const QString& chosenPath) {
    const std::vector<std::string> lines = collectBaseLines(list, kind, separator);
    SaveResult result;
    result.path = baseTargetPath(chosenPath);
    // The previous base is copied aside first and becomes NAME.bak only once the new one is
    // written: a failed save leaves the folder as it was, an older backup included.
    const bool replacing = QFileInfo(result.path).isFile();
    const QString backup = backupPath(result.path);
    const QString pending = backup + QStringLiteral(".new");
    if (replacing) {
        QFile::remove(pending);
        QFile previous(result.path);
        if (!previous.copy(pending)) {
            result.problem = createError(pending, previous.errorString());
            return result;
        }
    }
    if (std::optional<FileProblem> problem = writeBaseFile(result.path, lines)) {
        if (replacing)
            QFile::remove(pending);
        result.problem = std::move(problem);
        return result;
    }
    if (replacing) {
        QFile::remove(backup);
        QFile kept(pending);
        if (!kept.rename(backup))
            result.problem = createError(backup, kept.errorString());
    }
    return result;
}

QString savedStatusText(const QString& path) {
    return QCoreApplication::translate("BaseWriter", "База сохранена в \"") + path + u'"';
}

} // namespace korvane::bases
