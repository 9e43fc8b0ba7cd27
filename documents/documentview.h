#pragma once

#include <QString>

// What the document engine tells the grid that shows the lines and the totals labels. The
// grid maps line fields to its own columns; lines are numbered from 0 here.
class DocumentView
{
public:
    virtual ~DocumentView() = default;

    // The grid shows `count` line rows (at least one).
    virtual void SetLineCount(int count) = 0;
    virtual void SetCellText(int line, int field, const QString& text) = 0;
    // The caption of the column showing a field ("3|EUR", "9|EURi").
    virtual void SetFieldCaption(int field, const QString& caption) = 0;
    virtual void SetEditable(bool editable) = 0;
    // No document to show: the grid is disabled and its first cell shows the text.
    virtual void ShowNoDocument(const QString& text) = 0;
    // The two-line totals label and the summary label.
    virtual void SetTotalsText(const QString& text) = 0;
    virtual void SetSummaryText(const QString& text) = 0;
    // Moves the current cell to the line; to the first column when asked, else the column
    // stays.
    virtual void SetCurrentLine(int line, bool firstColumn) = 0;
    // Text typed into the cell editor that the engine has not been given yet.
    virtual bool PendingCellEdit(int* line, int* field, QString* text) const = 0;
    virtual void CloseCellEditor() = 0;
};
