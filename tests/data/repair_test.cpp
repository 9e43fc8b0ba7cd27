#include "newadmin_fixture.h"

#include "data/administration.h"
#include "data/collation.h"
#include "data/dm.h"
#include "data/repair.h"
#include "data/sampledata.h"
#include "foundation/translate.h"

#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <map>

namespace {

// Path -> content of every file under the folder.
std::map<QString, QByteArray> Snapshot(const QString& folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            files[path] = f.readAll();
    }
    return files;
}

QStringList Names(const std::map<QString, QByteArray>& files)
{
    QStringList names;
    for (const auto& [path, bytes] : files)
        names.append(path);
    return names;
}

struct Raw
{
    sqlite3* db = nullptr;
    explicit Raw(const QString& file)
    {
        EXPECT_EQ(sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        RegisterQuillonCollation(db);
    }
    ~Raw() { sqlite3_close_v2(db); }
    bool Exec(const char* sql)
    {
        char* message = nullptr;
        const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK;
        if (!ok)
            ADD_FAILURE() << sql << ": " << (message ? message : "");
        sqlite3_free(message);
        return ok;
    }
    QList<qint64> Column(const char* sql)
    {
        QList<qint64> values;
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
            return values;
        }
        while (sqlite3_step(s) == SQLITE_ROW)
            values.append(sqlite3_column_int64(s, 0));
        sqlite3_finalize(s);
        return values;
    }
    QString Integrity()
    {
        sqlite3_stmt* s = nullptr;
        QString result;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
            result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        sqlite3_finalize(s);
        return result;
    }
};

// A collation that sorts the other way round: rows written under it end up in the wrong
// place of every QCI index.
int Reversed(void*, int la, const void* a, int lb, const void* b)
{
    const int n = std::min(la, lb);
    const int c = memcmp(a, b, size_t(n));
    return c != 0 ? -c : lb - la;
}

void Garble(const QString& file, qint64 page, int pageSize)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek((page - 1) * pageSize));
    QByteArray garbage(pageSize, '\0');
    QRandomGenerator random{quint32(page)};
    for (char& c : garbage)
        c = char(random.bounded(256));
    ASSERT_EQ(f.write(garbage), pageSize);
}

} // namespace

class RepairTest : public HomeFixture
{
protected:
    // An administration large enough that its contacts fill many pages.
    void MakeFilled(const QString& name)
    {
        ASSERT_NO_FATAL_FAILURE(Create(name));
        auto db = Open(name);
        ASSERT_TRUE(db);
        QString error;
        ASSERT_TRUE(FillSampleData(*db, Folder(name), SampleSize{3000, 200, 100, 500, 20}, &error)) << error.toStdString();
    }
    QString AdminFile(const QString& name) const { return Folder(name) + QStringLiteral("admin.sqlite"); }
};

TEST_F(RepairTest, SoundDatabasesAreLeftAsTheyAre)
{
    Create(QStringLiteral("Schoon"), true);
    const auto before = Snapshot(home);
    const RepairReport report = CheckAndRepair(DataFolder(), {QStringLiteral("Schoon")});
    EXPECT_FALSE(report.damageFound);
    EXPECT_TRUE(report.allRepaired);
    EXPECT_EQ(report.actions, (QStringList{QStringLiteral("Schoon/admin.sqlite: in orde."), QStringLiteral("shared.sqlite: in orde."),
                                           QStringLiteral("Niets te herstellen.")}));
    const auto after = Snapshot(home);
    EXPECT_EQ(Names(after), Names(before));
    EXPECT_TRUE(after == before) << "a sound database was changed";
}

TEST_F(RepairTest, ABrokenIndexIsRebuiltInPlace)
{
    Create(QStringLiteral("Index"), true);
    const QString file = AdminFile(QStringLiteral("Index"));
    {
        Raw raw(file);
        sqlite3_create_collation(raw.db, "QCI", SQLITE_UTF8, nullptr, Reversed);
        raw.Exec("INSERT INTO Adressen (nummer, Name, ComName, Place) "
                 "SELECT nummer + 1000, 'x' || Name, 'Z' || ComName, 'Y' || Place FROM Adressen");
    }
    {
        Raw raw(file);
        ASSERT_NE(raw.Integrity(), QStringLiteral("ok"));
    }
    const RepairReport report = CheckAndRepair(DataFolder(), {QStringLiteral("Index")});
    EXPECT_TRUE(report.damageFound);
    EXPECT_TRUE(report.allRepaired);
    EXPECT_TRUE(report.actions.contains(
        QStringLiteral("Index/admin.sqlite: de indexen zijn opnieuw opgebouwd; het bestand is weer in orde.")))
        << report.actions.join(u'\n').toStdString();
    Raw raw(file);
    EXPECT_EQ(raw.Integrity(), QStringLiteral("ok"));
    EXPECT_EQ(raw.Column("SELECT COUNT(*) FROM Adressen"), QList<qint64>{2 * DemoSampleSize().contacts});
    // Nothing was set aside: the file itself was sound.
    QStringList kept = QDir(Folder(QStringLiteral("Index"))).entryList({QStringLiteral("*damaged*")});
    EXPECT_TRUE(kept.isEmpty());
}

TEST_F(RepairTest, DamagedPagesAreRebuiltFromEveryReadableRow)
{
    ASSERT_NO_FATAL_FAILURE(MakeFilled(QStringLiteral("Schade")));
    const QString file = AdminFile(QStringLiteral("Schade"));
    QList<qint64> leaves;
    qint64 contacts = 0, products = 0, documents = 0, lines = 0, indexes = 0;
    int pageSize = 0;
    {
        Raw raw(file);
        leaves = raw.Column("SELECT pageno FROM dbstat WHERE name = 'Adressen' AND pagetype = 'leaf' ORDER BY pageno");
        contacts = raw.Column("SELECT COUNT(*) FROM Adressen").value(0);
        products = raw.Column("SELECT COUNT(*) FROM Products").value(0);
        documents = raw.Column("SELECT COUNT(*) FROM factuur").value(0);
        lines = raw.Column("SELECT COUNT(*) FROM faclijn").value(0);
        indexes = raw.Column("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index'").value(0);
        pageSize = int(raw.Column("PRAGMA page_size").value(0));
    }
    ASSERT_GT(leaves.size(), 20);
    ASSERT_EQ(contacts, 3000);
    Garble(file, leaves.at(leaves.size() / 3), pageSize);
    Garble(file, leaves.at(2 * leaves.size() / 3), pageSize);
    QByteArray damaged;
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        damaged = f.readAll();
    }
    const QStringList before = Names(Snapshot(home));

    const RepairReport report = CheckAndRepair(DataFolder(), {QStringLiteral("Schade")});
    const std::string actions = report.actions.join(u'\n').toStdString();
    EXPECT_TRUE(report.damageFound) << actions;
    EXPECT_TRUE(report.allRepaired) << actions;
    EXPECT_TRUE(report.actions.contains(QStringLiteral("Tabel Adressen: niet alle rijen konden gelezen worden."))) << actions;

    // The damaged file is kept, byte for byte, beside the rebuilt one; no file went.
    const QStringList kept = QDir(Folder(QStringLiteral("Schade"))).entryList({QStringLiteral("admin.sqlite.damaged-*")});
    ASSERT_EQ(kept.size(), 1) << actions;
    {
        QFile f(Folder(QStringLiteral("Schade")) + kept.first());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll() == damaged);
    }
    const QStringList after = Names(Snapshot(home));
    for (const QString& name : before)
        EXPECT_TRUE(after.contains(name)) << name.toStdString();

    {
        Raw raw(file);
        EXPECT_EQ(raw.Integrity(), QStringLiteral("ok"));
        const qint64 saved = raw.Column("SELECT COUNT(*) FROM Adressen").value(0);
        // Only the rows of the two damaged pages (a few dozen) are lost.
        EXPECT_LT(saved, contacts);
        EXPECT_GT(saved, contacts - 120);
        EXPECT_EQ(raw.Column("SELECT COUNT(*) FROM Products").value(0), products);
        EXPECT_EQ(raw.Column("SELECT COUNT(*) FROM factuur").value(0), documents);
        EXPECT_EQ(raw.Column("SELECT COUNT(*) FROM faclijn").value(0), lines);
        EXPECT_EQ(raw.Column("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index'").value(0), indexes);
        EXPECT_EQ(raw.Column("SELECT COUNT(*) FROM Adressen WHERE nummer = 1"), QList<qint64>{1});
    }
    Tdm dm;
    TAdministration admin(Folder(QStringLiteral("Schade")), QStringLiteral("Schade"), &dm);
    EXPECT_EQ(admin.Status(), asOpen) << admin.StatusReason().toStdString();
    // A second check finds nothing left to do.
    EXPECT_FALSE(CheckAndRepair(DataFolder(), {QStringLiteral("Schade")}).damageFound);
}

TEST_F(RepairTest, AnUnreadableFileIsReportedAndKept)
{
    Create(QStringLiteral("Onleesbaar"));
    const QString file = AdminFile(QStringLiteral("Onleesbaar"));
    QByteArray garbage(16384, '\0');
    QRandomGenerator random(7);
    for (char& c : garbage)
        c = char(random.bounded(256));
    tmp.write(QStringLiteral("garbage"), garbage);
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QFile::copy(tmp.file(QStringLiteral("garbage")), file));
    const auto before = Snapshot(home);

    const RepairReport report = CheckAndRepair(DataFolder(), {QStringLiteral("Onleesbaar")});
    EXPECT_TRUE(report.damageFound);
    EXPECT_FALSE(report.allRepaired);
    ASSERT_GE(report.actions.size(), 2);
    EXPECT_TRUE(report.actions.at(0).startsWith(QStringLiteral("Onleesbaar/admin.sqlite is beschadigd")));
    EXPECT_TRUE(report.actions.at(1).startsWith(QStringLiteral("Onleesbaar/admin.sqlite kon niet hersteld worden")));
    const auto after = Snapshot(home);
    for (const auto& [path, bytes] : before)
        EXPECT_TRUE(after.count(path) && after.at(path) == bytes) << path.toStdString();
}

TEST_F(RepairTest, MissingFilesAreReportedNotCreated)
{
    QDir().mkpath(Folder(QStringLiteral("Leeg")));
    const RepairReport report = CheckAndRepair(
        DataFolder(), {QStringLiteral("Leeg"), QStringLiteral("Weg"), QString(), QStringLiteral("leeg"), QStringLiteral("../x")});
    EXPECT_TRUE(report.damageFound);
    EXPECT_FALSE(report.allRepaired);
    EXPECT_TRUE(report.actions.contains(QStringLiteral("Administratie Weg bestaat niet meer.")));
    EXPECT_TRUE(report.actions.contains(QStringLiteral("Leeg/admin.sqlite ontbreekt.")));
    // No shared.sqlite yet either on this fresh home folder.
    EXPECT_TRUE(report.actions.contains(QStringLiteral("shared.sqlite ontbreekt.")));
    EXPECT_FALSE(QFileInfo::exists(AdminFile(QStringLiteral("Leeg"))));
    EXPECT_FALSE(QFileInfo::exists(Folder(QStringLiteral("Weg"))));
    EXPECT_FALSE(QFileInfo::exists(SharedDatabaseFile(DataFolder())));
}

TEST_F(RepairTest, CommitsLeftInTheWalOfACrashAreKept)
{
    Create(QStringLiteral("Wal"));
    Create(QStringLiteral("Kopie"));
    const QString source = AdminFile(QStringLiteral("Wal"));
    const QString target = AdminFile(QStringLiteral("Kopie"));
    {
        // A writer that never got to checkpoint: its commits are only in the WAL when the
        // files are copied, as they are on disk after a crash.
        Raw writer(source);
        writer.Exec("PRAGMA wal_autocheckpoint=0");
        writer.Exec("BEGIN; INSERT INTO Adressen (nummer, Name, ComName) VALUES (2, 'Janssens', 'Janssens'); "
                    "INSERT INTO Adressen (nummer, Name, ComName) VALUES (3, 'Maes', 'Maes'); COMMIT");
        ASSERT_TRUE(QFileInfo(source + QStringLiteral("-wal")).size() > 0);
        ASSERT_TRUE(QFile::remove(target));
        ASSERT_TRUE(QFile::copy(source, target));
        ASSERT_TRUE(QFile::copy(source + QStringLiteral("-wal"), target + QStringLiteral("-wal")));
    }
    const RepairReport report = CheckAndRepair(DataFolder(), {QStringLiteral("Kopie")});
    EXPECT_FALSE(report.damageFound) << report.actions.join(u'\n').toStdString();
    Raw raw(target);
    EXPECT_EQ(raw.Column("SELECT nummer FROM Adressen ORDER BY nummer"), (QList<qint64>{1, 2, 3}));
}

TEST(DamagedFileName, IsDatedAndNeverTaken)
{
    TestFolder tmp;
    const QString file = tmp.file(QStringLiteral("admin.sqlite"));
    const QDateTime when(QDate(2026, 12, 11), QTime(14, 30, 5));
    EXPECT_EQ(DamagedFileName(file, when), file + QStringLiteral(".damaged-20261211-143005"));
    tmp.write(QStringLiteral("admin.sqlite.damaged-20261211-143005"), "x");
    EXPECT_EQ(DamagedFileName(file, when), file + QStringLiteral(".damaged-20261211-143005-2"));
}

TEST_F(RepairTest, AFileAnotherProgramHasOpenIsNotReplaced)
{
    ASSERT_NO_FATAL_FAILURE(MakeFilled(QStringLiteral("Bezet")));
    const QString file = AdminFile(QStringLiteral("Bezet"));
    {
        Raw raw(file);
        const QList<qint64> leaves = raw.Column("SELECT pageno FROM dbstat WHERE name = 'Adressen' AND pagetype = 'leaf'");
        ASSERT_GT(leaves.size(), 10);
        const int pageSize = int(raw.Column("PRAGMA page_size").value(0));
        sqlite3_close_v2(raw.db);
        raw.db = nullptr;
        Garble(file, leaves.at(leaves.size() / 2), pageSize);
    }
    // Another program reads the administration (a shared lock held in a read transaction).
    Raw other(file);
    other.Exec("BEGIN");
    other.Column("SELECT COUNT(*) FROM Products");
    const auto before = Snapshot(Folder(QStringLiteral("Bezet")));

    const RepairReport report = CheckAndRepair(DataFolder(), {QStringLiteral("Bezet")});
    EXPECT_TRUE(report.damageFound);
    EXPECT_FALSE(report.allRepaired);
    EXPECT_TRUE(report.actions.contains(
        QStringLiteral("Bezet/admin.sqlite is in gebruik door een ander programma en werd niet hersteld.")))
        << report.actions.join(u'\n').toStdString();
    const auto after = Snapshot(Folder(QStringLiteral("Bezet")));
    EXPECT_TRUE(before.at(file) == after.at(file));
    EXPECT_TRUE(QDir(Folder(QStringLiteral("Bezet"))).entryList({QStringLiteral("*damaged*")}).isEmpty());
    other.Exec("COMMIT");
}
