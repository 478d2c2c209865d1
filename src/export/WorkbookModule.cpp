#include "export/OutputFile.h"
#include "export/XlsxWorkbook.h"
#include "files/ProgramModule.h"

#include <QDir>

namespace korvane::exporter {

void writeWorkbook(const SheetPlan& plan, const QString& path) {
    using WriteWorkbook = bool (*)(const SheetPlan&, const QString&, QString&);
    // Loaded by the first workbook of the run and kept.
    static const auto write =
        reinterpret_cast<WriteWorkbook>(loadModuleEntry(kWorkbookModuleName, kWorkbookModuleEntry));
    if (write == nullptr)
        throw ExportError(
            QStringLiteral("Cannot create file \"%1\". The module %2 is missing.")
                .arg(QDir::toNativeSeparators(path), QString::fromLatin1(kWorkbookModuleName)));
    QString error;
    if (!write(plan, path, error))
        throw ExportError(error);
}

QString xlsxwriterVersion() {
    using Version = const char* (*)();
    static const auto version = reinterpret_cast<Version>(
        loadModuleEntry(kWorkbookModuleName, kWorkbookModuleVersionEntry));
    return version ? QString::fromLatin1(version()) : QString();
}

} // namespace korvane::exporter
