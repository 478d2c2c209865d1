#include "cli/ScanCommand.h"

#include "files/FileName.h"

#include <QDir>

#include <filesystem>

namespace korvane::cli {

ScanArguments parseScanArguments(const QStringList& args, const CatalogueList& list,
                                 const char* command,
                                 const std::function<bool(const QString&)>& option) {
    ScanArguments result;
    for (int i = 0; i < args.size();) {
        const QString& word = args.at(i);
        if (takeListAction(args, i, list, result.actions))
            continue;
        ++i;
        if (option && option(word))
            continue;
        if (word.startsWith(QLatin1String("--")))
            throw UsageError(std::string("unknown ") + command + " option " + word.toStdString());
        result.roots.append(word);
    }
    if (result.roots.isEmpty())
        throw UsageError(std::string(command) + " needs at least one ROOT folder");
    for (QString& root : result.roots) {
        // The root's bytes as given, whatever their encoding: the scans carry them on.
        const std::filesystem::path path = files::encodeFileName(root).toStdString();
        std::error_code error;
        if (!std::filesystem::exists(path, error))
            throw CommandError("no such folder: " + path.string());
        if (!std::filesystem::is_directory(path, error))
            throw CommandError("not a folder: " + path.string());
        root =
            QDir::cleanPath(files::decodeFileName(std::filesystem::absolute(path, error).string()));
    }
    return result;
}

ProgressLine::ProgressLine(Context& context) : m_context(context) {
    m_clock.start();
}

ProgressLine::~ProgressLine() {
    if (m_shown)
        m_context.err << "\r\033[K" << std::flush;
}

void ProgressLine::tick(const std::function<QString()>& text) {
    if (!m_context.errIsTerminal || m_clock.elapsed() < 100)
        return;
    m_clock.restart();
    QString line = text();
    if (line.size() > 100)
        line = line.left(48) + QStringLiteral("...") + line.right(49);
    m_context.err << "\r\033[K" << line.toUtf8().constData() << std::flush;
    m_shown = true;
}

} // namespace korvane::cli
