#include "newadmin_fixture.h"

#include "common/immutable.h"

#include "data/administration.h"
#include "data/dm.h"
#include "data/profiles.h"
#include "foundation/settingsfile.h"
#include "foundation/textfile.h"
#include "foundation/translate.h"

#include <QDirIterator>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QMap<QString, QString> BakeryProfile()
{
    return {{QStringLiteral("Name"), QStringLiteral("Peeters")},
            {QStringLiteral("company"), QStringLiteral("Bakkerij Peeters")},
            {QStringLiteral("Zip"), QStringLiteral("9000")},
            {QStringLiteral("Address"), QStringLiteral("Kouter 1")},
            {QStringLiteral("Place"), QStringLiteral("Gent")},
            {QStringLiteral("Telephone Private"), QStringLiteral("09 111 11 11")},
            {QStringLiteral("Telephone office"), QStringLiteral("09 222 22 22")},
            {QStringLiteral("Fax"), QStringLiteral("09 333 33 33")},
            {QStringLiteral("Gsm"), QStringLiteral("0475 44 44 44")},
            {QStringLiteral("Email"), QStringLiteral("info@peeters.be")},
            {QStringLiteral("Website"), QStringLiteral("www.peeters.be")},
            {QStringLiteral("vatnr"), QStringLiteral("BE 0123.456.749")},
            {QStringLiteral("Accountnr"), QStringLiteral("BE68 5390 0754 7034")}};
}

// A copy of a shipped template with one extra column, so a test can tell which file was used.
void WriteTemplate(const QString& file, const QString& from, const QString& extraColumn)
{
    QStringList lines = LoadTextLines(from);
    const qsizetype at = lines.indexOf(QStringLiteral("[INDEXES]"));
    ASSERT_GT(at, 0);
    lines.insert(at, extraColumn + QStringLiteral("|1|40|FALSE|0|"));
    ASSERT_TRUE(SaveTextLines(file, lines));
}

QStringList Columns(TDatabase& db, const QString& table)
{
    QStringList names;
    QSqlQuery q(db.sql());
    q.exec(QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table));
    while (q.next())
        names.append(q.value(0).toString());
    return names;
}

QStringList FilesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

} // namespace

class NewAdministrationTest : public HomeFixture
{
};

TEST_F(NewAdministrationTest, CreatedAdministrationOpensWithTheProfileAsFirstContact)
{
    NewAdministration request;
    request.name = QStringLiteral("Bakkerij");
    request.profile = BakeryProfile();
    request.mainCurrency = QStringLiteral("EUR");
    Create(request);

    const QString ini = Folder(QStringLiteral("Bakkerij")) + QStringLiteral("admin.ini");
    EXPECT_EQ(ReadSetting(ini, QStringLiteral("SCHERMA")), QStringLiteral("Default"));
    EXPECT_EQ(ReadSetting(ini, QStringLiteral("SCHERMP")), QStringLiteral("Default"));
    EXPECT_EQ(ReadSetting(ini, QStringLiteral("VATINC")), QStringLiteral("FALSE"));
    for (const char* file : {"Adressen.dat", "Products.dat", "C_P_SPRICE.fld", "C_P_NAME.fld"})
        EXPECT_TRUE(QFile::exists(Folder(QStringLiteral("Bakkerij")) + QString::fromLatin1(file))) << file;
    // The shell opens the administration and writes DEFADMIN, not the creation.
    EXPECT_FALSE(QFile::exists(OvraIni()) && !ReadSetting(OvraIni(), QStringLiteral("DEFADMIN")).isEmpty());

    Tdm dm;
    TAdministration admin(Folder(QStringLiteral("Bakkerij")), QStringLiteral("Bakkerij"), &dm);
    ASSERT_EQ(admin.Status(), asOpen) << admin.StatusReason().toStdString();
    EXPECT_FALSE(admin.VatInclusive());
    ASSERT_EQ(dm.tabContacts->RecordCount(), 1);
    dm.tabContacts->First();
    const struct
    {
        const char* column;
        const char* value;
    } expected[] = {{"Name", "Peeters"},
                    {"COMPANY", "Bakkerij Peeters"},
                    {"ComName", "Bakkerij Peeters Peeters"},
                    {"Zip", "9000"},
                    {"Address", "Kouter 1"},
                    {"Place", "Gent"},
                    {"Telephone private", "09 111 11 11"},
                    {"Telephone Office", "09 222 22 22"},
                    {"fax", "09 333 33 33"},
                    {"Gsm", "0475 44 44 44"},
                    {"Emailaddress", "info@peeters.be"},
                    {"Website", "www.peeters.be"},
                    {"vatNumber", "BE 0123.456.749"},
                    {"AccountNr", "BE68 5390 0754 7034"}};
    EXPECT_EQ(dm.tabContacts->Field(0)->AsInteger(), 1);
    for (const auto& e : expected)
        EXPECT_EQ(dm.tabContacts->FieldByName(QString::fromLatin1(e.column))->AsString(), QString::fromUtf8(e.value))
            << e.column;
    // The profile row is the administration's own, with an identifier of the record rules.
    const QSqlRecord profile = ProfileOf(dm.Database()->sql(), QStringLiteral("Bakkerij"));
    EXPECT_EQ(profile.value(QStringLiteral("admin")).toString(), QStringLiteral("Bakkerij"));
    EXPECT_EQ(profile.value(QStringLiteral("company")).toString(), QStringLiteral("Bakkerij Peeters"));
    EXPECT_EQ(profile.value(0).toInt(), 1);
    // A new administration is empty apart from the first contact and the empty first product.
    EXPECT_EQ(dm.tabProducts->RecordCount(), 1);
    EXPECT_EQ(dm.TabFact->RecordCount(), 0);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
}

TEST_F(NewAdministrationTest, VatInclusiveAdministrationCopiesAnotherProfile)
{
    NewAdministration first;
    first.name = QStringLiteral("Eerste");
    first.profile = BakeryProfile();
    Create(first);
    NewAdministration second;
    second.name = QStringLiteral("Tweede");
    second.vatInclusive = true;
    second.copyProfileFrom = QStringLiteral("eerste");   // case ignored, as everywhere
    Create(second);

    EXPECT_EQ(ReadSetting(Folder(QStringLiteral("Tweede")) + QStringLiteral("admin.ini"), QStringLiteral("VATINC")),
              QStringLiteral("TRUE"));
    Tdm dm;
    TAdministration admin(Folder(QStringLiteral("Tweede")), QStringLiteral("Tweede"), &dm);
    ASSERT_EQ(admin.Status(), asOpen) << admin.StatusReason().toStdString();
    EXPECT_TRUE(admin.VatInclusive());
    dm.tabContacts->First();
    EXPECT_EQ(dm.tabContacts->FieldByName(QStringLiteral("COMPANY"))->AsString(), QStringLiteral("Bakkerij Peeters"));
    QSqlQuery q(dm.Database()->sql());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT id, admin, company FROM shared.profiles ORDER BY id")));
    QStringList rows;
    while (q.next())
        rows.append(QStringLiteral("%1 %2 %3").arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString()));
    EXPECT_EQ(rows, (QStringList{QStringLiteral("1 Eerste Bakkerij Peeters"), QStringLiteral("2 Tweede Bakkerij Peeters")}));
}

TEST_F(NewAdministrationTest, EachTableFallsBackToStandaardOnItsOwn)
{
    const QString datadefs = ProgramFolder() + QStringLiteral("datadefs/");
    ASSERT_NO_FATAL_FAILURE(WriteTemplate(datadefs + QStringLiteral("alleenkaart.cb"), datadefs + QStringLiteral("Standaard.cb"),
                                          QStringLiteral("Hobby")));
    ASSERT_NO_FATAL_FAILURE(WriteTemplate(datadefs + QStringLiteral("alleenproduct.pb"),
                                          datadefs + QStringLiteral("Standaard.pb"), QStringLiteral("P_KLEUR")));
    ASSERT_NO_FATAL_FAILURE(WriteTemplate(datadefs + QStringLiteral("klein.cb"), datadefs + QStringLiteral("Standaard.cb"),
                                          QStringLiteral("Groot")));
    ASSERT_NO_FATAL_FAILURE(WriteTemplate(datadefs + QStringLiteral("klein.cb8"), datadefs + QStringLiteral("Standaard.cb"),
                                          QStringLiteral("Klein")));
    const struct
    {
        const char* templateName;
        int screenWidth;
        const char* contactsColumn;   // the column that tells the file used; empty: Standaard
        const char* productsColumn;
    } cases[] = {
        {"alleenkaart", 0, "Hobby", ""},
        {"alleenproduct", 0, "", "P_KLEUR"},
        {"bestaatniet", 0, "", ""},
        {"klein", 1280, "Groot", ""},
        // The small-screen file where it exists (contacts); the products have none: ".pb" stays.
        {"klein", 800, "Klein", ""},
        {"KLEIN", 640, "Klein", ""},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.templateName) + " " + std::to_string(c.screenWidth));
        NewAdministration request;
        request.name = QStringLiteral("Sjabloon%1").arg(++n);
        request.templateName = QString::fromLatin1(c.templateName);
        request.screenWidth = c.screenWidth;
        Create(request);
        auto db = Open(request.name);
        ASSERT_TRUE(db);
        const QStringList contacts = Columns(*db, QStringLiteral("Adressen"));
        const QStringList products = Columns(*db, QStringLiteral("Products"));
        EXPECT_TRUE(contacts.contains(QStringLiteral("nummer")));
        EXPECT_TRUE(products.contains(QStringLiteral("P_ID")));
        for (const char* marker : {"Hobby", "Groot", "Klein"})
            EXPECT_EQ(contacts.contains(QString::fromLatin1(marker)), qstrcmp(marker, c.contactsColumn) == 0) << marker;
        EXPECT_EQ(products.contains(QStringLiteral("P_KLEUR")), qstrcmp("P_KLEUR", c.productsColumn) == 0);
    }
}

TEST_F(NewAdministrationTest, NamesThatCannotBeAFolderOrExistAreRefused)
{
    Create(QStringLiteral("Bestaand"));
    QDir().mkpath(DataFolder() + QStringLiteral("Losse map"));   // a folder without admin.ini counts too
    const QString empty = NL("Kies naam en sjabloon voor administratie!");
    const QString exists = NL("Er bestaat reeds een administratie met dezelfde naam!");
    const QString invalid = NL("Deze naam kan geen mapnaam zijn: gebruik geen tekens als / \\ : * ? < > en begin of eindig niet met een punt.");
    const QString reserved = NL("Deze naam is voorbehouden. Kies een andere naam.");
    const QString tooLong = QStringLiteral("De naam van een administratie mag hoogstens 60 tekens lang zijn.");
    const struct
    {
        QString name;
        QString message;   // empty: accepted
    } cases[] = {
        {QString(), empty},
        {QStringLiteral("   "), empty},
        {QStringLiteral("a/b"), invalid},
        {QStringLiteral("a\\b"), invalid},
        {QStringLiteral(".verborgen"), invalid},
        {QStringLiteral("punt."), invalid},
        {QStringLiteral(".."), invalid},
        {QStringLiteral("tab\there"), invalid},
        {QStringLiteral("regel\neinde"), invalid},
        {QStringLiteral("a|b"), invalid},
        {QString(61, u'x'), tooLong},
        {QStringLiteral("nil999"), reserved},
        {QStringLiteral("Bestaand"), exists},
        {QStringLiteral("  bestaand "), exists},
        {QStringLiteral("Losse map"), exists},
        {QStringLiteral("Mijn bedrijf"), QString()},
        {QStringLiteral("Société Générale 2"), QString()},
        {QString(60, u'x'), QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        QString error = QStringLiteral("old");
        EXPECT_EQ(CheckNewAdministrationName(c.name, &error), c.message.isEmpty());
        if (!c.message.isEmpty())
            EXPECT_EQ(error, c.message);
    }
    // Creation refuses the same names and leaves nothing behind.
    const QStringList before = FilesUnder(home);
    QString error;
    NewAdministration request;
    request.name = QStringLiteral("bestaand");
    EXPECT_FALSE(CreateAdministrationFiles(request, &error));
    EXPECT_EQ(error, exists);
    EXPECT_EQ(FilesUnder(home), before);
}

TEST_F(NewAdministrationTest, FailureRemovesOnlyWhatItMade)
{
    Create(QStringLiteral("Bestaand"));
    // A template whose column line is broken fails when the table is made, after the folder,
    // the files and the profile row were.
    const QString datadefs = ProgramFolder() + QStringLiteral("datadefs/");
    ASSERT_NO_FATAL_FAILURE(WriteTemplate(datadefs + QStringLiteral("stuk.cb"), datadefs + QStringLiteral("Standaard.cb"),
                                          QStringLiteral("Kapot\"; DROP TABLE x; --")));
    const QStringList before = FilesUnder(home);
    QByteArray sharedBefore;
    {
        auto db = Open(QStringLiteral("Bestaand"));
        sharedBefore = db->Scalar(QStringLiteral("SELECT group_concat(id || admin) FROM shared.profiles")).toByteArray();
    }
    NewAdministration request;
    request.name = QStringLiteral("Stuk");
    request.templateName = QStringLiteral("stuk");
    request.profile = BakeryProfile();
    QString error;
    EXPECT_FALSE(CreateAdministrationFiles(request, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Folder(QStringLiteral("Stuk"))));
    QStringList after = FilesUnder(home);
    // shared.sqlite may have gained its -wal/-shm while open; nothing of the user's went.
    after.removeIf([](const QString& f) { return f.endsWith(QStringLiteral("-wal")) || f.endsWith(QStringLiteral("-shm")); });
    EXPECT_EQ(after, before);
    auto db = Open(QStringLiteral("Bestaand"));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT group_concat(id || admin) FROM shared.profiles")).toByteArray(), sharedBefore);
}

TEST_F(NewAdministrationTest, StoreProfileAddsOnceAndUpdatesByName)
{
    Create(QStringLiteral("Een"));
    auto db = Open(QStringLiteral("Een"));
    QString error;
    ASSERT_TRUE(StoreProfile(db->sql(), QStringLiteral("Twee"), {{QStringLiteral("COMPANY"), QStringLiteral("Twee BV")}}, &error))
        << error.toStdString();
    ASSERT_TRUE(StoreProfile(db->sql(), QStringLiteral("twee"), {{QStringLiteral("Place"), QString(80, u'p')}}, &error));
    EXPECT_FALSE(StoreProfile(db->sql(), QStringLiteral("Twee"), {{QStringLiteral("admin"), QStringLiteral("Drie")}}, &error));
    EXPECT_FALSE(StoreProfile(db->sql(), QStringLiteral("Twee"), {{QStringLiteral("id"), QStringLiteral("9")}}, &error));
    EXPECT_FALSE(StoreProfile(db->sql(), QStringLiteral(" "), {}, &error));
    const QSqlRecord two = ProfileOf(db->sql(), QStringLiteral("TWEE"));
    EXPECT_EQ(two.value(QStringLiteral("admin")).toString(), QStringLiteral("Twee"));
    EXPECT_EQ(two.value(0).toInt(), 2);
    EXPECT_EQ(two.value(QStringLiteral("company")).toString(), QStringLiteral("Twee BV"));
    // Cut to the declared size of the column (50).
    EXPECT_EQ(two.value(QStringLiteral("Place")).toString(), QString(50, u'p'));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM shared.profiles")).toInt(), 2);
}

TEST_F(NewAdministrationTest, ListsAdministrationsAndTemplates)
{
    Create(QStringLiteral("Een"));
    Create(QStringLiteral("Twee"));
    QDir().mkpath(DataFolder() + QStringLiteral("geen administratie"));
    QStringList names = AdministrationNames(DataFolder());
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("Een"), QStringLiteral("Twee")}));
    EXPECT_EQ(AdministrationTemplates(ProgramFolder() + QStringLiteral("datadefs/")), QStringList{QStringLiteral("Standaard")});
}

TEST_F(NewAdministrationTest, AReadOnlyDataFolderIsReportedAndNothingIsMade)
{
    Create(QStringLiteral("Bestaand"));
    const QStringList before = FilesUnder(home);
    Immutable locked(DataFolder());
    if (!locked.ok())
        GTEST_SKIP() << "the file system cannot make a folder immutable";
    NewAdministration request;
    request.name = QStringLiteral("Nieuw");
    QString error;
    EXPECT_FALSE(CreateAdministrationFiles(request, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("De administratie <Nieuw> kon niet aangemaakt worden:\nDe map ")))
        << error.toStdString();
    locked.release();
    QStringList after = FilesUnder(home);
    after.removeIf([](const QString& f) { return f.endsWith(QStringLiteral("-wal")) || f.endsWith(QStringLiteral("-shm")); });
    EXPECT_EQ(after, before);
}
