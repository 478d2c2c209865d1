#include "desktop/Desktop.h"

#include <QDir>
#include <QFileInfo>

namespace korvane {

bool pickFolder(Desktop& desktop, const QString& caption, QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder.clear();
    const auto chosen = desktop.chooseFolder(caption, folder);
    if (!chosen)
        return false;
    folder = QDir::toNativeSeparators(*chosen);
    return true;
}

} // namespace korvane
