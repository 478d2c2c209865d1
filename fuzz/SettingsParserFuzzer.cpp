// The set.ini reader and writer on arbitrary file contents: every read ends with a value, and a
// written value reads back unchanged while the other keys keep theirs.
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

// One file per fuzzing process, rewritten for every input.
QString settingsPath() {
    static const QString path =
        QDir::tempPath() + QStringLiteral("/korvane-settings-fuzz-%1.ini").arg(::getpid());
    return path;
}

const QStringView kKeys[] = {u"save_dir",  u"min_limit", u"separator_G_A",
                             u"separator", u"showVBR",   u"FormPosTop",
                             u"mp3dir",    u"notdead",   u"checkexcel"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane;
    const QString path = settingsPath();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    SettingsFile settings(path);
    QString before[std::size(kKeys)];
    for (std::size_t i = 0; i < std::size(kKeys); ++i) {
        before[i] = settings.readText(kKeys[i], QStringLiteral("default"));
        if (before[i].size() > 2047)
            std::abort();
        (void)settings.readInteger(kKeys[i], 7);
        (void)settings.readBool(kKeys[i], true);
    }
    (void)Settings(settings).groupAlbumSeparator();
    (void)Settings(settings).groupAlbumSeparatorForBases();

    // A plain value written to one key reads back as written; the others stay as they were.
    const std::size_t target = size > 0 ? data[0] % std::size(kKeys) : 0;
    const QString value = QStringLiteral("value%1").arg(size);
    try {
        settings.writeText(kKeys[target], value);
    } catch (const ReportedError&) {
        QFile::remove(path);
        return 0;
    }
    if (settings.readText(kKeys[target], QString()) != value)
        std::abort();
    for (std::size_t i = 0; i < std::size(kKeys); ++i) {
        if (i != target && settings.readText(kKeys[i], QStringLiteral("default")) != before[i])
            std::abort();
    }
    return 0;
}
