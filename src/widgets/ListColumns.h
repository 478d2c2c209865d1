#pragma once

#include <QList>
#include <QObject>

#include <vector>

class QTableView;

namespace korvane {

// The column widths of a list view. Each column is at least its design width and wide enough
// for its heading; the first column (the album or file name) takes whatever width the others
// leave in the view. Widths the user drags are kept, and can be stored and restored.
class ListColumns : public QObject {
    Q_OBJECT
public:
    // `designWidths`: one per column, 0 where the design gives the standard width.
    ListColumns(QTableView* view, const std::vector<int>& designWidths);

    // The widths the user dragged the columns to (the first column's without the spare width it
    // takes), 0 for a column the user left as it was.
    QList<int> userWidths() const;
    // User widths stored earlier; a list of another length, or with a width below 0, is ignored.
    // A column is never restored narrower than its heading.
    void restore(const QList<int>& userWidths);
    // The width the view needs to show every column whole, its frame and a vertical scroll bar
    // included.
    int neededViewWidth() const;
    // After a scan: the columns the user has not sized grow to show their values whole.
    void fitToValues();
    // A larger font given to the list: no column cuts its caption, and the columns the user
    // has not sized show their values whole. Widths chosen by hand stay the user's.
    void fitToFont();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void sectionResized(int column, int oldWidth, int newWidth);
    // Lays the widths out, the first column taking the spare width.
    void fit();

    QTableView* m_view;
    // Watched by their addresses only: the filter also sees events while the view is destroyed.
    QWidget* m_viewport = nullptr;
    QWidget* m_headerViewport = nullptr;
    QList<int> m_widths;
    QList<bool> m_userSized;
    bool m_fitting = false;
};

} // namespace korvane
