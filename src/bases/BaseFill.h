#pragma once

#include "bases/BaseFile.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace korvane {
class CatalogueList;
}

// The fill run behind the four "Заполнить ..." commands: read a base, then set the Style or
// Country cell of the music list's rows from it. Long, so it runs a pump callback after every line
// read and every row processed; the pump may request a stop.
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
    using Pump = std::function<void()>;

    // Runs the whole fill on `list`: reading with progress over the base's lines, then filling
    // with progress over the rows. Rows filled before a stop keep their values.
    void run(const FillRequest& request, CatalogueList& list, const Pump& pump);
    // The stop request; the run tests it after each pump.
    void stop() { m_stopRequested = true; }

    FillState state() const { return m_state; }
    // "Чтение базы...", "Заполнение жанров..." (for both bases) or "ОК".
    const QString& label() const { return m_label; }
    int64_t progressMaximum() const { return m_progressMaximum; }
    int64_t progressPosition() const { return m_progressPosition; }
    // "Cannot open file \"<path>\". <reason>" when the base could not be read.
    const QString& error() const { return m_error; }

private:
    bool readBase(const FillRequest& request, BaseTable& table, const Pump& pump);
    void fill(const FillRequest& request, const BaseTable& table, CatalogueList& list,
              const Pump& pump);

    FillState m_state = FillState::Idle;
    QString m_label;
    int64_t m_progressMaximum = 0;
    int64_t m_progressPosition = 0;
    QString m_error;
    bool m_stopRequested = false;
};

} // namespace korvane::bases
