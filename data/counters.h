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
//
// Identifier counters are kept in the administration's database itself (table Counters), so
// the counter is stored in the same commit as the record: a killed program can never leave
// one without the other, and a post costs no rewrite of admin.ini. admin.ini keeps the key for
// other readers: it is brought up to date shortly after the commit (coalesced, so a bulk
// import rewrites it a few times a second, not once per record), when the database closes and
// by FlushCounterMirrors. The counter in force is the higher of the two, so a key raised by
// hand in admin.ini is honoured and a copy that lags behind (a program killed before it wrote
// it) hands out nothing twice.

// Writes key = value; inside a transaction of db, the old line (or its absence) comes back
// when the transaction is rolled back. False when the file cannot be written.
bool WriteCounterSetting(TDatabase* db, const QString& adminIni, const QString& key, const QString& value);

// Counters that stay in admin.ini (the document numbers, which the settings dialog and the
// import set): the value within db's open transaction, i.e. what an earlier step of it set,
// else the file's.
int ReadCounterSetting(TDatabase* db, const QString& adminIni, const QString& key, int defaultValue);
// Sets such a counter within db's transaction. admin.ini is written once the transaction has
// committed, under the database's write lock and only when the key still holds what this
// transaction first read (another program that moved it meanwhile keeps its value), so a
// killed or failed post leaves the file as it was. Outside a transaction, written at once.
bool SetCounterSetting(TDatabase* db, const QString& adminIni, const QString& key, int value);

// The admin.ini key of a table's identifier counter: the table's name + "ID" ("AdressenID",
// "factuurID"); the shared tables keep their old file names ("Calendar.dbID", "profiles.dbID").
QString CounterKey(const TTable& table);

// The next identifier of the table (open, first column the identifier): MAX(first column) + 1
// (1 for an empty table), or the stored counter + 1 when useCounter and the counter is at
// least that high, so the identifier of a deleted newest record is not handed out again.
// 0 with the reason when the table cannot be read.
qint64 NextRecordId(TTable& table, bool useCounter, const QString& adminIni, QString* error = nullptr);

// Stores the identifier as the table's counter (inside the table's transaction when one is open)
// and has admin.ini follow once it is committed.
bool StoreCounter(TTable& table, qint64 id, const QString& adminIni);

// The stored identifier counter of the key (0 when there is none), admin.ini not included.
qint64 StoredCounter(TDatabase* db, const QString& key);

// Writes the admin.ini copies of committed counters that are still pending (all files, or only
// adminIni's); a key already higher in the file is left alone.
void FlushCounterMirrors(const QString& adminIni = QString());
