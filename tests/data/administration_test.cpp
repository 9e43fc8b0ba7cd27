#include "store_fixture.h"

#include "common/immutable.h"

#include "data/administration.h"
#include "data/dm.h"
#include "data/modules.h"
#include "data/shareddb.h"
#include "foundation/settingsfile.h"
#include "foundation/textfile.h"
#include "foundation/translate.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>

#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

QStringList FilesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

void SetFileTime(const QString& file, const QDateTime& when)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
}

} // namespace

class Administration : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(fx.MakeAdministration()); }
    std::unique_ptr<TAdministration> Open()
    {
        return std::make_unique<TAdministration>(fx.folder(), QStringLiteral("Test"), &dm);
    }
    StoreFixture fx;
    Tdm dm;
};

TEST_F(Administration, OpensWithItsTables)
{
    auto admin = Open();
    ASSERT_EQ(admin->Status(), asOpen) << admin->StatusReason().toStdString();
    EXPECT_EQ(admin->Folder(), fx.folder());
    EXPECT_TRUE(dm.tabContacts->Active());
    EXPECT_TRUE(dm.tabProducts->Active());
    EXPECT_TRUE(dm.TabFact->Active());
    EXPECT_TRUE(dm.tabZip->Active());
    EXPECT_TRUE(dm.tabCalendar->Active());
    EXPECT_TRUE(dm.Profielen->Active());
    EXPECT_EQ(dm.tabContacts->RecordCount(), 1);
    // Contacts are sorted on ComName, products on the default index iadr1.
    EXPECT_EQ(dm.tabContacts->IndexFields(), QStringList{QStringLiteral("ComName")});
    EXPECT_EQ(dm.tabProducts->IndexName().toLower(), QStringLiteral("iadr1"));
    EXPECT_GT(dm.tabZip->RecordCount(), 2000);

    admin.reset();
    EXPECT_FALSE(dm.tabContacts->Active());
    EXPECT_FALSE(dm.tabZip->Active());
    EXPECT_EQ(dm.Database(), nullptr);
}

TEST(AdministrationStatus, MissingFolderGivesOneAndCreatesNothing)
{
    StoreFixture fx;
    Tdm dm;
    const QStringList before = FilesUnder(fx.dataFolder());
    TAdministration admin(fx.dataFolder() + QStringLiteral("Nobody/"), QStringLiteral("Nobody"), &dm);
    EXPECT_EQ(admin.Status(), asFolderMissing);
    EXPECT_FALSE(admin.StatusReason().isEmpty());
    EXPECT_EQ(FilesUnder(fx.dataFolder()), before);
}

TEST_F(Administration, GarbageDatabaseGivesThree)
{
    const QByteArray garbage("This is no database at all, just some text that fills a page. ");
    fx.Exec(QStringLiteral("SELECT 1"));
    QFile::remove(fx.folder() + QStringLiteral("admin.sqlite-wal"));
    QFile::remove(fx.folder() + QStringLiteral("admin.sqlite-shm"));
    QFile f(fx.folder() + QStringLiteral("admin.sqlite"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (int i = 0; i < 100; ++i)
        f.write(garbage);
    f.close();
    auto admin = Open();
    EXPECT_EQ(admin->Status(), asTablesFailed);
    EXPECT_FALSE(admin->StatusReason().isEmpty());
    QFile check(fx.folder() + QStringLiteral("admin.sqlite"));
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_TRUE(check.readAll().startsWith(garbage));
}

TEST_F(Administration, MissingDatabaseOrTableGivesThree)
{
    fx.Exec(QStringLiteral("DROP TABLE faclijn"));
    EXPECT_EQ(Open()->Status(), asTablesFailed);

    QFile::remove(fx.folder() + QStringLiteral("admin.sqlite"));
    EXPECT_EQ(Open()->Status(), asTablesFailed);
    EXPECT_FALSE(QFile::exists(fx.folder() + QStringLiteral("admin.sqlite")));
}

TEST_F(Administration, BrokenSharedTablesGiveTheirOwnStatus)
{
    const struct
    {
        const char* damage;
        int status;
    } cases[] = {
        {"DROP TABLE shared.Post", asPostFailed},
        {"ALTER TABLE shared.Post RENAME COLUMN gemeente TO naam", asPostFailed},
        {"DROP TABLE shared.Calendar", asCalendarFailed},
        {"ALTER TABLE shared.Calendar RENAME COLUMN cal_date TO datum", asCalendarFailed},
        {"DROP TABLE shared.profiles", asProfilesFailed},
        {"ALTER TABLE shared.profiles RENAME COLUMN admin TO beheer", asProfilesFailed},
    };
    for (const auto& c : cases) {
        QFile::remove(SharedDatabaseFile(fx.dataFolder()));
        QString error;
        ASSERT_TRUE(EnsureSharedDatabase(fx.dataFolder(), &error)) << error.toStdString();
        fx.Exec(QString::fromLatin1(c.damage));
        auto admin = Open();
        EXPECT_EQ(admin->Status(), c.status) << c.damage;
        EXPECT_FALSE(admin->StatusReason().isEmpty()) << c.damage;
    }
}

TEST_F(Administration, GarbageSharedDatabaseGivesFour)
{
    QFile f(SharedDatabaseFile(fx.dataFolder()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(8192, 'x'));
    f.close();
    EXPECT_EQ(Open()->Status(), asPostFailed);
}

TEST_F(Administration, SortColumnsAndTheirDefaults)
{
    const struct
    {
        const char* stored;   // nullptr: key absent
        int expected;
    } cases[] = {{nullptr, 5}, {"-1", 5}, {"abc", 5}, {"", 5}, {"7", 7}, {"0", 0}};
    const QString ini = fx.folder() + QStringLiteral("admin.ini");
    for (const auto& c : cases) {
        ASSERT_TRUE(SaveTextFile(ini, c.stored ? QStringLiteral("VELDNR1 ") + QString::fromLatin1(c.stored) : QString()));
        auto admin = Open();
        EXPECT_EQ(admin->SortColumn(1), c.expected) << (c.stored ? c.stored : "absent");
        EXPECT_EQ(admin->SortColumn(0), c.expected);
        EXPECT_EQ(admin->SortColumn(6), 1);
        EXPECT_EQ(admin->SortColumn(7), 13);
        EXPECT_EQ(admin->SortColumn(5), 1);
    }
    auto admin = Open();
    admin->SetSortColumn(6, 2);
    admin->SetSortColumn(7, 4);
    EXPECT_EQ(ReadSetting(ini, QStringLiteral("VELDNR6")), QStringLiteral("2"));
    EXPECT_EQ(ReadSetting(ini, QStringLiteral("VELDNR7")), QStringLiteral("4"));
    EXPECT_EQ(admin->SortColumn(6), 2);
    EXPECT_EQ(Open()->SortColumn(7), 4);
}

TEST_F(Administration, VatInclusiveFromTheSettings)
{
    const QString ini = fx.folder() + QStringLiteral("admin.ini");
    WriteSetting(ini, QStringLiteral("VATINC"), QStringLiteral("TRUE"));
    EXPECT_TRUE(Open()->VatInclusive());
    WriteSetting(ini, QStringLiteral("VATINC"), QStringLiteral("FALSE"));
    EXPECT_FALSE(Open()->VatInclusive());
}

TEST_F(Administration, OldAuditLogsGoOtherFilesStay)
{
    const QString oldLog = fx.folder() + QStringLiteral("factuur.bup");
    const QString todayLog = fx.folder() + QStringLiteral("faclijn.bup");
    const QString lockFile = fx.folder() + QStringLiteral("PARADOX.LCK");
    for (const QString& file : {oldLog, todayLog, lockFile}) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    SetFileTime(oldLog, QDateTime::currentDateTime().addDays(-1));
    // Another program holds the administration open: its WAL file must survive our opening.
    auto other = fx.OpenDatabase();
    ASSERT_TRUE(other);
    ASSERT_TRUE(other->Exec(QStringLiteral("INSERT INTO Log (lognr, ltype) VALUES (7, 8)")));
    const bool walBefore = QFile::exists(fx.folder() + QStringLiteral("admin.sqlite-wal"));
    auto admin = Open();
    EXPECT_EQ(admin->Status(), asOpen);
    EXPECT_FALSE(QFile::exists(oldLog));
    EXPECT_TRUE(QFile::exists(todayLog));
    EXPECT_TRUE(QFile::exists(lockFile));
    EXPECT_EQ(QFile::exists(fx.folder() + QStringLiteral("admin.sqlite-wal")), walBefore);
    EXPECT_EQ(other->Scalar(QStringLiteral("SELECT COUNT(*) FROM Log")).toInt(), 1);
}

// Makes a folder read-only for the life of the guard: by its permissions, or, for root (whom
// permissions do not stop), with the file system's immutable flag.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString& folder) : m_folder(folder)
    {
        if (geteuid() != 0) {
            m_done = QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            return;
        }
        m_pin = std::make_unique<Immutable>(folder);
        m_done = m_pin->ok();
    }
    ~ReadOnlyFolder()
    {
        if (m_done && !m_pin)
            QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    bool Done() const { return m_done; }

private:
    QString m_folder;
    std::unique_ptr<Immutable> m_pin;  // root: released when the guard ends
    bool m_done = false;
};

TEST_F(Administration, ReadOnlyFolderDoesNotCrash)
{
    const QString oldLog = fx.folder() + QStringLiteral("factuur.bup");
    {
        QFile f(oldLog);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    SetFileTime(oldLog, QDateTime::currentDateTime().addDays(-2));
    ReadOnlyFolder readOnly(fx.folder());
    if (!readOnly.Done())
        GTEST_SKIP() << "cannot make a folder read-only here";
    auto admin = Open();
    EXPECT_TRUE(admin->Status() == asOpen || admin->Status() == asTablesFailed) << admin->Status();
    admin->SetSortColumn(1, 3);
    EXPECT_EQ(admin->SortColumn(1), 3);
    if (admin->Status() == asOpen) {
        TContacts_Module contacts(dm, admin->AdminIni());
        contacts.SetLayoutName(QStringLiteral("Other"));
    }
    admin.reset();
    EXPECT_TRUE(QFile::exists(oldLog));   // could not be deleted, and that is no error
}

TEST_F(Administration, UpdateStepIsCalledWhenInstalled)
{
    QString seen;
    SetAdministrationUpdateStep([&](const QString& folder, const QString& name) { seen = folder + name; });
    Open();
    SetAdministrationUpdateStep(nullptr);
    EXPECT_EQ(seen, fx.folder() + QStringLiteral("Test"));
}

TEST_F(Administration, ModulesCarryTheirNounsAndLayouts)
{
    auto admin = Open();
    ASSERT_EQ(admin->Status(), asOpen);
    WriteSetting(admin->AdminIni(), QStringLiteral("SCHERMA"), QStringLiteral("Default"));
    WriteSetting(admin->AdminIni(), QStringLiteral("SCHERMP"), QStringLiteral("Winkel"));

    TContacts_Module contacts(dm, admin->AdminIni());
    EXPECT_EQ(contacts.Number(), 1);
    EXPECT_EQ(contacts.Singular(), Translate(QStringLiteral("Contact")));
    EXPECT_EQ(contacts.Plural(), Translate(QStringLiteral("Contacten")));
    EXPECT_EQ(contacts.Title(), Translate(QStringLiteral("CONTACTEN")));
    EXPECT_EQ(contacts.LayoutName(), QStringLiteral("Default"));
    EXPECT_EQ(dm.TabCategorie->TableName(), QStringLiteral("categorieA"));

    TProducts_Module products(dm, admin->AdminIni());
    EXPECT_EQ(products.Number(), 6);
    EXPECT_EQ(products.LayoutName(), QStringLiteral("Winkel"));
    EXPECT_EQ(dm.TabCategorie->TableName(), QStringLiteral("categorieP"));
    EXPECT_FALSE(dm.TabCategorie->Active());

    TDesign_Module design(8, dm, admin->AdminIni());
    EXPECT_EQ(design.Plural(), QLatin1Char(' ') + Translate(QStringLiteral("Scherm lay-out")));
    EXPECT_TRUE(design.Singular().isEmpty());
    design.SetLayoutName(QStringLiteral("Groot"));
    EXPECT_EQ(ReadSetting(admin->AdminIni(), QStringLiteral("SCHERMP")), QStringLiteral("Groot"));
    EXPECT_EQ(ReadSetting(admin->AdminIni(), QStringLiteral("SCHERMA")), QStringLiteral("Default"));

    TCalender_Module calendar(dm, admin->AdminIni());
    EXPECT_EQ(calendar.Title(), QStringLiteral("?"));
    EXPECT_EQ(calendar.Singular(), Translate(QStringLiteral("Afspraak")));

    TInvoices_Module invoices(dm, admin->AdminIni());
    EXPECT_EQ(invoices.Singular(), Translate(QStringLiteral("FACTUUR")));
    EXPECT_EQ(invoices.Plural(), Translate(QStringLiteral("FACTUREN(VERKOOP)")));
    invoices.SetDocumentKind(2);
    EXPECT_EQ(invoices.Plural(), Translate(QStringLiteral("OFFERTES")));
    EXPECT_EQ(invoices.Singular(), Translate(QStringLiteral("OFFERTE")));
    invoices.SetDocumentKind(10);
    EXPECT_EQ(invoices.Singular(), Translate(QStringLiteral("SJABLOON")));

    const int language = LanguageIndex();
    SetLanguageIndex(2);
    contacts.SetTitle(QStringLiteral("ZoekResultaat"));
    EXPECT_EQ(contacts.Title(), QStringLiteral("RUR"));
    SetLanguageIndex(language);
}

TEST_F(Administration, FreeingWithAModuleClosesEverything)
{
    auto admin = Open();
    ASSERT_EQ(admin->Status(), asOpen);
    admin->SetModule(std::make_unique<TContacts_Module>(dm, admin->AdminIni()));
    dm.activeContactList = 3;
    EXPECT_EQ(admin->ModuleNumber(), 1);
    admin.reset();
    EXPECT_EQ(dm.activeContactList, 0);
    for (TDataSet* dataSet : dm.DataSets())
        EXPECT_FALSE(dataSet->Active()) << dataSet->Name().toStdString();
}

TEST_F(Administration, FreeingAnOlderAdministrationLeavesTheNewOneBound)
{
    auto first = Open();
    ASSERT_EQ(first->Status(), asOpen);
    auto second = Open();
    ASSERT_EQ(second->Status(), asOpen);
    first.reset();
    EXPECT_TRUE(dm.tabContacts->Active());
    ASSERT_NE(dm.Database(), nullptr);
    EXPECT_EQ(dm.UseSortIndex(*dm.tabContacts, QString()), true);   // the sort column still answers
    second.reset();
    EXPECT_EQ(dm.Database(), nullptr);
}

TEST(AdministrationLifetime, DataModuleEndingFirstIsHarmless)
{
    StoreFixture fx;
    ASSERT_NO_FATAL_FAILURE(fx.MakeAdministration());
    auto dm = std::make_unique<Tdm>();
    auto admin = std::make_unique<TAdministration>(fx.folder(), QStringLiteral("Test"), dm.get());
    ASSERT_EQ(admin->Status(), asOpen);
    dm.reset();
    EXPECT_EQ(admin->DataModule(), nullptr);
    admin.reset();
}
