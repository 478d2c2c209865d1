#pragma once

#include "files/ReportedError.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <stdexcept>

namespace korvane {

// The program's INI file, section "options", read and written key by key with the rules of the
// Windows profile-string service: every read passes its own default, and a value written through
// one object is seen by the next read through any other. The file is parsed once and parsed
// again only when its identity (device, inode, size, change times) differs from the parsed one
// or it changed moments before it was parsed, so the few dozen reads of a run cost one read of
// the file and a stat each.
class SettingsFile {
public:
    explicit SettingsFile(QString path);

    const QString& path() const { return m_path; }

    // The text after the first "=", blanks trimmed, one pair of enclosing quotes removed, at most
    // 2047 characters; the default (trailing blanks removed) when the file, section or key is
    // absent.
    QString readText(QStringView key, const QString& defaultValue) const;
    // Decimal, or hexadecimal after "0x"; the default for anything else.
    int readInteger(QStringView key, int defaultValue) const;
    // Integer reading; any non-zero number is true.
    bool readBool(QStringView key, bool defaultValue) const;

    // Why the file is there but cannot be read ("Not a regular file", "File is larger than 64
    // MiB", the system's reason); empty when it was read or is absent. Such a file reads as an
    // absent one and is never written over (writes throw ReportedError).
    QString readProblem() const;

    // Store key=value unchanged, replacing the key's line or adding one; the file and section are
    // created when missing, other lines stay. The file is replaced through a temporary file, so a
    // crash never leaves half of it. Throws ReportedError when the system refuses.
    void writeText(QStringView key, const QString& value);
    void writeInteger(QStringView key, int value);
    void writeBool(QStringView key, bool value);

private:
    // What stat() says of the file; a replaced or rewritten file differs in one of these.
    struct FileStamp {
        unsigned long long device = 0;
        unsigned long long inode = 0;
        long long size = -1;
        long long modifiedNs = 0;
        long long changedNs = 0;

        bool operator==(const FileStamp&) const = default;
    };
    struct ParsedFile {
        FileStamp stamp;
        QStringList lines;
        // Changed too recently for the stamp to tell a second change within one clock tick.
        bool recent = false;
        QString problem; // why a file that is there could not be read
    };

    static std::optional<FileStamp> stampOf(const QString& path);
    const QStringList& lines() const;

    QString m_path;
    // Reads are const for callers; the cache only spares them the file.
    mutable std::optional<ParsedFile> m_parsed;
};

// For the user, once at start: the settings file is there but cannot be read, so the defaults
// are used and the file is left as it is. Empty when it was read or is absent.
QString unreadableSettingsMessage(const SettingsFile& settings);

// Both separators are stored in double quotes so that their blanks survive the trimming. The
// readers pass the separator wrapped in quotes as the default and then unwrap the first quoted
// occurrence in the result, so that an absent key yields the separator with its blanks.
QString readQuotedSeparator(const SettingsFile& settings, QStringView key, const QString& plain);
// Wraps a separator in double quotes for writing, unless it already starts / ends with one.
QString quoteSeparator(const QString& separator);

} // namespace korvane
