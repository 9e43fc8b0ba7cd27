// poster <program folder> <administration> <rounds>
// One of the programs of the two-programs test. Opens the administration as the program does,
// waits for a line on its standard input, then per round stores a new contact and a new
// invoice. Every fourth round first tries a contact and an invoice that the test's triggers
// refuse; every third round deletes the contact it just stored. Prints what it was handed, one
// flushed line each: "C <id>" (a stored contact), "D <id>" (that contact deleted again),
// "F <id> <number>" (a stored invoice), "X <what>" for a post refused as expected.

#include <QCoreApplication>
#include <QDir>
#include <QThread>

#include <cstdio>
#include <iostream>
#include <string>

#include "data/administration.h"
#include "data/busyretry.h"
#include "data/dm.h"
#include "data/table.h"
#include "foundation/homefolder.h"

namespace {

void Say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

bool PostContact(TTable& contacts, const QString& name)
{
    if (!contacts.Append())
        return false;
    contacts.FieldByName(QStringLiteral("Name"))->SetValue(name);
    if (contacts.Post())
        return true;
    contacts.Cancel();
    return false;
}

bool PostInvoice(TTable& documents, const QString& free)
{
    if (!documents.Append())
        return false;
    documents.FieldByName(QStringLiteral("F_TYPE"))->SetValue(1);
    documents.FieldByName(QStringLiteral("F_CID"))->SetValue(1);
    documents.FieldByName(QStringLiteral("F_FREE"))->SetValue(free);
    if (documents.Post())
        return true;
    documents.Cancel();
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4)
        return 2;
    // The other program holds the write lock only briefly: always wait for it.
    SetDefaultBusyAsker([](const QString&) { return true; });
    SetProgramFolder(QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + QStringLiteral("/"));
    const QString name = QString::fromLocal8Bit(argv[2]);
    const int rounds = std::atoi(argv[3]);
    Tdm dm;
    TAdministration admin(DataFolder() + name, name, &dm);
    if (admin.Status() != asOpen) {
        std::fprintf(stderr, "poster: %s\n", qPrintable(admin.StatusReason()));
        return 1;
    }
    TTable& contacts = *dm.tabContacts;
    TTable& documents = *dm.TabFact;
    Say(QStringLiteral("ready"));
    std::string go;
    std::getline(std::cin, go);

    for (int round = 1; round <= rounds; ++round) {
        if (round % 4 == 0) {
            if (PostContact(contacts, QStringLiteral("refuse")))
                return 3;
            Say(QStringLiteral("X contact"));
            if (PostInvoice(documents, QStringLiteral("refuse")))
                return 3;
            Say(QStringLiteral("X invoice"));
        }
        if (!PostContact(contacts, QStringLiteral("poster %1").arg(round))) {
            std::fprintf(stderr, "poster: contact: %s\n", qPrintable(contacts.LastError()));
            return 1;
        }
        const qint64 id = contacts.Field(0)->AsLargeInt();
        Say(QStringLiteral("C %1").arg(id));
        if (round % 3 == 0) {
            if (!contacts.Delete()) {
                std::fprintf(stderr, "poster: delete: %s\n", qPrintable(contacts.LastError()));
                return 1;
            }
            Say(QStringLiteral("D %1").arg(id));
        }
        if (!PostInvoice(documents, QStringLiteral("round %1").arg(round))) {
            std::fprintf(stderr, "poster: invoice: %s\n", qPrintable(documents.LastError()));
            return 1;
        }
        Say(QStringLiteral("F %1 %2").arg(documents.FieldByName(QStringLiteral("F_ID"))->AsLargeInt())
                .arg(documents.FieldByName(QStringLiteral("F_FACNR"))->AsString()));
        // A moment between rounds, as between a user's posts: SQLite's busy wait is not fair,
        // a program that never pauses would keep the other one out until it is done.
        QThread::msleep(3);
    }
    Say(QStringLiteral("done"));
    return 0;
}
