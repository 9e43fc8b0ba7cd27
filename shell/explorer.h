#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

#include "data/recorddeletion.h"

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QToolButton;
class QVBoxLayout;
class TAdministration;
class TDataSet;
class TDataSource;
class TDBGridwListX;
class TTable;
class Tdm;

// The record list at the right of the main window (the content of panel_explorer): the
// grid over the current data source, the letter list, the quick-search box and the heading.
// Narrow it shows the sort column only; open (modules 1, 6, 7) it fills the window with
// every listable column, the column chooser and the remembered column set.
//
// The main window creates one, calls SetAdministration when an administration opened and
// BindDataSource from its BindDataSource; it hides its page book while openChanged(true).
class TExplorer : public QWidget
{
    Q_OBJECT
public:
    explicit TExplorer(QWidget* parent = nullptr);
    ~TExplorer() override;

    // The open administration (nullptr when none); installs the record rules' explorer hooks.
    void SetAdministration(TAdministration* administration);
    // The program settings file ("ovra.ini"; default: the home folder's).
    void SetProgramSettings(const QString& ovraIni);
    // Lists and selections; empty hooks: no list active.
    void SetListHooks(const TListHooks& hooks) { m_lists = hooks; }
    const TListHooks& ListHooks() const { return m_lists; }
    // Binds the grid to the module's data source (tabContacts, tabProducts, TabFact) and
    // returns the explorer to narrow (RefreshExplorer). Other modules: pass nullptr.
    void BindDataSource(TDataSource* source, int module);
    int Module() const { return m_module; }
    TDataSet* DataSet() const;

    // The counts of contacts and products the heading shows.
    TRecordCounts& Counts() { return m_counts; }

    void RefreshExplorer();
    bool CanOpen() const { return m_module == 1 || m_module == 6 || m_module == 7; }
    void OpenExplorer();
    void CloseExplorer();
    void ToggleExplorer();
    bool IsOpen() const;
    void SortExplorerBy(const QString& columnName);
    // The heading button: picks the sort column from the column pick list. Whether one was chosen.
    bool ChooseSortColumn();
    void UpdateLetterList(bool flag = false);
    void UpdateHeading();
    // The card caption the main window made (UpdateCardCaption); the open explorer repeats it.
    void SetCardCaption(const QString& caption);
    QString HeadingText() const;

    // Ctrl+N ("%s toevoegen"): available in modules 1 and 6 and for templates in module 7.
    bool CanAdd() const;
    bool AddRecord();
    // Ctrl+Del ("%s verwijderen"): the number of records deleted.
    int DeleteRecords();
    // Ctrl+A and "Selectie opheffen".
    void SelectAll();
    void ClearSelection();
    bool AllSelected() const;
    bool CanSelectAll() const;
    bool CanClearSelection() const;

    // The sort column of the narrow explorer (a field name).
    QString SortField() const { return m_sortField; }
    // Whether the quick-search panel is at the bottom.
    bool SearchPanelAtBottom() const { return m_searchAtBottom; }
    void MoveSearchPanel();
    // The width of the narrow explorer, docked right.
    static constexpr int kNarrowWidth = 194;

    TDBGridwListX* Grid() const { return m_grid; }
    QListWidget* LetterList() const { return m_letters; }
    QListWidget* ColumnChooser() const { return m_chooser; }
    QLineEdit* SearchBox() const { return m_search; }
    QLabel* SearchCaption() const { return m_searchCaption; }
    QToolButton* HeadingButton() const { return m_headButton; }
    QToolButton* FieldsButton() const { return m_fieldsButton; }
    QFrame* SearchPanel() const { return m_searchPanel; }

    // Work of other windows: focusing the card's first control after adding, saving a
    // document being edited, the document kind shown (module 7), removing the record from the
    // active selection (Delete), the list membership dialog (F2). Empty: nothing.
    std::function<void()> focusFirstCard;
    std::function<void()> saveEditedDocument;
    std::function<int()> documentKind;
    std::function<void()> removeFromSelection;
    std::function<void()> showMembership;

Q_SIGNALS:
    // The main window hides its page book while the explorer is open.
    void openChanged(bool open);
    // All-records-selected mode or the marked rows changed (menu states).
    void selectionChanged();
    void headingChanged(const QString& text);
    // A cell was clicked (the main window posts pending card edits).
    void cellClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Tdm* Dm() const;
    TTable* Table() const;
    void SetNarrowColumn(const QString& field);
    void LetterClicked(QListWidgetItem* item);
    void FollowLetter();
    void SelectLetter(const QString& letter);
    void SearchEdited(const QString& text);
    void SearchEnter();
    void ColumnEntered(const QString& field);
    void ChooserChanged(QListWidgetItem* item);
    void FillFieldList();
    void LeaveAllSelected();
    void UpdateSearchCaption();
    void SaveColumnSet();
    QString ColumnSetFile() const;
    QString Ovra() const;
    TDeletion MakeDeletion();
    int DeleteMarkedOrAll(const TDeleteRequest& request);
    QPixmap CellPicture(const class QModelIndex& index);
    class QMimeData* DragRecords();

    QPointer<TDataSource> m_source;
    TAdministration* m_admin = nullptr;
    QString m_ovraIni;
    TListHooks m_lists;
    TRecordCounts m_counts;
    int m_module = 0;
    QString m_sortField;
    QString m_cardCaption;
    bool m_searchAtBottom = true;
    bool m_busy = false;

    QVBoxLayout* m_layout = nullptr;
    QFrame* m_headPanel = nullptr;
    QToolButton* m_headButton = nullptr;
    QLabel* m_headLabel = nullptr;
    QToolButton* m_fieldsButton = nullptr;
    QToolButton* m_selectAllButton = nullptr;
    QListWidget* m_chooser = nullptr;
    TDBGridwListX* m_grid = nullptr;
    QFrame* m_bevel = nullptr;
    QListWidget* m_letters = nullptr;
    QFrame* m_searchPanel = nullptr;
    QLabel* m_searchCaption = nullptr;
    QLineEdit* m_search = nullptr;
    QList<QPixmap> m_icons;
    bool m_iconsRead = false;
};
