#include "music/DiscFolders.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>

namespace korvane {
namespace {

constexpr QChar kSeparator = u'/';

QString parentOf(const QString& folder) {
    const qsizetype at = folder.lastIndexOf(kSeparator);
    return at < 0 ? QString() : folder.left(at);
}

QString nameOf(const QString& folder) {
    return folder.mid(folder.lastIndexOf(kSeparator) + 1);
}

} // namespace

std::optional<int> discNumber(const QString& name) {
    static constexpr std::array<QStringView, 4> kWords = {u"cd", u"disc", u"disk", u"диск"};
    // More digits than this is a catalogue number, not a disc.
    constexpr qsizetype kMaxDigits = 3;
    const QString lower = name.toLower();
    for (const QStringView word : kWords) {
        if (!lower.startsWith(word))
            continue;
        qsizetype at = word.size();
        while (at < lower.size() && (lower[at] == u' ' || lower[at] == u'-' || lower[at] == u'_'))
            ++at;
        const qsizetype digitsFrom = at;
        int number = 0;
        while (at < lower.size() && lower[at] >= u'0' && lower[at] <= u'9' &&
               at - digitsFrom < kMaxDigits) {
            number = number * 10 + (lower[at].unicode() - u'0');
            ++at;
        }
        if (at == digitsFrom || (at < lower.size() && lower[at].isLetterOrNumber()))
            continue;
        return number;
    }
    return std::nullopt;
}

std::vector<AlbumFolders> foldDiscFolders(const QStringList& folders, int albumSeparators) {
    const QSet<QString> present(folders.begin(), folders.end());
    QSet<QString> albums; // folders with a disc folder directly inside
    for (const QString& folder : folders) {
        const QString parent = parentOf(folder);
        if (parent.count(kSeparator) >= albumSeparators && present.contains(parent) &&
            discNumber(nameOf(folder)))
            albums.insert(parent);
    }
    // The outermost album above a folder takes it in.
    const auto takenInBy = [&albums](const QString& folder) {
        QString outer;
        for (QString up = parentOf(folder); !up.isEmpty(); up = parentOf(up)) {
            if (albums.contains(up))
                outer = up;
        }
        return outer;
    };

    std::vector<AlbumFolders> rows;
    QHash<QString, size_t> rowOf;
    for (const QString& folder : folders) {
        if (takenInBy(folder).isEmpty()) {
            rowOf.insert(folder, rows.size());
            rows.push_back({folder, {}, {}});
        }
    }
    for (const QString& folder : folders) {
        const QString outer = takenInBy(folder);
        if (outer.isEmpty())
            continue;
        AlbumFolders& row = rows[rowOf.value(outer)];
        row.inner.append(folder);
        if (parentOf(folder) == outer && discNumber(nameOf(folder)))
            row.discs.append(folder);
    }
    for (AlbumFolders& row : rows) {
        // Disc 2 before disc 10; discs of one number in the list's order.
        std::stable_sort(row.discs.begin(), row.discs.end(),
                         [](const QString& a, const QString& b) {
                             return *discNumber(nameOf(a)) < *discNumber(nameOf(b));
                         });
    }
    return rows;
}

QString discCountMark(int count) {
    return count > 1 ? QStringLiteral(" [%1CD]").arg(count) : QString();
}

} // namespace korvane
