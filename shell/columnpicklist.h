#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QWidget>

class QEventLoop;
class QTreeWidget;
class QTreeWidgetItem;

// One entry of a pick list.
struct TPickEntry
{
    QString text;
    QString detail;          // the second column
    bool underlined = false; // indexed columns
    QVariant data;
};

// The borderless pick list under the explorer (sort column, found documents). It captures the
// mouse while shown: a click on an entry picks it, a click outside or Esc cancels; Enter picks
// the current entry.
class TfrmList : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmList(QWidget* parent = nullptr);
    ~TfrmList() override;

    void SetEntries(const QList<TPickEntry>& entries);
    QList<TPickEntry> Entries() const { return m_entries; }
    // Shows the list with its top-left corner at the point (global), the given width and a
    // height of entries x (item height + 3), at most maxHeight; waits for the user. The index
    // of the entry picked, -1 when cancelled.
    int Pick(const QPoint& topLeft, int width, int maxHeight = 300);
    QTreeWidget* List() const { return m_list; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Choose(QTreeWidgetItem* item);

    QTreeWidget* m_list = nullptr;
    QList<TPickEntry> m_entries;
    QEventLoop* m_loop = nullptr;
    int m_picked = -1;
};

// The entries of the sort-column pick list: every column of the data set except memo and
// picture columns and "LISTS", "INLIST", "F_VATCOEF", "F_TYPE"; a column with a
// case-insensitive index of its own is underlined. data: the field name.
class TTable;
QList<TPickEntry> SortColumnEntries(TTable& table);
