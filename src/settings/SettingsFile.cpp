#include "settings/SettingsFile.h"

#include "text/LocaleText.h"
#include "text/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <optional>

namespace korvane {
namespace {

constexpr QStringView kSection = u"options";
constexpr qsizetype kMaxValueLength = 2047;

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

QString trimTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && isBlank(text[end - 1]))
        --end;
    return text.left(end);
}

QStringList readLines(const QString& path, QString& problem) {
    // A set.ini that is no regular file or is huge reads as a missing one, never hangs; the
    // reason is kept for the user.
    const std::optional<QByteArray> bytes = text::readTextFile(path, &problem);
    if (!bytes)
        return {};
    QString text = text::fromCp1251(std::string_view(bytes->constData(), bytes->size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// "[name]" with blanks around allowed.
std::optional<QStringView> sectionName(QStringView line) {
    const QStringView trimmed = trimBlanks(line);
    if (!trimmed.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return trimBlanks(trimmed.mid(1, close - 1));
}

bool isKeyLine(QStringView line, QStringView key) {
    const qsizetype equals = line.indexOf(u'=');
    return equals >= 0 && trimBlanks(line.left(equals)).compare(key, Qt::CaseInsensitive) == 0;
}

// Index range [begin, end) of the body of the first "options" section, or nothing.
struct SectionRange {
    qsizetype header;
    qsizetype end;
};

std::optional<SectionRange> findSection(const QStringList& lines) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i]);
        if (!name || name->compare(kSection, Qt::CaseInsensitive) != 0)
            continue;
        qsizetype end = i + 1;
        while (end < lines.size() && !sectionName(lines[end]))
            ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<QString> rawValue(const QStringList& lines, QStringView key) {
    const auto section = findSection(lines);
    if (!section)
        return std::nullopt;
    for (qsizetype i = section->header + 1; i < section->end; ++i) {
        if (isKeyLine(lines[i], key)) {
            const QStringView line = lines[i];
            return line.mid(line.indexOf(u'=') + 1).toString();
        }
    }
    return std::nullopt;
}

QString unquote(QStringView value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2).toString();
    return value.toString();
}

std::optional<int> parseInteger(const QString& text) {
    bool ok = false;
    if (text.size() >= 3 &&
        (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X")))) {
        const uint value = text.mid(2).toUInt(&ok, 16);
        return ok ? std::optional<int>(static_cast<int>(value)) : std::nullopt;
    }
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

long long nanoseconds(const timespec& time) {
    return static_cast<long long>(time.tv_sec) * 1'000'000'000LL + time.tv_nsec;
}

// A write of set.ini that the system refused.
[[noreturn]] void failToWrite(const QString& path, const QString& reason = {}) {
    throw ReportedError(QStringLiteral("Unable to write to %1").arg(path),
                        FileProblem{FileProblem::Action::Create, path, 0, reason});
}

} // namespace

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) {}

std::optional<SettingsFile::FileStamp> SettingsFile::stampOf(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return FileStamp{static_cast<unsigned long long>(status.st_dev),
                     static_cast<unsigned long long>(status.st_ino),
                     static_cast<long long>(status.st_size), nanoseconds(status.st_mtim),
                     nanoseconds(status.st_ctim)};
}

const QStringList& SettingsFile::lines() const {
    // An absent file gets the empty stamp, so it is parsed as soon as it appears.
    const FileStamp stamp = stampOf(m_path).value_or(FileStamp{});
    if (m_parsed && !m_parsed->recent && m_parsed->stamp == stamp)
        return m_parsed->lines;
    // File times tick coarsely (a few milliseconds here, two seconds on FAT): a file rewritten
    // in place twice within one tick keeps its stamp, so a fresh one is not trusted yet.
    constexpr long long kSettledNs = 2'000'000'000LL;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const bool recent = nanoseconds(now) - std::max(stamp.modifiedNs, stamp.changedNs) < kSettledNs;
    QString problem;
    QStringList lines = stamp.size < 0 ? QStringList() : readLines(m_path, problem);
    m_parsed = ParsedFile{stamp, std::move(lines), recent, std::move(problem)};
    return m_parsed->lines;
}

QString SettingsFile::readProblem() const {
    lines();
    return m_parsed->problem;
}

QString SettingsFile::readText(QStringView key, const QString& defaultValue) const {
    const auto raw = rawValue(lines(), key);
    const QString value = raw ? unquote(trimBlanks(*raw)) : trimTrailingBlanks(defaultValue);
    return value.left(kMaxValueLength);
}

int SettingsFile::readInteger(QStringView key, int defaultValue) const {
    return parseInteger(readText(key, QString())).value_or(defaultValue);
}

bool SettingsFile::readBool(QStringView key, bool defaultValue) const {
    return readInteger(key, defaultValue ? 1 : 0) != 0;
}

QString unreadableSettingsMessage(const SettingsFile& settings) {
    const QString problem = settings.readProblem();
    if (problem.isEmpty())
        return {};
    return QCoreApplication::translate(
               "SettingsFile",
               "Файл настроек \"%1\" не удалось прочитать (%2). Korvane работает с "
               "настройками по умолчанию и не изменит этот файл; замените его обычным "
               "текстовым файлом или удалите.")
        .arg(QDir::toNativeSeparators(settings.path()), problem);
}

void SettingsFile::writeText(QStringView key, const QString& value) {
    QStringList lines = this->lines();
    // A file that is there but could not be read would be replaced by the few keys written.
    if (!m_parsed->problem.isEmpty())
        failToWrite(m_path);
    const QString newLine = key.toString() + u'=' + value;
    if (const auto section = findSection(lines)) {
        qsizetype found = -1;
        qsizetype lastNonEmpty = section->header;
        for (qsizetype i = section->header + 1; i < section->end; ++i) {
            if (found < 0 && isKeyLine(lines[i], key))
                found = i;
            if (!trimBlanks(lines[i]).isEmpty())
                lastNonEmpty = i;
        }
        if (found >= 0)
            lines[found] = newLine;
        else
            lines.insert(lastNonEmpty + 1, newLine);
    } else {
        lines << u'[' + kSection.toString() + u']' << newLine;
    }

    // A read-only set.ini means the user wants it left alone, as on the system the format comes
    // from.
    const QFileInfo info(m_path);
    if (info.exists() && !info.isWritable())
        failToWrite(m_path);
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        failToWrite(m_path, file.errorString());
    const std::string bytes =
        text::toCp1251(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    // The flush is checked on its own: commit() does not report a full disk met there.
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.flush() || !file.commit())
        failToWrite(m_path, file.errorString());
    // The next read parses what was written: bytes the code page lacks came back as "?".
    m_parsed.reset();
}

void SettingsFile::writeInteger(QStringView key, int value) {
    writeText(key, QString::number(value));
}

void SettingsFile::writeBool(QStringView key, bool value) {
    writeText(key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString readQuotedSeparator(const SettingsFile& settings, QStringView key, const QString& plain) {
    const QString quoted = u'"' + plain + u'"';
    QString value = settings.readText(key, quoted);
    const qsizetype at = value.indexOf(quoted);
    if (at >= 0)
        value.replace(at, quoted.size(), plain);
    return value;
}

QString quoteSeparator(const QString& separator) {
    QString quoted = separator;
    if (!quoted.startsWith(u'"'))
        quoted.prepend(u'"');
    if (!quoted.endsWith(u'"') || quoted.size() == 1)
        quoted.append(u'"');
    return quoted;
}

} // namespace korvane
