#pragma once

#include "music/MusicList.h"
#include "video/VideoList.h"

#include "ExportTestSupport.h"

#include <QDateTime>

// The lists the BBCode, CSV and JSON tests write: Cyrillic, brackets that look like tags, commas
// and quotes that need quoting, a name without a group, an empty cell.
namespace korvane::test {

inline void fillMusic(MusicList& list) {
    list.appendCategoryHeader(QStringLiteral("Панк"));
    list.appendRow(album(QStringLiteral("Ramones  \\  Rocket to Russia"), QStringLiteral("41,2"),
                         QStringLiteral("192"), QStringLiteral("Punk"), QStringLiteral("USA")));
    list.appendRow(album(QStringLiteral("Кино  \\  Группа крови [Live]"), QStringLiteral("87"),
                         QStringLiteral("VBR 245"), QStringLiteral("Rock \"alt\""), QString()));
    list.appendCategoryHeader(QStringLiteral("Ska, Reggae"));
    list.appendRow(album(QStringLiteral("[b]Fake[/b]"), QStringLiteral("0,5"), QStringLiteral("-"),
                         QStringLiteral("-"), QStringLiteral("-")));
}

inline void fillVideo(VideoList& list) {
    list.appendRow(clip(QStringLiteral("clips  \\  intro [1080p].avi"), QStringLiteral("12,3"),
                        QStringLiteral("640x480"), QStringLiteral("3:05"), QStringLiteral("25"),
                        QStringLiteral("DivX 5")));
    list.appendRow(clip(QStringLiteral("Ёжик в \"тумане\", 1975.mkv"), QStringLiteral("700"),
                        QStringLiteral("1280x720"), QStringLiteral("95:00"),
                        QStringLiteral("23,976"), QString()));
}

// 10 December 2026, 13:44:27 at UTC+3.
inline QDateTime fixedMoment() {
    return QDateTime(QDate(2026, 12, 10), QTime(13, 44, 27), Qt::OffsetFromUTC, 3 * 3600);
}

} // namespace korvane::test
