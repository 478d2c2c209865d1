#include "session/CatalogueSession.h"

#include "catalogue/PublishedStore.h"
#include "export/ListExport.h"
#include "music/MusicList.h"
#include "music/MusicRowFormat.h"
#include "settings/Settings.h"
#include "video/VideoInfo.h"
#include "video/VideoList.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <utility>

namespace korvane {
namespace {

const QString kCatalogueFile = QStringLiteral("korvane.db");

template <typename Result> RunOutcome outcomeOf(const Result& result) {
    return {result.scan.stopped, result.refreshed, result.counts, {}, 0};
}

MusicScanOptions musicOptions(const Settings& settings, const SessionChoices& choices) {
    MusicScanOptions options = readMusicScanOptions(settings, choices.toggles, choices.testersMode);
    if (choices.tagEncoding)
        options.toggles.tagEncoding = *choices.tagEncoding;
    if (choices.requestsInFlight)
        options.requestsInFlight = *choices.requestsInFlight;
    return options;
}

codepage::Choice nameEncoding(const Settings& settings, const SessionChoices& choices) {
    return choices.tagEncoding.value_or(settings.tagEncoding());
}

// A run on one thread: the rows go straight to the list, the rest to the host.
class ListFiller final : public ScanHost {
public:
    ListFiller(CatalogueList& list, ScanHost& host) : m_list(list), m_host(host) {}

    void addRow(CatalogueRow row) override { m_list.appendRow(std::move(row)); }
    void setStatusText(const QString& text) override { m_host.setStatusText(text); }
    void setProgressMaximum(int maximum) override { m_host.setProgressMaximum(maximum); }
    void setProgressPosition(int position) override { m_host.setProgressPosition(position); }
    void albumPhaseBegan() override { m_host.albumPhaseBegan(); }
    void stopHonoured() override { m_host.stopHonoured(); }
    void filePhaseBegan() override { m_host.filePhaseBegan(); }
    void rowAppended() override { m_host.rowAppended(); }

private:
    CatalogueList& m_list;
    ScanHost& m_host;
};

} // namespace

StoredListName storedName(ListKind kind) {
    return kind == ListKind::Music ? StoredListName::Music : StoredListName::Video;
}

CatalogueSession::CatalogueSession(const ProgramFolder& programFolder, QObject* listParent)
    : m_programFolder(programFolder), m_settings(programFolder.settingsPath()),
      m_ownsLists(listParent == nullptr), m_music(new MusicList(listParent)),
      m_video(new VideoList(listParent)) {}

CatalogueSession::~CatalogueSession() {
    if (m_ownsLists) {
        delete m_music;
        delete m_video;
    }
}

CatalogueList& CatalogueSession::list(ListKind kind) {
    return kind == ListKind::Music ? static_cast<CatalogueList&>(*m_music) : *m_video;
}

const CatalogueList& CatalogueSession::list(ListKind kind) const {
    return kind == ListKind::Music ? static_cast<const CatalogueList&>(*m_music) : *m_video;
}

int CatalogueSession::itemCount(ListKind kind) const {
    return kind == ListKind::Music ? musicAlbumCount(*m_music, true) : m_video->count();
}

ListRun CatalogueSession::makeRun(ListKind kind, ListRunPlan plan, const SessionChoices& choices) {
    // A new root's rows keep it in one spelling, whichever front end named it (the window's
    // music folder ends with a separator): the catalogue's keys then match.
    if (!plan.isUpdate)
        plan.root = QDir::cleanPath(plan.root);
    const Settings settings(m_settings);
    if (kind == ListKind::Music) {
        const MusicScanOptions options = musicOptions(settings, choices);
        auto run = std::make_shared<MusicRun>(std::move(plan));
        auto result = std::make_shared<MusicUpdateResult>();
        return {[run, result, options](ScanHost& host, const std::stop_token& stop,
                                       const EmptyRootCheck& mayEmpty) {
                    *result = run->run(options, host, stop, mayEmpty);
                },
                [run, result, options, &list = *m_music] {
                    run->apply(list, options, *result);
                    RunOutcome outcome = outcomeOf(*result);
                    outcome.smallFolders = result->scan.smallFolders;
                    return outcome;
                }};
    }
    const QString separator = settings.groupAlbumSeparator();
    const VideoFiles files =
        choices.toggles.allVideoFiles ? VideoFiles::All : VideoFiles::WithVideo;
    const codepage::Choice names = nameEncoding(settings, choices);
    auto run = std::make_shared<VideoRun>(std::move(plan));
    auto result = std::make_shared<VideoUpdateResult>();
    return {[run, result, separator, files, names](ScanHost& host, const std::stop_token& stop,
                                                   const EmptyRootCheck& mayEmpty) {
                video::VideoInfo probe;
                *result = run->run(separator, probe, host, files, stop, mayEmpty, names);
            },
            [run, result, &list = *m_video] {
                run->apply(list, *result);
                RunOutcome outcome = outcomeOf(*result);
                outcome.firstFileFolder = result->scan.firstFileFolder;
                return outcome;
            }};
}

RunOutcome CatalogueSession::runHere(ListKind kind, ListRunPlan plan, const SessionChoices& choices,
                                     ScanHost& host, const EmptyRootCheck& mayEmpty) {
    const ListRun run = makeRun(kind, std::move(plan), choices);
    ListFiller filler(list(kind), host);
    run.work(filler, std::stop_token(), mayEmpty);
    return run.apply();
}

void CatalogueSession::sort(ListKind kind, int column) {
    m_sortColumns[kind == ListKind::Music ? 0 : 1] = column;
    list(kind).sortByColumn(column);
}

void CatalogueSession::deleteRows(ListKind kind, const std::vector<bool>& doomed) {
    CatalogueList& rows = list(kind);
    std::vector<RowOrigin> deleted;
    for (size_t i = 0; i < doomed.size(); ++i) {
        if (doomed[i])
            deleted.push_back(rows.row(static_cast<int>(i)).origin);
    }
    rows.removeFlaggedRows(doomed);
    for (const RowOrigin& origin : deleted)
        rows.leaveOut(origin);
    if (rows.isEmpty())
        rows.clear();
}

QString CatalogueSession::cataloguePath() const {
    return m_programFolder.file(kCatalogueFile);
}

CatalogueStore& CatalogueSession::catalogue() {
    if (!m_catalogue)
        m_catalogue = std::make_unique<CatalogueStore>(cataloguePath());
    return *m_catalogue;
}

bool CatalogueSession::putStored(ListKind kind, StoredList stored, const SessionChoices& choices) {
    CatalogueList& shown = list(kind);
    shown.setLeftOut(std::move(stored.leftOut));
    if (stored.rows.empty() && shown.isEmpty())
        return false;
    // Made again with today's toggles, as a fresh scan would make them.
    const Settings settings(m_settings);
    const MusicScanOptions options = musicOptions(settings, choices);
    if (kind == ListKind::Music)
        remakeMusicRows(stored.rows, options.toggles, options.separator);
    else
        VideoList::remakeVideoRows(stored.rows, options.separator, options.toggles.tagEncoding);
    shown.resetRows(std::move(stored.rows));
    return true;
}

bool CatalogueSession::store(ListKind kind) {
    const CatalogueList& stored = list(kind);
    return catalogue().save(storedName(kind), {stored.rows(), itemCount(kind), stored.leftOut()});
}

bool CatalogueSession::writeBesideCatalogue(const std::function<bool()>& write) {
    // Only when nothing else was stored meanwhile is the version kept as this one's own.
    const bool current = m_catalogue && m_catalogue->isCurrent();
    const bool written = write();
    if (written && current)
        m_catalogue->takeStoredVersion();
    return written;
}

ExportSource CatalogueSession::exportSource(ListKind kind, bool sincePublished) {
    if (sincePublished) {
        if (std::optional<ExportSource> changes =
                changesSincePublished(kind, list(kind), cataloguePath()))
            return std::move(*changes);
    }
    std::shared_ptr<CatalogueList> copy;
    if (kind == ListKind::Music)
        copy = std::make_shared<MusicList>();
    else
        copy = std::make_shared<VideoList>();
    copy->resetRows(list(kind).rows());
    return {kind, std::move(copy), QString(), -1};
}

QStringList CatalogueSession::writeExport(const exporter::ExportFormatRow& format,
                                          const ExportSource& source,
                                          const ExportChoices& choices) const {
    // A file of its own, so that an export on a worker reads set.ini apart from the window's.
    SettingsFile file(m_settings.path());
    return korvane::writeExport(format, source, m_programFolder, Settings(file), choices);
}

std::vector<std::string> CatalogueSession::exportParts(const exporter::ExportFormatRow& format,
                                                       const ExportSource& source,
                                                       const ExportChoices& choices) const {
    SettingsFile file(m_settings.path());
    return korvane::exportParts(format, source, m_programFolder, Settings(file), choices);
}

void CatalogueSession::markPublished(ListKind kind) {
    korvane::markPublished(
        kind, list(kind), cataloguePath(),
        [this](const std::function<bool()>& save) { return writeBesideCatalogue(save); });
}

void markPublished(ListKind kind, const CatalogueList& list, const QString& cataloguePath,
                   const std::function<bool(const std::function<bool()>&)>& write) {
    PublishedStore store(cataloguePath);
    const auto save = [&] {
        return store.isUsable() &&
               store.save(storedName(kind), list.rows(), QDateTime::currentDateTimeUtc());
    };
    if (!(write ? write(save) : save()))
        throw ReportedError(store.message());
}

ExportSource borrowedSource(ListKind kind, CatalogueList& list) {
    return {kind, std::shared_ptr<CatalogueList>(&list, [](CatalogueList*) {}), QString(), -1};
}

QString publishedStoreProblem(const QString& cataloguePath) {
    const PublishedStore store(cataloguePath);
    return store.isUsable() ? QString() : store.message();
}

std::optional<ExportSource> changesSincePublished(ListKind kind, const CatalogueList& list,
                                                  const QString& cataloguePath) {
    PublishedStore store(cataloguePath);
    if (!store.isUsable())
        throw ReportedError(store.message());
    const std::optional<PublishedSnapshot> snapshot = store.load(storedName(kind));
    if (!snapshot)
        return std::nullopt;
    const bool music = kind == ListKind::Music;
    std::shared_ptr<CatalogueList> changes;
    if (music)
        changes = std::make_shared<MusicList>();
    else
        changes = std::make_shared<VideoList>();
    exporter::RowsSincePublished since =
        exporter::rowsSincePublished(list.rows(), snapshot->rows, snapshot->at, music);
    changes->resetRows(std::move(since.rows));
    return ExportSource{kind, std::move(changes),
                        exporter::sincePublishedTitle(music, snapshot->at), since.added};
}

namespace {

exporter::PostSource postSource(const exporter::ExportFormatRow& format, const ExportSource& source,
                                const ProgramFolder& programFolder, const Settings& settings,
                                const ExportChoices& choices) {
    exporter::PostSource post =
        exporter::postSource(format.format, source.kind == ListKind::Music, programFolder, settings,
                             choices.toggles, choices.postTemplate, choices.postLimit);
    post.title = source.title;
    post.count = source.count;
    return post;
}

} // namespace

QStringList writeExport(const exporter::ExportFormatRow& format, const ExportSource& source,
                        const ProgramFolder& programFolder, const Settings& settings,
                        const ExportChoices& choices) {
    exporter::ExportRequest request{
        *source.list, settings, choices.toggles, programFolder, QDateTime::currentDateTime(),
        choices.path};
    if (format.publishable)
        request.post = postSource(format, source, programFolder, settings, choices);
    return format.write(request);
}

std::vector<std::string> exportParts(const exporter::ExportFormatRow& format,
                                     const ExportSource& source, const ProgramFolder& programFolder,
                                     const Settings& settings, const ExportChoices& choices) {
    return exporter::listParts(format.format, *source.list, settings, choices.toggles,
                               QDateTime::currentDateTime(),
                               postSource(format, source, programFolder, settings, choices));
}

} // namespace korvane
