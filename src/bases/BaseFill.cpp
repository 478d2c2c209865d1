#include "bases/BaseFill.h"

#include "catalogue/CatalogueList.h"
#include "text/LocaleText.h"
#include "text/TextFile.h"

#include <QDir>

namespace korvane::bases {
namespace {

const QString kNoValue = QStringLiteral("-");

} // namespace

void BaseFill::run(const FillRequest& request, CatalogueList& list, const Pump& pump) {
    m_stopRequested = false;
    m_error.clear();
    m_state = FillState::Reading;
    m_label = QStringLiteral("Чтение базы...");
    m_progressMaximum = 0;
    m_progressPosition = 0;

    BaseTable table;
    if (!readBase(request, table, pump))
        return;
    fill(request, table, list, pump);
    pump();
    m_state = FillState::Done;
    m_label = QStringLiteral("ОК");
}

bool BaseFill::readBase(const FillRequest& request, BaseTable& table, const Pump& pump) {
    QString reason;
    const std::optional<QByteArray> bytes = text::readTextFile(request.basePath, &reason);
    if (!bytes) {
        m_state = FillState::Failed;
        m_error = QStringLiteral("Cannot open file \"%1\". %2")
                      .arg(QDir::toNativeSeparators(request.basePath), reason);
        return false;
    }
    const std::vector<std::string_view> lines =
        splitBaseLines(std::string_view(bytes->constData(), static_cast<size_t>(bytes->size())));

    m_progressMaximum = static_cast<int64_t>(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        m_progressPosition = static_cast<int64_t>(i) + 1;
        table.add(parseBaseLine(lines[i]));
        pump();
        if (m_stopRequested)
            break;
    }
    m_progressPosition = 0;
    if (m_stopRequested) {
        m_state = FillState::Stopped;
        return false;
    }
    return true;
}

void BaseFill::fill(const FillRequest& request, const BaseTable& table, CatalogueList& list,
                    const Pump& pump) {
    m_state = FillState::Filling;
    m_label = QStringLiteral("Заполнение жанров...");
    m_progressMaximum = list.count();
    const int cell = targetCell(request.kind);
    // The list's length is read on every row: a pump that runs other commands cannot send the
    // loop past its end.
    for (int i = 0; i < list.count(); ++i) {
        m_progressPosition = i + 1;
        if (request.mode == FillMode::All || list.text(i, cell + 1) == kNoValue) {
            const std::string key = groupKey(list.row(i).caption, request.separator);
            if (const std::string* value = table.find(key))
                list.setCell(i, cell, text::fromCp1251(*value));
        }
        pump();
        if (m_stopRequested)
            break;
    }
}

} // namespace korvane::bases
