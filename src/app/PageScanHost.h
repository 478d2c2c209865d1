#pragma once

#include "jobs/Job.h"
#include "session/CatalogueSession.h"

namespace korvane {

class ListPage;

// A scan's view of its page, on the scan's thread, for the music and the video scan alike: rows go
// to the list in batches, the progress at most every few dozen milliseconds, the rest as it comes;
// all of it through the page's job to the window's thread, in order.
class PageScanHost final : public ScanHost {
public:
    explicit PageScanHost(ListPage& page);

    void addRow(CatalogueRow row) override;
    void setStatusText(const QString& text) override;
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override { m_position = position; }
    // The long phase after the folder walk.
    void albumPhaseBegan() override { phaseBegan(); }
    void filePhaseBegan() override { phaseBegan(); }
    void stopHonoured() override;
    // The rows still held back, at the end of the run.
    void flush() { m_rows.flush(); }

private:
    void phaseBegan();

    ListPage& m_page;
    Job& m_job;
    Batches<CatalogueRow> m_rows;
    Throttle m_progress;
    int m_position = 0;
};

} // namespace korvane
