#include "export/XlsxWorkbook.h"

#include "export/OutputFile.h"
#include "export/WorkbookCheck.h"
#include "text/OutputText.h"

#include <QFile>

#include <xlsxwriter.h>

#include <stdio.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <locale.h>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <tuple>
#include <vector>

namespace {

// A read-write stream that stays in memory while it is small (the library's rich strings, a few
// hundred bytes each) and moves into a real temporary file once it grows (the sheet's own parts),
// so that memory stays bounded.
struct SpillingFile {
    std::vector<char> bytes;
    size_t position = 0;
    FILE* spilled = nullptr;
};

constexpr size_t kInMemoryLimit = 1 << 20;

ssize_t readSpillingFile(void* cookie, char* buffer, size_t size) {
    auto* file = static_cast<SpillingFile*>(cookie);
    if (file->spilled != nullptr) {
        const size_t count = std::fread(buffer, 1, size, file->spilled);
        return count == 0 && std::ferror(file->spilled) ? -1 : static_cast<ssize_t>(count);
    }
    const size_t count = file->position < file->bytes.size()
                             ? std::min(size, file->bytes.size() - file->position)
                             : 0;
    std::memcpy(buffer, file->bytes.data() + file->position, count);
    file->position += count;
    return static_cast<ssize_t>(count);
}

// Moves the bytes so far into a temporary file at the same position.
bool spill(SpillingFile& file) {
    file.spilled = std::tmpfile();
    if (file.spilled == nullptr)
        return false;
    const bool written =
        std::fwrite(file.bytes.data(), 1, file.bytes.size(), file.spilled) == file.bytes.size() &&
        std::fseek(file.spilled, static_cast<long>(file.position), SEEK_SET) == 0;
    std::vector<char>().swap(file.bytes);
    return written;
}

ssize_t writeSpillingFile(void* cookie, const char* buffer, size_t size) {
    auto* file = static_cast<SpillingFile*>(cookie);
    if (file->spilled == nullptr && file->position + size > kInMemoryLimit && !spill(*file))
        return -1;
    if (file->spilled != nullptr)
        return std::fwrite(buffer, 1, size, file->spilled) == size ? static_cast<ssize_t>(size)
                                                                   : -1;
    if (file->position + size > file->bytes.size())
        file->bytes.resize(file->position + size);
    std::memcpy(file->bytes.data() + file->position, buffer, size);
    file->position += size;
    return static_cast<ssize_t>(size);
}

int seekSpillingFile(void* cookie, off64_t* offset, int whence) {
    auto* file = static_cast<SpillingFile*>(cookie);
    if (file->spilled != nullptr) {
        if (fseeko64(file->spilled, *offset, whence) != 0)
            return -1;
        *offset = ftello64(file->spilled);
        return 0;
    }
    const off64_t base = whence == SEEK_SET   ? 0
                         : whence == SEEK_CUR ? static_cast<off64_t>(file->position)
                                              : static_cast<off64_t>(file->bytes.size());
    const off64_t target = base + *offset;
    if (target < 0)
        return -1;
    file->position = static_cast<size_t>(target);
    *offset = target;
    return 0;
}

int closeSpillingFile(void* cookie) {
    auto* file = static_cast<SpillingFile*>(cookie);
    const int result = file->spilled != nullptr ? std::fclose(file->spilled) : 0;
    delete file;
    return result;
}

} // namespace

// libxlsxwriter 1.1 builds every rich string in a temporary file of its own and asks for each
// of its files through this function: defined here, it takes the place of the library's, so a
// workbook of 200,000 bold captions creates a handful of temporary files instead of 200,000.
extern "C" FILE* lxw_tmpfile(char* /*tmpdir*/) {
    const cookie_io_functions_t functions{readSpillingFile, writeSpillingFile, seekSpillingFile,
                                          closeSpillingFile};
    auto* file = new SpillingFile;
    FILE* stream = fopencookie(file, "w+", functions);
    if (stream == nullptr)
        delete file;
    return stream;
}

namespace korvane::exporter {
namespace {

// A font as the spreadsheet's defaults leave it; colour nothing means "automatic".
struct Font {
    QString name = QStringLiteral("Calibri");
    int size = 11;
    std::optional<int> color;
    bool bold = false;
    bool italic = false;

    bool operator==(const Font&) const = default;
};

// Font properties set on a run of characters, applied over the cell's font.
struct RunFont {
    CharacterRun run;
    SheetProperty property;
    int value;
};

struct CellStyle {
    std::optional<int> horizontal;
    std::optional<int> vertical;
    Font font;
    std::vector<RunFont> runs;
};

bool isFontProperty(SheetProperty property) {
    return property != SheetProperty::HorizontalAlignment &&
           property != SheetProperty::VerticalAlignment && property != SheetProperty::ColumnWidth;
}

void applyFont(Font& font, SheetProperty property, int value, const QString& text) {
    switch (property) {
    case SheetProperty::FontName:
        font.name = text;
        break;
    case SheetProperty::FontSize:
        font.size = value;
        break;
    case SheetProperty::FontColor:
        font.color = value;
        break;
    case SheetProperty::FontBold:
        font.bold = value != 0;
        break;
    case SheetProperty::FontItalic:
        font.italic = value != 0;
        break;
    default:
        break;
    }
}

// The sheet's cells and column widths after the operations, in order.
class SheetState {
public:
    explicit SheetState(const SheetPlan& plan)
        : m_rows(plan.rowCount()), m_columns(plan.columnCount()),
          m_cells(static_cast<size_t>(m_rows) * static_cast<size_t>(m_columns)),
          m_widths(static_cast<size_t>(m_columns)) {
        for (const SheetOperation& operation : plan.operations)
            apply(operation);
    }

    const CellStyle& cell(int row, int column) const { return m_cells[index(row, column)]; }
    const std::vector<std::optional<int>>& widths() const { return m_widths; }
    // The width of the columns right of the grid, when a whole-sheet operation set one.
    const std::optional<int>& restWidth() const { return m_restWidth; }

private:
    size_t index(int row, int column) const {
        return static_cast<size_t>(row) * static_cast<size_t>(m_columns) +
               static_cast<size_t>(column);
    }

    void apply(const SheetOperation& op) {
        using Scope = SheetRange::Scope;
        const bool whole = op.target.scope != Scope::Cells;
        const int firstRow = whole ? 0 : op.target.firstRow;
        const int lastRow = whole ? m_rows - 1 : std::min(op.target.lastRow, m_rows - 1);
        const int firstColumn = whole ? 0 : op.target.firstColumn;
        const int lastColumn =
            whole ? m_columns - 1 : std::min(op.target.lastColumn, m_columns - 1);
        if (op.property == SheetProperty::ColumnWidth) {
            // A width belongs to whole columns, whichever of their cells the range names.
            for (int c = std::max(firstColumn, 0); c <= lastColumn; ++c)
                m_widths[static_cast<size_t>(c)] = op.value;
            if (whole)
                m_restWidth = op.value;
            return;
        }
        for (int r = std::max(firstRow, 0); r <= lastRow; ++r) {
            for (int c = std::max(firstColumn, 0); c <= lastColumn; ++c)
                applyToCell(m_cells[index(r, c)], op);
        }
    }

    static void applyToCell(CellStyle& cell, const SheetOperation& op) {
        if (op.characters) {
            if (isFontProperty(op.property) && op.characters->length > 0)
                cell.runs.push_back({*op.characters, op.property, op.value});
            return;
        }
        switch (op.property) {
        case SheetProperty::HorizontalAlignment:
            cell.horizontal = op.value;
            return;
        case SheetProperty::VerticalAlignment:
            cell.vertical = op.value;
            return;
        default:
            break;
        }
        // A font set on the whole cell covers every character, runs included.
        applyFont(cell.font, op.property, op.value, op.text);
        std::erase_if(cell.runs, [&op](const RunFont& run) { return run.property == op.property; });
    }

    int m_rows;
    int m_columns;
    std::vector<CellStyle> m_cells;
    std::vector<std::optional<int>> m_widths;
    std::optional<int> m_restWidth;
};

// The spreadsheet's colour numbers keep red in the low byte; the library wants 0xRRGGBB, and
// its black is a value of its own because 0 means "no colour".
lxw_color_t libraryColor(int excelColor) {
    const auto value = static_cast<unsigned>(excelColor);
    const lxw_color_t rgb = ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
    return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rgb;
}

struct FormatKey {
    std::optional<int> horizontal;
    std::optional<int> vertical;
    bool wrap = false;
    QString fontName;
    int fontSize = 0;
    std::optional<int> color;
    bool bold = false;
    bool italic = false;

    auto tie() const {
        return std::tie(horizontal, vertical, wrap, fontName, fontSize, color, bold, italic);
    }
    bool operator<(const FormatKey& other) const { return tie() < other.tie(); }
};

// One library format per distinct look; the library keeps them until the workbook closes.
class Formats {
public:
    explicit Formats(lxw_workbook* workbook) : m_workbook(workbook) {}

    lxw_format* get(const FormatKey& key) {
        auto found = m_formats.find(key);
        if (found != m_formats.end())
            return found->second;
        lxw_format* format = workbook_add_format(m_workbook);
        if (format == nullptr)
            throw std::bad_alloc();
        if (key.horizontal == sheet::kAlignCenter)
            format_set_align(format, LXW_ALIGN_CENTER);
        else if (key.horizontal == sheet::kAlignLeft)
            format_set_align(format, LXW_ALIGN_LEFT);
        if (key.vertical == sheet::kAlignCenter)
            format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
        if (key.wrap)
            format_set_text_wrap(format);
        const QByteArray name = text::xmlText(key.fontName).toUtf8();
        format_set_font_name(format, name.constData());
        format_set_font_size(format, key.fontSize);
        if (key.color)
            format_set_font_color(format, libraryColor(*key.color));
        if (key.bold)
            format_set_bold(format);
        if (key.italic)
            format_set_italic(format);
        m_formats.emplace(key, format);
        return format;
    }

private:
    lxw_workbook* m_workbook;
    std::map<FormatKey, lxw_format*> m_formats;
};

FormatKey cellKey(const CellStyle& style, const Font& font, bool wrap) {
    return {style.horizontal, style.vertical, wrap,      font.name,
            font.size,        font.color,     font.bold, font.italic};
}

FormatKey fontKey(const Font& font) {
    return {std::nullopt, std::nullopt, false,     font.name,
            font.size,    font.color,   font.bold, font.italic};
}

// Pieces of a cell's text that share one font.
struct Fragment {
    QString text;
    Font font;
};

std::vector<Fragment> fragments(const QString& text, const CellStyle& style) {
    std::vector<Fragment> pieces;
    for (qsizetype i = 0; i < text.size(); ++i) {
        Font font = style.font;
        for (const RunFont& run : style.runs) {
            const qsizetype first = run.run.start - 1;
            if (i >= first && i < first + run.run.length)
                applyFont(font, run.property, run.value, {});
        }
        // A surrogate pair stays in one piece.
        const bool continuesPair = i > 0 && text[i].isLowSurrogate();
        if (!pieces.empty() && (pieces.back().font == font || continuesPair))
            pieces.back().text += text[i];
        else
            pieces.push_back({QString(text[i]), font});
    }
    return pieces;
}

// The most characters a cell holds in the spreadsheet; the library refuses longer texts.
constexpr qsizetype kMaxCellLength = 32767;

// The pieces as the file can hold them: characters XML cannot carry are removed (libxlsxwriter
// writes rich strings unescaped, and a control character would make the sheet unreadable), and
// the text is cut to what a cell holds.
std::vector<Fragment> writableFragments(const QString& text, const CellStyle& style) {
    std::vector<Fragment> pieces;
    qsizetype room = kMaxCellLength;
    for (Fragment& piece : fragments(text, style)) {
        piece.text = text::cutText(text::xmlText(piece.text), room);
        room -= piece.text.size();
        if (!piece.text.isEmpty())
            pieces.push_back(std::move(piece));
    }
    return pieces;
}

void check(lxw_error error, const QString& path) {
    if (error != LXW_NO_ERROR)
        failToCreate(path, QString::fromUtf8(lxw_strerror(error)));
}

void writeCell(lxw_worksheet* worksheet, Formats& formats, int row, int column, const QString& text,
               const CellStyle& style, const QString& path) {
    const bool wrap = text.contains(u'\n');
    const std::vector<Fragment> pieces = writableFragments(text, style);
    if (pieces.size() <= 1) {
        const Font font = pieces.empty() ? style.font : pieces.front().font;
        const QByteArray utf8 = pieces.empty() ? QByteArray() : pieces.front().text.toUtf8();
        check(worksheet_write_string(worksheet, static_cast<lxw_row_t>(row),
                                     static_cast<lxw_col_t>(column), utf8.constData(),
                                     formats.get(cellKey(style, font, wrap))),
              path);
        return;
    }
    std::vector<QByteArray> utf8;
    std::vector<lxw_rich_string_tuple> tuples;
    utf8.reserve(pieces.size());
    tuples.reserve(pieces.size());
    for (const Fragment& piece : pieces) {
        utf8.push_back(piece.text.toUtf8());
        tuples.push_back({formats.get(fontKey(piece.font)), utf8.back().data()});
    }
    std::vector<lxw_rich_string_tuple*> list;
    for (lxw_rich_string_tuple& tuple : tuples)
        list.push_back(&tuple);
    list.push_back(nullptr);
    check(worksheet_write_rich_string(worksheet, static_cast<lxw_row_t>(row),
                                      static_cast<lxw_col_t>(column), list.data(),
                                      formats.get(cellKey(style, style.font, wrap))),
          path);
}

// The library prints column widths and margins with the C library's number format, which follows
// the locale ("60,7109375" in Russian). The thread writes them in the "C" locale whatever the
// program's locale is.
class CNumberFormat {
public:
    CNumberFormat() : m_locale(newlocale(LC_ALL_MASK, "C", nullptr)) {
        if (m_locale != nullptr)
            m_previous = uselocale(m_locale);
    }
    ~CNumberFormat() {
        if (m_locale == nullptr)
            return;
        uselocale(m_previous);
        freelocale(m_locale);
    }
    CNumberFormat(const CNumberFormat&) = delete;
    CNumberFormat& operator=(const CNumberFormat&) = delete;

private:
    locale_t m_locale;
    locale_t m_previous = nullptr;
};

struct WorkbookCloser {
    void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

void writeTo(const SheetPlan& plan, const QString& file, const QString& path) {
    const QByteArray fileName = QFile::encodeName(file);
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(workbook_new(fileName.constData()));
    if (!workbook)
        failToCreate(path, QStringLiteral("The workbook could not be started."));
    const QByteArray sheetName = text::xmlText(plan.sheetName).toUtf8();
    check(workbook_validate_sheet_name(workbook.get(), sheetName.constData()), path);
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook.get(), sheetName.constData());
    if (worksheet == nullptr)
        failToCreate(path, QStringLiteral("The sheet could not be added."));

    const SheetState state(plan);
    Formats formats(workbook.get());
    for (int r = 0; r < plan.rowCount(); ++r) {
        const QStringList& texts = plan.grid[static_cast<size_t>(r)];
        for (int c = 0; c < plan.columnCount(); ++c)
            writeCell(worksheet, formats, r, c, texts.value(c), state.cell(r, c), path);
    }
    for (int c = 0; c < plan.columnCount(); ++c) {
        if (const auto width = state.widths()[static_cast<size_t>(c)])
            check(worksheet_set_column(worksheet, static_cast<lxw_col_t>(c),
                                       static_cast<lxw_col_t>(c), *width, nullptr),
                  path);
    }
    if (state.restWidth() && plan.columnCount() < LXW_COL_MAX)
        check(worksheet_set_column(worksheet, static_cast<lxw_col_t>(plan.columnCount()),
                                   LXW_COL_MAX - 1, *state.restWidth(), nullptr),
              path);
    check(workbook_close(workbook.release()), path);
}

} // namespace
} // namespace korvane::exporter

// The module's entry point: writes the plan to `file` by name and reads it back, naming
// `shownPath` in its errors. Exceptions stay inside the module; the caller rethrows the message.
extern "C" __attribute__((visibility("default"))) bool
korvaneWriteWorkbook(const korvane::exporter::SheetPlan& plan, const QString& file,
                     const QString& shownPath, QString& error) {
    using namespace korvane::exporter;
    try {
        {
            const CNumberFormat numbers;
            writeTo(plan, file, shownPath);
        }
        const QString problem = workbookProblem(file);
        if (!problem.isEmpty())
            failToCreate(shownPath, problem);
        return true;
    } catch (const korvane::ReportedError& failure) {
        error = failure.message();
        return false;
    }
}

extern "C" __attribute__((visibility("default"))) const char* korvaneXlsxwriterVersion() {
    return lxw_version();
}
