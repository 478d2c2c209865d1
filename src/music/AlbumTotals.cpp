#include "music/AlbumTotals.h"

#include "tags/AudioFormats.h"
#include "tags/CueSheetReader.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>

namespace korvane {
namespace {

using tags::AudioFormat;

// The tracks each disc image stands for: a file that a sheet beside it names as its only FILE.
std::map<std::filesystem::path, int> imageTracks(const std::vector<std::filesystem::path>& sheets,
                                                 codepage::Choice choice) {
    std::map<std::filesystem::path, int> tracks;
    for (const std::filesystem::path& sheet : sheets) {
        tags::CueSheetReader cue(choice);
        if (cue.load(sheet).isRead() && cue.fileCommands == 1 && cue.files.size() == 1 &&
            cue.tracks > 0)
            tracks[sheet.parent_path() / std::filesystem::path(cue.files.front())] = cue.tracks;
    }
    return tracks;
}

// Rates of these stay the same from file to file of one encoding: a difference means two
// encodings in one album.
bool constantRate(AudioFormat format, bool vbr) {
    return (format == AudioFormat::Mp3 && !vbr) || format == AudioFormat::Wma;
}

} // namespace

AlbumTotals readAlbumTotals(const std::vector<std::filesystem::path>& audioFiles,
                            const std::vector<std::filesystem::path>& cueSheets,
                            codepage::Choice choice, const std::stop_token& stop) {
    AlbumTotals totals;
    const std::map<std::filesystem::path, int> images = imageTracks(cueSheets, choice);
    std::set<bool> mp3Kinds; // VBR or not, of the mp3 files read
    std::optional<int> constantBitRate;
    for (const std::filesystem::path& file : audioFiles) {
        if (stop.stop_requested())
            break;
        const auto format = tags::formatOfName(file.filename().string(), true);
        if (!format)
            continue;
        const auto image = images.find(file);
        totals.tracks += image == images.end() ? 1 : image->second;
        const std::string name(tags::formatInfo(*format).ending.substr(1));
        if (std::find(totals.formats.begin(), totals.formats.end(), name) == totals.formats.end())
            totals.formats.push_back(name);

        const tags::AudioFileInfo info = tags::readAudioFile(*format, file, choice, stop);
        if (!info.result.isRead())
            continue;
        totals.seconds += info.playSeconds;
        if (*format == AudioFormat::Mp3)
            mp3Kinds.insert(info.vbr);
        if (info.bitRate > 0) {
            const bool first = totals.highestBitRate == 0;
            totals.lowestBitRate =
                first ? info.bitRate : std::min(totals.lowestBitRate, info.bitRate);
            totals.highestBitRate = std::max(totals.highestBitRate, info.bitRate);
            if (constantRate(*format, info.vbr)) {
                if (constantBitRate && *constantBitRate != info.bitRate)
                    totals.mixed = true;
                constantBitRate = info.bitRate;
            }
        }
    }
    if (totals.formats.size() > 1 || mp3Kinds.size() > 1)
        totals.mixed = true;
    return totals;
}

QString playTimeText(double seconds) {
    const long long whole = std::llround(std::max(0.0, seconds));
    const long long hours = whole / 3600;
    const QString minutesAndSeconds = QStringLiteral("%1:%2")
                                          .arg(hours > 0 ? (whole / 60 % 60) : whole / 60,
                                               hours > 0 ? 2 : 1, 10, QLatin1Char('0'))
                                          .arg(whole % 60, 2, 10, QLatin1Char('0'));
    return hours > 0 ? QString::number(hours) + u':' + minutesAndSeconds : minutesAndSeconds;
}

QString mixedBitRateText(const AlbumTotals& totals) {
    if (!totals.mixed)
        return {};
    QStringList formats;
    for (const std::string& format : totals.formats)
        formats.append(QString::fromStdString(format));
    QString text = formats.join(u'/');
    if (totals.highestBitRate > 0) {
        text += u' ' + QString::number(totals.lowestBitRate);
        if (totals.highestBitRate != totals.lowestBitRate)
            text += u'-' + QString::number(totals.highestBitRate);
    }
    return text;
}

} // namespace korvane
