#include "music/AlbumDetails.h"

#include "music/MusicList.h"

namespace korvane {

void AlbumDetails(const QString&, MusicList& list, int row, const QString&, const Toggles&,
                  const Pump&) {
    const QString none = QStringLiteral("-");
    for (int cell = BitrateCell; cell <= CountryCell; ++cell)
        list.appendCell(row, none);
}

} // namespace korvane
