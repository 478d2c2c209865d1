#include "catalogue/ListHistory.h"

#include <numeric>

namespace korvane {

ListHistory::Step ListHistory::stepOf(const CatalogueList& list) {
    return {list.rows(), list.leftOut()};
}

void ListHistory::restore(CatalogueList& list, Step step) {
    list.resetRows(std::move(step.rows));
    list.setLeftOut(std::move(step.leftOut));
}

void ListHistory::record(const CatalogueList& list) {
    m_undo.push_back(stepOf(list));
    m_redo.clear();
    keepWithinBudget();
}

bool ListHistory::undo(CatalogueList& list) {
    if (m_undo.empty())
        return false;
    m_redo.push_back(stepOf(list));
    restore(list, std::move(m_undo.back()));
    m_undo.pop_back();
    return true;
}

bool ListHistory::redo(CatalogueList& list) {
    if (m_redo.empty())
        return false;
    m_undo.push_back(stepOf(list));
    restore(list, std::move(m_redo.back()));
    m_redo.pop_back();
    keepWithinBudget();
    return true;
}

void ListHistory::clear() {
    m_undo.clear();
    m_redo.clear();
}

void ListHistory::keepWithinBudget() {
    const auto rowsKept = [this] {
        return std::accumulate(
            m_undo.begin(), m_undo.end(), std::size_t{0},
            [](std::size_t sum, const Step& step) { return sum + step.rows.size(); });
    };
    while (m_undo.size() > 1 &&
           (m_undo.size() > static_cast<std::size_t>(kStepLimit) || rowsKept() > kRowBudget))
        m_undo.pop_front();
}

} // namespace korvane
