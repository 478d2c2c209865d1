#include "app/MainWindow.h"

#include "bases/BaseFillDialog.h"
#include "bases/BaseWriter.h"
#include "desktop/Desktop.h"
#include "jobs/Job.h"
#include "music/MusicList.h"

#include <QFileInfo>

// Handlers of the "База данных" menu: four fills from the bases beside the program, two saves of
// new bases from the music list.
namespace korvane {

using bases::BaseKind;
using bases::FillMode;

void MainWindow::fillFromBase(BaseKind kind, FillMode mode, const QString& question) {
    if (m_musicPage->refuseWhileRunning())
        return;
    if (!m_desktop.askYesNo(QStringLiteral("Korvane"), question))
        return;
    m_baseFillDialog->prepare(kind, mode, programFolder().file(bases::baseFileName(kind)),
                              *m_musicList, musicJob());
    execModal(*m_baseFillDialog);
}

void MainWindow::saveBaseFromList(BaseKind kind) {
    if (m_musicList->isEmpty())
        return;
    const QString preset =
        kind == BaseKind::GenreBase ? QStringLiteral("genrebd") : QStringLiteral("countrybd");
    const std::optional<QString> chosen =
        m_desktop.chooseSaveFile(programFolder().dir(), preset, QStringLiteral("*.txt"));
    if (!chosen)
        return;
    // Asked about the file that is written, which may differ from the chosen name (".txt").
    const QString target = bases::baseTargetPath(*chosen);
    if (QFileInfo(target).isFile() && !m_desktop.confirmReplace(target))
        return;
    const bases::SaveResult saved = bases::saveBase(
        *m_musicList, kind, Settings(m_settings).groupAlbumSeparatorForBases(), *chosen);
    if (saved.problem) {
        m_desktop.showError(explainFileProblem(*saved.problem));
        return;
    }
    setStatusText(bases::savedStatusText(saved.path));
}

} // namespace korvane
