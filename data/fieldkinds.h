#pragma once

#include <QList>
#include <QString>

// Field kinds: what a column means to the card and the rest of the user interface. Stored as
// field 5 of a field definition line.
enum FieldKind {
    fkFixed = 0,
    fkNotes = 1,
    fkText = 2,
    fkYesNo = 4,
    fkPicture = 6,
    fkExternalPicture = 10,
    fkDate = 11,
    fkTime = 12,
    fkList = 13,
    fkList2 = 14,
    fkPlainText = 16,
    fkIcon = 80,
    fkTelephone = 101,
    fkGsm = 102,
    fkFax = 103,
    fkEmail = 104,
    fkWeb = 105,
    fkOldDate = 106,
    fkVatNumber = 107,
    fkCreditCard = 108,
    fkBankAccount = 109,
    fkNumber = 110,
    fkPlace = 112,
    fkPrice = 122,
    fkEuroCompanion = 123,
    fkProductDescription = 1001,
};

// Icon indexes of the small image list ("bmp/ILsmall.bmp") the field tree uses besides the
// kinds' own: a type or size child, a companion's, a fixed column's, an index's.
constexpr int kTreeIconChild = 1;
constexpr int kTreeIconCompanion = 0;
constexpr int kTreeIconFixed = 2;
constexpr int kTreeIconIndex = 24;

// The tree icon of a column: the kind's own, else the data type's.
int TreeIconOfKind(int kind, int dataType);
int TreeIconOfDataType(int dataType);

// The translated name of a column's type as the field tree shows it.
QString TypeDisplayName(int dataType, int kind);

// Whether the size of a column of this data type is stored (text and memo); 0 for the others.
int StoredSize(int dataType, int size);

// The SQL type a new column of this data type gets; empty for the types that cannot be added.
QString NewColumnSqlType(int dataType, int size);

// A choice of the new-field dialog: its code (also its icon), the Dutch text shown, and what
// the code makes.
enum class SizeBoxState { Enabled, Disabled, Fixed };
struct NewFieldChoice
{
    int code = 0;
    QString text;        // Dutch; the dialog translates it
    int dataType = 1;
    int kind = 0;
    SizeBoxState sizeBox = SizeBoxState::Disabled;
    int size = 0;        // the size the box shows when the choice is made (Enabled, Fixed)
};

// The data type, kind and size box of a code; other codes give text of kind 0.
NewFieldChoice NewFieldChoiceOfCode(int code);
// The dialog's choices in their order; the product choices only in the product card
// designer (module 8).
QList<NewFieldChoice> NewFieldChoices(int module);
