#include "store_fixture.h"

#include "data/shareddb.h"
#include "data/tabletemplate.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"

#include <gtest/gtest.h>

#include <QDir>

StoreFixture::StoreFixture()
{
    m_data = m_tmp.path() + QStringLiteral("data/");
    QDir().mkpath(m_data);
    SetProgramFolder(m_tmp.path());
    SetDefaultBusyAsker([](const QString&) { return false; });
}

StoreFixture::~StoreFixture()
{
    SetProgramFolder(QString());
}

QString StoreFixture::resources() const
{
    return QStringLiteral(QUILLON_SOURCE_DIR "/resources/");
}

void StoreFixture::MakeAdministration()
{
    QString error;
    ASSERT_TRUE(EnsureSharedDatabase(m_data, &error)) << error.toStdString();
    QDir().mkpath(folder());
    ASSERT_TRUE(CopyNewAdministrationFiles(resources() + QStringLiteral("install/"), folder()));
    auto db = OpenDatabase();
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO shared.profiles (id, admin, Name, company, Zip, Address, Place, "
                                        "\"Telephone Private\", \"Telephone office\", Fax, Gsm, Email, Website, vatnr, Accountnr) "
                                        "VALUES (1, 'Test', 'Peeters', 'ACME', '9000', 'Kouter 1', 'Gent', '09 111 11 11', "
                                        "'09 222 22 22', '09 333 33 33', '0475 44 44 44', 'info@acme.be', 'www.acme.be', "
                                        "'BE 0123.456.749', 'BE68 5390 0754 7034')"),
                         {}, &error))
        << error.toStdString();
    NewTableContext context;
    context.installFolder = resources() + QStringLiteral("install/");
    context.profile = ProfileOf(db->sql(), QStringLiteral("Test"), QStringLiteral("shared.profiles"));
    context.mainCurrency = QStringLiteral("EUR");
    ASSERT_TRUE(CreateTableFromTemplate(1, resources() + QStringLiteral("datadefs/Standaard.cb"), QStringLiteral("Adressen"),
                                        folder(), db->sql(), context, &error))
        << error.toStdString();
    ASSERT_TRUE(CreateTableFromTemplate(6, resources() + QStringLiteral("datadefs/Standaard.pb"), QStringLiteral("Products"),
                                        folder(), db->sql(), context, &error))
        << error.toStdString();
    ASSERT_TRUE(CreateAdministrationTables(db->sql(), &error)) << error.toStdString();
}

std::unique_ptr<TDatabase> StoreFixture::OpenDatabase() const
{
    QString error;
    auto db = TDatabase::Open(folder() + QStringLiteral("admin.sqlite"), SharedDatabaseFile(m_data), &error);
    EXPECT_TRUE(db) << error.toStdString();
    return db;
}

void StoreFixture::Exec(const QString& sql, const QVariantList& binds) const
{
    auto db = OpenDatabase();
    ASSERT_TRUE(db);
    QString error;
    ASSERT_TRUE(db->Exec(sql, binds, &error)) << error.toStdString() << " in " << sql.toStdString();
}

QVariant StoreFixture::Scalar(const QString& sql, const QVariantList& binds) const
{
    auto db = OpenDatabase();
    if (!db)
        return {};
    return db->Scalar(sql, binds);
}
