#pragma once

#include "bases/BaseFile.h"
#include "files/ReportedError.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

namespace korvane {
class CatalogueList;
struct CatalogueRow;
} // namespace korvane

// The fill run behind the four "Заполнить ..." commands: read a base, then set the Style or
// Country cell of the music list's rows from it. Long, so it reports after every line read and
// every row processed, and looks at a stop token as often; it works on a copy of the rows, so
// that it can run on a worker thread.
namespace korvane::bases {

enum class FillMode {
    OnlyMissing, // only rows whose target cell is exactly "-"
    All,         // every row, category header rows included
};

// Reading and Filling are the two phases; Stopped is a stop while reading (nothing filled), Failed
// a base that could not be read (nothing filled). A stop while filling ends in Done.
enum class FillState { Idle, Reading, Filling, Done, Stopped, Failed };

struct FillRequest {
    BaseKind kind = BaseKind::GenreBase;
    FillMode mode = FillMode::OnlyMissing;
    QString basePath;
    QString separator; // the group/album separator of the captions
};

class BaseFill {
public:
    // Called on the run's thread after every line read and every row processed (and once before
    // "ОК"); the getters tell where the run is.
    using Report = std::function<void()>;
    // A cell the fill sets: the row's index and the text.
    struct Change {
        int row;
        QString text;
    };

    // Runs the whole fill over rows: reading with progress over the base's lines, then filling
    // with progress over the rows; the cells to set go to changes, in row order. A stop while
    // reading sets nothing; while filling, the rows before it keep their values.
    void run(const FillRequest& request, const std::vector<CatalogueRow>& rows,
             std::vector<Change>& changes, const std::stop_token& stop = {},
             const Report& report = {});
    // The same on a list, on one thread: its rows, then the changes applied.
    void run(const FillRequest& request, CatalogueList& list, const std::stop_token& stop = {},
             const Report& report = {});
    // Sets the target cell of the base kind in each changed row.
    static void apply(CatalogueList& list, BaseKind kind, const std::vector<Change>& changes);
    // Whether apply would give any cell another text.
    static bool alters(const CatalogueList& list, BaseKind kind,
                       const std::vector<Change>& changes);

    FillState state() const { return m_state; }
    // "Чтение базы...", "Заполнение жанров..." (for both bases) or "ОК".
    const QString& label() const { return m_label; }
    int64_t progressMaximum() const { return m_progressMaximum; }
    int64_t progressPosition() const { return m_progressPosition; }
    // "Cannot open file \"<path>\". <reason>" when the base could not be read.
    QString error() const;
    // Why the base could not be read.
    const std::optional<FileProblem>& problem() const { return m_problem; }

private:
    bool readBase(const FillRequest& request, BaseTable& table, const std::stop_token& stop,
                  const Report& report);
    void fill(const FillRequest& request, const BaseTable& table,
              const std::vector<CatalogueRow>& rows, std::vector<Change>& changes,
              const std::stop_token& stop, const Report& report);

    FillState m_state = FillState::Idle;
    QString m_label;
    int64_t m_progressMaximum = 0;
    int64_t m_progressPosition = 0;
    std::optional<FileProblem> m_problem;
};

} // namespace korvane::bases
