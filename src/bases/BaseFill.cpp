#include "bases/BaseFill.h"

#include <algorithm>

#include "catalogue/CatalogueList.h"
#include "text/LocaleText.h"
#include "text/TextFile.h"

#include <QCoreApplication>
#include <QDir>

namespace korvane::bases {
namespace {

const QString kNoValue = QStringLiteral("-");

} // namespace

void BaseFill::run(const FillRequest& request, const std::vector<CatalogueRow>& rows,
                   std::vector<Change>& changes, const std::stop_token& stop,
                   const Report& report) {
    m_problem.reset();
    m_state = FillState::Reading;
    m_label = QCoreApplication::translate("BaseFill", "Чтение базы...");
    m_progressMaximum = 0;
    m_progressPosition = 0;

    BaseTable table;
    if (!readBase(request, table, stop, report))
        return;
    fill(request, table, rows, changes, stop, report);
    if (report)
        report();
    m_state = FillState::Done;
    m_label = QCoreApplication::translate("BaseFill", "ОК");
}

void BaseFill::run(const FillRequest& request, CatalogueList& list, const std::stop_token& stop,
                   const Report& report) {
    std::vector<Change> changes;
    run(request, list.rows(), changes, stop, report);
    apply(list, request.kind, changes);
}

void BaseFill::apply(CatalogueList& list, BaseKind kind, const std::vector<Change>& changes) {
    const int cell = targetCell(kind);
    for (const Change& change : changes) {
        if (change.row < list.count())
            list.setCell(change.row, cell, change.text);
    }
}

bool BaseFill::alters(const CatalogueList& list, BaseKind kind,
                      const std::vector<Change>& changes) {
    const int column = targetCell(kind) + 1;
    return std::any_of(changes.begin(), changes.end(), [&](const Change& change) {
        return change.row < list.count() && list.text(change.row, column) != change.text;
    });
}

QString BaseFill::error() const {
    return m_problem ? fileProblemText(*m_problem) : QString();
}

bool BaseFill::readBase(const FillRequest& request, BaseTable& table, const std::stop_token& stop,
                        const Report& report) {
    QString reason;
    const std::optional<QByteArray> bytes = text::readTextFile(request.basePath, &reason);
    if (!bytes) {
        m_state = FillState::Failed;
        m_problem = FileProblem{FileProblem::Action::Open, request.basePath, 0, reason};
        return false;
    }
    const std::vector<std::string_view> lines =
        splitBaseLines(std::string_view(bytes->constData(), static_cast<size_t>(bytes->size())));

    m_progressMaximum = static_cast<int64_t>(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        m_progressPosition = static_cast<int64_t>(i) + 1;
        table.add(parseBaseLine(lines[i]));
        if (report)
            report();
        if (stop.stop_requested())
            break;
    }
    m_progressPosition = 0;
    if (stop.stop_requested()) {
        m_state = FillState::Stopped;
        return false;
    }
    return true;
}

void BaseFill::fill(const FillRequest& request, const BaseTable& table,
                    const std::vector<CatalogueRow>& rows, std::vector<Change>& changes,
                    const std::stop_token& stop, const Report& report) {
    m_state = FillState::Filling;
    m_label = QCoreApplication::translate("BaseFill", "Заполнение жанров...");
    m_progressMaximum = static_cast<int64_t>(rows.size());
    const int cell = targetCell(request.kind);
    for (size_t i = 0; i < rows.size(); ++i) {
        m_progressPosition = static_cast<int64_t>(i) + 1;
        const CatalogueRow& row = rows[i];
        if (request.mode == FillMode::All || row.cells.value(cell) == kNoValue) {
            const std::string key = groupKey(row.caption, request.separator);
            if (const std::string* value = table.find(key))
                changes.push_back({static_cast<int>(i), text::fromCp1251(*value)});
        }
        if (report)
            report();
        if (stop.stop_requested())
            break;
    }
}

} // namespace korvane::bases
