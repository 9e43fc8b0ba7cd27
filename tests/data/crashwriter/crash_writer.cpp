// crash_writer <admin.sqlite> <shared.sqlite>
// Writes batches through the engine until it is killed: each batch is one transaction that
// appends an order, its lines and adds the line count to the running total. The crash test
// kills it at a random moment and checks that every batch is whole or absent.

#include <QCoreApplication>

#include <cstdio>

#include "data/busyretry.h"
#include "data/connection.h"
#include "data/table.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    SetDefaultBusyAsker([](const QString&) { return true; });
    QString error;
    std::unique_ptr<TDatabase> db = TDatabase::Open(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]), &error);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    TTable orders;
    orders.SetDatabase(db.get());
    orders.SetTableName(QStringLiteral("Orders"));
    TTable lines;
    lines.SetDatabase(db.get());
    lines.SetTableName(QStringLiteral("Lines"));
    lines.SetIndexName(QStringLiteral("iAdr2"));
    if (!orders.Open() || !lines.Open())
        return 1;
    qint64 batch = db->Scalar(QStringLiteral("SELECT coalesce(max(id), 0) FROM Orders")).toLongLong();
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        ++batch;
        const int count = 50 + int(batch % 150);
        if (!db->Transaction())
            return 1;
        orders.Append();
        orders.FieldByName(QStringLiteral("id"))->SetValue(batch);
        orders.FieldByName(QStringLiteral("lines"))->SetValue(count);
        if (!orders.Post())
            return 1;
        for (int i = 0; i < count; ++i) {
            lines.Append();
            lines.FieldByName(QStringLiteral("batch"))->SetValue(batch);
            lines.FieldByName(QStringLiteral("text"))->SetValue(
                QStringLiteral("Élodie O'Brien %1-%2 %").arg(batch).arg(i));
            if (!lines.Post())
                return 1;
        }
        if (!db->Exec(QStringLiteral("UPDATE Totals SET total = total + ?"), {count}) || !db->Commit())
            return 1;
    }
}
