#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class TDatabase;
class TTable;
class Tdm;

// Where a column change happens: the administration folder, the table, the designer's module
// (2 contact card, 8 product card) and the data module whose data sets read the table.
struct TFieldContext
{
    QString folder;
    QString tableName;
    int module = 2;
    Tdm* dm = nullptr;   // nullptr: Tdm::Instance()

    Tdm* DataModule() const;
    QString DataFolder() const;   // the folder that holds the administration
    // The data module's table on this table name (tabContacts, tabProducts), or nullptr.
    TTable* CurrentTable() const;
};
// The context of a designer module on the data module's administration: Adressen for 2,
// Products for 8.
TFieldContext FieldContextOf(Tdm* dm, int module);

// What the card fills in later: clearing the designer's selection, and freeing the card
// controls bound to a removed column (storing the card afterwards).
struct TFieldDesignHooks
{
    std::function<void()> deselectAll;
    std::function<void(const QString& columnName)> freeCardControls;
};
void SetFieldDesignHooks(TFieldDesignHooks hooks);

// One column as the field tree shows it.
struct TFieldNode
{
    QString columnName;      // as stored
    QString caption;         // the translated column name
    int icon = 6;            // index into the small image list
    int kind = 0;            // the overlay: the card control kind a drop makes
    int dataType = 1;
    int size = 0;
    bool isProtected = false;
    QString typeText;        // translated type name
    int childIcon = 1;       // of the type and size children
    QString indexName;       // empty: no index on exactly this column; "Primary": the primary
};

// Adds the column (and for kind 122 its euro companion name + "E") to the table in the
// administration folder, in one transaction. closeIfCurrent: the data module's data sets on
// the table are closed and read again afterwards. Kind 122 appends the name to
// "C_P_SPRICE.fld", kind 1001 to "C_P_NAME.fld", kind 13 copies install "leeg.txt" to the
// column's ".fld". False, with nothing changed, for a data type that cannot be added, a name
// that is not a valid new column name, or any engine error.
bool AddColumn(const QString& tableName, const QString& columnName, bool closeIfCurrent, const QString& folder,
               int dataType, int size, int kind);

// The designer's "Veld toevoegen" after the dialog: the column with the new-field code's type
// and kind, its definition lines (the companion's too), the ".grw" file deleted. Refusals
// and failures are told to the user; the definition file changes only when the table did.
// Returns the nodes to add to the field tree (empty on failure).
QList<TFieldNode> AddNewField(const TFieldContext& context, const QString& name, int code, int size);

// The dialog's checks for a new name: "Naam bestaat al!" for a column of that name without
// regard to case, "<%s> mag niet gebruikt worden als veldnaam" for an invalid or reserved
// name (the companion name too). A missing "RWSQL.txt" is told and refuses.
bool CheckNewFieldName(const TFieldContext& context, const QString& name, int kind);

// The designer's "Veld verwijderen": refuses with a message when nothing is selected, when an
// index exists on the column (or its companion), or for a fixed or companion column; asks the
// question; on Ja RemoveColumn.
bool RemoveField(const TFieldContext& context, const QString& columnName);

// Drops the column (and for kind 122 its companion name + "E") in one transaction. Only when
// that succeeded: the card controls are freed, the name leaves "C_P_SPRICE.fld" /
// "C_P_NAME.fld", the definition lines go, the ".grw" file is deleted and FILTERSTRING
// emptied. A failure tells "Verwijderen van veld is mislukt..." and changes nothing.
bool RemoveColumn(const TFieldContext& context, const QString& columnName, int kind);

// Changes the declared size of a text or memo column, data kept. A text column holding longer
// values is cut only after the user agreed (Ja); otherwise nothing changes. The definition
// line's size follows.
bool ResizeColumn(const TFieldContext& context, const QString& columnName, int newSize);

// "iAdr" + N (N the column's position) on the column, made the table's current index.
// Returns the index name, empty on failure (told).
QString AddColumnIndex(const TFieldContext& context, const QString& columnName);
// Deletes the column's index. Refused with "Index voor dit veld is actief" while it is the
// table's current index. The indexes of position 1 (both designers) and 5 (module 2) are
// required: they are made again after the user is told. Returns whether an index was deleted.
bool RemoveColumnIndex(const TFieldContext& context, const QString& columnName);

// The field tree's nodes from the definition file (a missing file is told: no nodes).
QList<TFieldNode> FieldNodes(const TFieldContext& context, bool* ok = nullptr);
TFieldNode FieldNodeOf(const QString& columnName, int dataType, int size, bool isProtected, int kind,
                       const QString& indexName = QString());

// The administration's opening check: every ".dat" of the tables that has lines that disagree
// with its table is rewritten from the table, and the user is told which.
void RepairAdministrationDefinitions(TDatabase& database, const QString& administrationFolder);
