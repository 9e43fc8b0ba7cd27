#pragma once

#include <QString>

class TDatabase;
class TTable;

// The identifier and number counters kept in the administration's "admin.ini".
//
// Counters are read and written while the post or delete that uses them holds the database's
// write lock (its immediate transaction), so two programs working in the same administration
// take turns: neither can read a counter the other is about to advance. A write made inside a
// transaction is undone when that transaction is rolled back, so a failed post uses up nothing.

// Writes key = value; inside a transaction of db, the old line (or its absence) comes back
// when the transaction is rolled back. False when the file cannot be written.
bool WriteCounterSetting(TDatabase* db, const QString& adminIni, const QString& key, const QString& value);

// The admin.ini key of a table's identifier counter: the table's name + "ID" ("AdressenID",
// "factuurID"); the shared tables keep their old file names ("Calendar.dbID", "profiles.dbID").
QString CounterKey(const TTable& table);

// The next identifier of the table (open, first column the identifier): MAX(first column) + 1
// (1 for an empty table), or the stored counter + 1 when useCounter and the counter is at
// least that high, so the identifier of a deleted newest record is not handed out again.
// 0 with the reason when the table cannot be read.
qint64 NextRecordId(TTable& table, bool useCounter, const QString& adminIni, QString* error = nullptr);

// Stores the identifier as the table's counter (inside the table's transaction when one is open).
bool StoreCounter(TTable& table, qint64 id, const QString& adminIni);
