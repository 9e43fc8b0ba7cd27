#pragma once

#include <QString>

#include <functional>

class TTable;

// Asked when the database stays busy after the busy timeout, i.e. another session holds the
// write lock. Gets the (translated) question; true means "try again".
using TBusyAsker = std::function<bool(const QString& question)>;

// The question "Tabel in gebruik door andere sessie. Opnieuw proberen?", translated.
QString BusyQuestion();

// The asker a database uses when it has none of its own. The default shows the question with
// Ja/Nee (Ask of foundation/msgdlg.h). Tests and tools install their own.
void SetDefaultBusyAsker(TBusyAsker asker);
TBusyAsker DefaultBusyAsker();

// Takes the write lock for a bulk update of the table: an immediate transaction on the
// table's connection, held until UnlockTable. When another session holds the lock the busy
// question is asked: Ja tries again, Nee returns false (nothing was started). Posts and
// deletes made while the lock is held become part of it.
bool LockTableWithRetry(TTable& table);
// Commits the work done under the lock; false when the commit failed (then rolled back).
bool UnlockTable(TTable& table);
// Drops the lock and everything written under it.
void AbandonTableLock(TTable& table);
