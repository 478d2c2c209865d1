#include "music/Duplicates.h"

#include "music/AlbumIdentity.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <map>

namespace korvane {

std::vector<DuplicateGroup> findDuplicates(const std::vector<MusicRow>& rows,
                                           const QString& separator) {
    struct Named {
        int row;
        int year;
    };
    // The artist and album made comparable, joined by a character no name keeps.
    QHash<QString, std::vector<Named>> byName;
    std::vector<QString> order; // names in the order of their first row
    for (size_t i = 0; i < rows.size(); ++i) {
        if (MusicList::isCategoryHeader(rows[i]))
            continue;
        const AlbumIdentity identity = albumIdentity(rows[i].caption, separator);
        if (identity.artist.isEmpty())
            continue;
        const QString key =
            comparableName(identity.artist) + u'\n' + comparableName(identity.title);
        auto at = byName.find(key);
        if (at == byName.end()) {
            at = byName.insert(key, {});
            order.push_back(key);
        }
        at->push_back({static_cast<int>(i), identity.year});
    }

    std::vector<DuplicateGroup> groups;
    for (const QString& key : order) {
        const std::vector<Named>& named = byName.value(key);
        if (named.size() < 2)
            continue;
        std::map<int, DuplicateGroup> byYear; // 0: without a year
        for (const Named& n : named)
            byYear[n.year].rows.push_back(n.row);
        const size_t years = byYear.size() - byYear.count(0);
        if (years <= 1) {
            DuplicateGroup all;
            for (const Named& n : named)
                all.rows.push_back(n.row);
            groups.push_back(std::move(all));
            continue;
        }
        for (auto& [year, group] : byYear) {
            if (group.rows.size() >= 2)
                groups.push_back(std::move(group));
        }
    }
    std::sort(groups.begin(), groups.end(), [](const DuplicateGroup& a, const DuplicateGroup& b) {
        return a.rows.front() < b.rows.front();
    });
    return groups;
}

QByteArray duplicatesJson(const std::vector<MusicRow>& rows,
                          const std::vector<DuplicateGroup>& groups, const QString& separator) {
    QJsonArray out;
    for (const DuplicateGroup& group : groups) {
        QJsonArray members;
        for (const int index : group.rows) {
            const MusicRow& row = rows.at(static_cast<size_t>(index));
            members.append(
                QJsonObject{{QStringLiteral("row"), index},
                            {QStringLiteral("caption"), row.caption},
                            {QStringLiteral("cells"), QJsonArray::fromStringList(row.cells)},
                            {QStringLiteral("root"), row.origin.root},
                            {QStringLiteral("path"), row.origin.relative}});
        }
        const AlbumIdentity first =
            albumIdentity(rows.at(static_cast<size_t>(group.rows.front())).caption, separator);
        out.append(QJsonObject{{QStringLiteral("artist"), first.artist},
                               {QStringLiteral("album"), first.title},
                               {QStringLiteral("rows"), members}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("groups"), out}})
        .toJson(QJsonDocument::Indented);
}

} // namespace korvane
