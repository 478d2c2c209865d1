// The workbook from arbitrary row texts: the first byte picks the list and its options, the rest
// is UTF-16 (lone surrogates and control characters included), rows split at LF, cells at TAB.
// Every workbook must be written, and every part of it must read back whole and well-formed.
#include "export/OutputFile.h"
#include "export/SheetPlan.h"
#include "export/WorkbookCheck.h"
#include "export/XlsxWorkbook.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane;
    if (size == 0)
        return 0;
    const std::uint8_t options = data[0];
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(data + 1),
                                            static_cast<qsizetype>((size - 1) / 2));
    std::vector<CatalogueRow> rows;
    for (const QString& line : text.split(u'\n')) {
        QStringList cells = line.split(u'\t');
        const QString caption = cells.takeFirst();
        rows.push_back({caption, cells});
    }
    const exporter::SheetPlan plan =
        (options & 1) != 0
            ? exporter::videoSheetPlan(rows, QStringLiteral("video"))
            : exporter::musicSheetPlan(rows, QStringLiteral("music"), QStringLiteral("  \\  "),
                                       (options & 2) != 0, (options & 4) != 0);
    static const QString path =
        QStringLiteral("/tmp/korvane-workbook-fuzz-%1.xlsx").arg(::getpid());
    try {
        exporter::writeWorkbook(plan, path);
    } catch (const ReportedError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        std::abort();
    }
    if (!exporter::workbookProblem(path).isEmpty())
        std::abort();
    return 0;
}
