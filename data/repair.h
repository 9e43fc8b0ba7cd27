#pragma once

#include <QString>
#include <QStringList>

struct RepairReport
{
    QStringList actions;   // translated lines telling the user what was checked and done
    bool damageFound = false;
    bool allRepaired = true;
};

// The repair after an unclean exit, run before any table is opened. Checks admin.sqlite of
// each named administration under dataFolder and the data folder's shared.sqlite: opens each
// (a hot WAL is recovered by SQLite itself), runs PRAGMA integrity_check; on damage REINDEX,
// and when that is not enough rebuilds the database from every row that can still be read
// into a new file which replaces the old one atomically, the damaged file being kept beside it
// under a dated name. Never deletes a file, -wal/-shm/-journal included. A missing file is
// reported, not created.
RepairReport CheckAndRepair(const QString& dataFolder, const QStringList& administrations);
