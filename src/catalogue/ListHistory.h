#pragma once

#include "catalogue/CatalogueList.h"

#include <deque>
#include <vector>

namespace korvane {

// Undo and redo for one list: the rows (and the albums left out) as they were before each
// command that changed them by hand (delete, clear, edit, fill, sort). Rows share their texts,
// so a step costs the row values, not their texts; the oldest steps go first past a budget of
// rows kept. A scan or an update starts the history afresh.
class ListHistory {
public:
    // At most this many steps, and this many rows over all steps (the latest step always stays).
    static constexpr int kStepLimit = 30;
    static constexpr std::size_t kRowBudget = 2'000'000;

    // Before a command changes list: what to go back to. Forgets what could be redone.
    void record(const CatalogueList& list);
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    // Puts list back as it was before the last recorded command; false when there is none.
    bool undo(CatalogueList& list);
    // Carries out again what the last undo took back; false when there is none.
    bool redo(CatalogueList& list);
    void clear();

private:
    struct Step {
        std::vector<CatalogueRow> rows;
        std::vector<RowOrigin> leftOut;
    };
    static Step stepOf(const CatalogueList& list);
    static void restore(CatalogueList& list, Step step);
    void keepWithinBudget();

    std::deque<Step> m_undo; // the latest last
    std::vector<Step> m_redo;
};

} // namespace korvane
