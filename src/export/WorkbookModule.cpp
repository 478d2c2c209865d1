#include "export/OutputFile.h"
#include "export/XlsxWorkbook.h"
#include "files/ProgramModule.h"

namespace korvane::exporter {

void writeWorkbook(const SheetPlan& plan, const QString& path) {
    using WriteWorkbook = bool (*)(const SheetPlan&, const QString&, const QString&, QString&);
    // Loaded by the first workbook of the run and kept.
    static const auto write =
        reinterpret_cast<WriteWorkbook>(loadModuleEntry(kWorkbookModuleName, kWorkbookModuleEntry));
    if (write == nullptr)
        failToCreate(path, QStringLiteral("The module %1 is missing.")
                               .arg(QString::fromLatin1(kWorkbookModuleName)));
    // The library writes the file by name; a hidden temporary beside the target keeps the old
    // file until the new one is complete and checked.
    ReplacementFile temporary(path);
    QString error;
    if (!write(plan, temporary.temporaryPath(), path, error))
        throw ReportedError(error);
    temporary.commit();
}

QString xlsxwriterVersion() {
    using Version = const char* (*)();
    static const auto version = reinterpret_cast<Version>(
        loadModuleEntry(kWorkbookModuleName, kWorkbookModuleVersionEntry));
    return version ? QString::fromLatin1(version()) : QString();
}

} // namespace korvane::exporter
