#include "data/busyretry.h"

#include "data/connection.h"
#include "data/table.h"
#include "foundation/msgdlg.h"
#include "foundation/translate.h"

namespace {

bool AskWithDialog(const QString& question)
{
    // The question is translated already.
    return Ask(question, false) == AskFirst;
}

TBusyAsker& DefaultAsker()
{
    static TBusyAsker asker = AskWithDialog;
    return asker;
}

} // namespace

QString BusyQuestion()
{
    return Translate(NL("Tabel in gebruik door andere sessie. Opnieuw proberen?"));
}

void SetDefaultBusyAsker(TBusyAsker asker)
{
    DefaultAsker() = asker ? std::move(asker) : TBusyAsker(AskWithDialog);
}

TBusyAsker DefaultBusyAsker()
{
    return DefaultAsker();
}

bool LockTableWithRetry(TTable& table)
{
    TDatabase* db = table.Database();
    return db && db->Transaction();
}

bool UnlockTable(TTable& table)
{
    TDatabase* db = table.Database();
    if (!db || db->TransactionDepth() == 0)
        return false;
    const bool ok = db->Commit();
    if (!ok)
        table.Refresh();
    return ok;
}

void AbandonTableLock(TTable& table)
{
    TDatabase* db = table.Database();
    if (!db || db->TransactionDepth() == 0)
        return;
    db->Rollback();
    // Rows posted under the lock are gone again.
    table.Refresh();
}
