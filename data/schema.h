#pragma once

#include <QString>

// Data type codes of the field definition files, as SQLite declared types. The declared type
// carries the code and the size, so PRAGMA table_info alone gives both back:
//   1 CHAR(n), 2 SMALLINT, 3 INTEGER, 5 BOOLEAN, 6 FLOAT, 7 MONEY, 9 DATE, 10 TIME,
//   14 AUTOINC, 15 BLOB, 16 MEMO_TEXT(n), 17 GRAPHIC.
// SQLite's affinities: CHAR and MEMO_TEXT text; SMALLINT and INTEGER integer; FLOAT real;
// BOOLEAN, MONEY, DATE, TIME, AUTOINC and GRAPHIC numeric, which keeps 0/1, amounts,
// 'YYYY-MM-DD', 'HH:MM:SS', whole numbers and bytes as they are stored. A memo must not be
// numeric: a plain "MEMO" would turn the note "007" into the number 7, hence MEMO_TEXT.

enum DataTypeCode {
    dtText = 1,
    dtSmallInt = 2,
    dtInteger = 3,
    dtBoolean = 5,
    dtFloat = 6,
    dtMoney = 7,
    dtDate = 9,
    dtTime = 10,
    dtAutoInc = 14,
    dtBlob = 15,
    dtMemo = 16,
    dtGraphic = 17,
};

// The declared type for a data type code; empty for a code no column can have.
QString DeclaredTypeOf(int dataType, int size);

// The data type code of a declared type (0 when it names none), and its size when asked.
// Also reads "MEMO(n)" and the common
// SQL names of tables made elsewhere (TEXT, VARCHAR, REAL, DOUBLE, NUMERIC, INT...).
int DataTypeOfDeclared(const QString& declared, int* size = nullptr);

// True for the data type codes a column can be created with.
bool IsKnownDataType(int dataType);

// Table, column and index names that come from files or users: a letter first, then letters,
// digits, "_" or blanks ("Telephone private"), at most 64 characters, no trailing blank.
// (Stricter than the engine's own check; quoting is the engine's QuoteIdentifier.)
bool IsValidColumnName(const QString& name);
