#include "store_fixture.h"

#include "data/schema.h"
#include "data/tabletemplate.h"
#include "foundation/records.h"
#include "foundation/textfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QString Resource(const char* path)
{
    return QStringLiteral(QUILLON_SOURCE_DIR "/resources/") + QString::fromLatin1(path);
}

QStringList Names(const QList<FieldDefinition>& fields)
{
    QStringList names;
    for (const FieldDefinition& f : fields)
        names.append(f.name);
    return names;
}

const TemplateIndex* FindIndex(const TableTemplate& t, const QString& name)
{
    for (const TemplateIndex& index : t.indexes)
        if (index.name.compare(name, Qt::CaseInsensitive) == 0)
            return &index;
    return nullptr;
}

// Every bound control must name a column of the template, and each line has nine fields.
void ExpectControlsBound(const TableTemplate& t)
{
    const QStringList names = Names(t.fields);
    ASSERT_FALSE(t.controls.isEmpty());
    for (const QString& line : t.controls) {
        EXPECT_EQ(SeparatorCount(line), 9) << line.toStdString();
        const int kind = FieldOf(line, 2).toInt();
        const bool bound = kind != 7 && kind != 8 && kind != 9 && (kind < 200 || kind > 1000);
        if (bound)
            EXPECT_TRUE(names.contains(FieldOf(line, 1))) << line.toStdString();
    }
}

} // namespace

TEST(Schema, DeclaredTypesRoundTrip)
{
    const struct
    {
        int code;
        int size;
    } cases[] = {{1, 40}, {2, 0}, {3, 0}, {5, 0}, {6, 0}, {7, 0}, {9, 0}, {10, 0}, {14, 0}, {15, 0}, {16, 240}, {17, 0}};
    for (const auto& c : cases) {
        int size = -1;
        EXPECT_EQ(DataTypeOfDeclared(DeclaredTypeOf(c.code, c.size), &size), c.code) << c.code;
        EXPECT_EQ(size, c.size) << c.code;
    }
    EXPECT_TRUE(DeclaredTypeOf(4, 0).isEmpty());
    EXPECT_EQ(DataTypeOfDeclared(QStringLiteral("MEMO(80)")), 16);
    EXPECT_EQ(DataTypeOfDeclared(QStringLiteral("varchar(12)")), 1);
    EXPECT_EQ(DataTypeOfDeclared(QStringLiteral("DOUBLE PRECISION")), 6);
}

TEST(Schema, StoredValuesKeepTheirForm)
{
    // The declared types must give SQLite affinities that keep every value as typed.
    StoreFixture fx;
    QDir().mkpath(fx.folder());
    auto db = fx.OpenDatabase();
    ASSERT_TRUE(db);
    QList<FieldDefinition> fields{ColumnDefinition(QStringLiteral("id"), dtInteger), ColumnDefinition(QStringLiteral("memo"), dtMemo, 240),
                                  ColumnDefinition(QStringLiteral("text"), dtText, 10), ColumnDefinition(QStringLiteral("amount"), dtFloat),
                                  ColumnDefinition(QStringLiteral("day"), dtDate)};
    ASSERT_TRUE(db->Exec(CreateTableSql(QStringLiteral("t"), fields, {QStringLiteral("id")})));
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO t VALUES (1, '007', '0123', 5, '2024-02-29')")));
    QSqlQuery q(db->sql());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT typeof(memo), memo, typeof(text), typeof(amount), typeof(day) FROM t")));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("text"));
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("007"));
    EXPECT_EQ(q.value(2).toString(), QStringLiteral("text"));
    EXPECT_EQ(q.value(3).toString(), QStringLiteral("real"));
    EXPECT_EQ(q.value(4).toString(), QStringLiteral("text"));
}

TEST(Schema, IdentifiersFromFilesAreChecked)
{
    EXPECT_TRUE(IsValidColumnName(QStringLiteral("Telephone private")));
    EXPECT_TRUE(IsValidColumnName(QStringLiteral("P_SPRICE")));
    EXPECT_FALSE(IsValidColumnName(QStringLiteral("x\"; DROP TABLE Adressen; --")));
    EXPECT_FALSE(IsValidColumnName(QStringLiteral("1abc")));
    EXPECT_FALSE(IsValidColumnName(QStringLiteral("trailing ")));
    EXPECT_FALSE(IsValidColumnName(QString()));
}

TEST(Template, ShippedContactsTemplateHasEveryColumnTheRulesUse)
{
    TableTemplate t;
    ASSERT_TRUE(ReadTableTemplate(Resource("datadefs/Standaard.cb"), &t));
    const QStringList names = Names(t.fields);
    EXPECT_EQ(names.first(), QStringLiteral("nummer"));
    EXPECT_EQ(names.value(5), QStringLiteral("ComName"));   // the default sort column VELDNR1 = 5
    for (const char* column : {"COMPANY", "Name", "GivenName", "Address", "Zip", "Place", "Telephone private",
                               "Telephone Office", "fax", "Gsm", "Emailaddress", "Website", "vatNumber", "AccountNr",
                               "CreatingDate", "LISTS", "INLIST", "ICON", "C_CHANGED", "C_VAT", "C_P_SPRICE", "C_P_NAME"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(column))) << column;
    EXPECT_EQ(t.fields.at(names.indexOf(QStringLiteral("Zip"))).kind, 112);
    EXPECT_EQ(t.fields.at(names.indexOf(QStringLiteral("INLIST"))).dataType, 5);
    ASSERT_TRUE(FindIndex(t, QString()));
    EXPECT_EQ(FindIndex(t, QString())->fields, QStringList{QStringLiteral("nummer")});
    ASSERT_TRUE(FindIndex(t, QStringLiteral("iadr1")));
    EXPECT_EQ(FindIndex(t, QStringLiteral("iadr1"))->fields, QStringList{names.at(1)});
    ASSERT_TRUE(FindIndex(t, QStringLiteral("iadr5")));
    EXPECT_EQ(FindIndex(t, QStringLiteral("iadr5"))->fields, QStringList{QStringLiteral("ComName")});
    for (const TemplateIndex& index : t.indexes) {
        const int n = index.name.mid(4).toInt();
        if (!index.name.isEmpty())
            EXPECT_EQ(index.fields, QStringList{names.value(n)}) << index.name.toStdString();
    }
    ExpectControlsBound(t);
}

TEST(Template, ShippedProductsTemplateHasEveryColumnTheRulesUse)
{
    TableTemplate t;
    ASSERT_TRUE(ReadTableTemplate(Resource("datadefs/Standaard.pb"), &t));
    const QStringList names = Names(t.fields);
    EXPECT_EQ(names.first(), QStringLiteral("P_ID"));
    for (const char* column : {"P_CODE", "P_NAME", "P_PRICE", "P_PRICEE", "P_SPRICE", "P_SPRICEE", "P_CURRENCY",
                               "P_CREATINGDATE", "P_AMOUNT", "P_VAT", "P_Quantity", "P_Minimum", "P_DISCOUNT", "P_SUPNR",
                               "P_GROUPBY", "LISTS", "INLIST", "ICON"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(column))) << column;
    // A price with its euro companion right behind it.
    const int price = int(names.indexOf(QStringLiteral("P_SPRICE")));
    EXPECT_EQ(t.fields.at(price).kind, 122);
    EXPECT_EQ(names.value(price + 1), QStringLiteral("P_SPRICEE"));
    EXPECT_EQ(t.fields.at(price + 1).kind, 123);
    ASSERT_TRUE(FindIndex(t, QStringLiteral("iadr1")));
    EXPECT_EQ(FindIndex(t, QStringLiteral("iadr1"))->fields, QStringList{QStringLiteral("P_CODE")});
    ExpectControlsBound(t);
}

TEST(Template, ShippedInstallFiles)
{
    EXPECT_EQ(LoadTextLines(Resource("install/C_P_SPRICE.fld")).value(0), QStringLiteral("P_SPRICE"));
    EXPECT_EQ(LoadTextLines(Resource("install/C_P_NAME.fld")).value(0), QStringLiteral("P_NAME"));
    EXPECT_TRUE(QFile::exists(Resource("install/leeg.txt")));
    const QStringList words = LoadTextLines(Resource("data/RWSQL.txt"));
    for (const char* word : {"SELECT", "TABLE", "ORDER", "DATE", "TEMP", "ROWID"})
        EXPECT_TRUE(words.contains(QString::fromLatin1(word))) << word;
    for (const QString& word : words)
        EXPECT_EQ(word, word.toUpper());
}

class TemplateCreation : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(fx.MakeAdministration()); }
    StoreFixture fx;
};

TEST_F(TemplateCreation, TableColumnsAndDefinitionFileFollowTheTemplate)
{
    TableTemplate t;
    ASSERT_TRUE(ReadTableTemplate(Resource("datadefs/Standaard.cb"), &t));
    auto db = fx.OpenDatabase();
    ASSERT_TRUE(db);
    QSqlQuery q(db->sql());
    ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA table_info(\"Adressen\")")));
    int i = 0;
    while (q.next()) {
        ASSERT_LT(i, t.fields.size());
        int size = 0;
        EXPECT_EQ(q.value(1).toString(), t.fields.at(i).name);
        EXPECT_EQ(DataTypeOfDeclared(q.value(2).toString(), &size), t.fields.at(i).dataType) << t.fields.at(i).name.toStdString();
        if (t.fields.at(i).dataType == 1)
            EXPECT_EQ(size, t.fields.at(i).size);
        ++i;
    }
    EXPECT_EQ(i, t.fields.size());

    const QStringList dat = LoadTextLines(fx.folder() + QStringLiteral("Adressen.dat"));
    ASSERT_EQ(dat.size(), t.fields.size());
    for (int n = 0; n < dat.size(); ++n)
        EXPECT_EQ(dat.at(n), t.fields.at(n).Line());
    EXPECT_EQ(dat.first(), QStringLiteral("nummer|3|0|TRUE|0|"));
    EXPECT_TRUE(QFile::exists(fx.folder() + QStringLiteral("Products.dat")));
}

TEST_F(TemplateCreation, ListFilesAreCopied)
{
    // From install/ when it has one, else the empty list for list fields only.
    EXPECT_EQ(LoadTextLines(fx.folder() + QStringLiteral("C_P_SPRICE.fld")).value(0), QStringLiteral("P_SPRICE"));
    EXPECT_EQ(LoadTextLines(fx.folder() + QStringLiteral("C_P_NAME.fld")).value(0), QStringLiteral("P_NAME"));
    EXPECT_EQ(LoadTextLines(fx.folder() + QStringLiteral("Language.fld")),
              (QStringList{QStringLiteral("NL"), QStringLiteral("FR"), QStringLiteral("EN"), QStringLiteral("DE")}));
    ASSERT_TRUE(QFile::exists(fx.folder() + QStringLiteral("P_CATEGORY.fld")));
    EXPECT_EQ(QFile(fx.folder() + QStringLiteral("P_CATEGORY.fld")).size(), 0);
    EXPECT_FALSE(QFile::exists(fx.folder() + QStringLiteral("Name.fld")));
    EXPECT_TRUE(QFile::exists(fx.folder() + QStringLiteral("admin.ini")));   // from makenewadmin.ini
}

TEST_F(TemplateCreation, IndexesAreCreatedCaseInsensitiveForText)
{
    auto db = fx.OpenDatabase();
    ASSERT_TRUE(db);
    const QString iadr5 = db->Scalar(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = 'Adressen_iadr5'")).toString();
    EXPECT_TRUE(iadr5.contains(QStringLiteral("\"ComName\" COLLATE QCI"))) << iadr5.toStdString();
    EXPECT_TRUE(db->Scalar(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'Adressen_iadr1'")).isValid());
    EXPECT_TRUE(db->Scalar(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'Products_iadr1'")).isValid());
    EXPECT_TRUE(db->Scalar(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'faclijn_indFNR'")).isValid());
    // The primary index is the first column.
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT pk FROM pragma_table_info('Adressen') WHERE name = 'nummer'")).toInt(), 1);
}

TEST_F(TemplateCreation, FirstContactCarriesTheProfile)
{
    auto db = fx.OpenDatabase();
    ASSERT_TRUE(db);
    QSqlQuery q(db->sql());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT * FROM Adressen")));
    ASSERT_TRUE(q.next());
    const QSqlRecord r = q.record();
    EXPECT_EQ(r.value(QStringLiteral("nummer")).toInt(), 1);
    EXPECT_EQ(r.value(QStringLiteral("COMPANY")).toString(), QStringLiteral("ACME"));
    EXPECT_EQ(r.value(QStringLiteral("Name")).toString(), QStringLiteral("Peeters"));
    EXPECT_EQ(r.value(QStringLiteral("ComName")).toString(), QStringLiteral("ACME Peeters"));
    EXPECT_EQ(r.value(QStringLiteral("Zip")).toString(), QStringLiteral("9000"));
    EXPECT_EQ(r.value(QStringLiteral("Address")).toString(), QStringLiteral("Kouter 1"));
    EXPECT_EQ(r.value(QStringLiteral("Place")).toString(), QStringLiteral("Gent"));
    EXPECT_EQ(r.value(QStringLiteral("Telephone private")).toString(), QStringLiteral("09 111 11 11"));
    EXPECT_EQ(r.value(QStringLiteral("Telephone Office")).toString(), QStringLiteral("09 222 22 22"));
    EXPECT_EQ(r.value(QStringLiteral("fax")).toString(), QStringLiteral("09 333 33 33"));
    EXPECT_EQ(r.value(QStringLiteral("Gsm")).toString(), QStringLiteral("0475 44 44 44"));
    EXPECT_EQ(r.value(QStringLiteral("Emailaddress")).toString(), QStringLiteral("info@acme.be"));
    EXPECT_EQ(r.value(QStringLiteral("Website")).toString(), QStringLiteral("www.acme.be"));
    EXPECT_EQ(r.value(QStringLiteral("vatNumber")).toString(), QStringLiteral("BE 0123.456.749"));
    EXPECT_EQ(r.value(QStringLiteral("AccountNr")).toString(), QStringLiteral("BE68 5390 0754 7034"));
    EXPECT_EQ(r.value(QStringLiteral("CreatingDate")).toString(), QDate::currentDate().toString(Qt::ISODate));
    EXPECT_EQ(r.value(QStringLiteral("LISTS")).toString(), QStringLiteral("0"));
    EXPECT_EQ(r.value(QStringLiteral("INLIST")).toInt(), 0);
    EXPECT_FALSE(q.next());

    ASSERT_TRUE(q.exec(QStringLiteral("SELECT P_ID, P_CURRENCY, P_CREATINGDATE, LISTS FROM Products")));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("EUR"));
    EXPECT_EQ(q.value(2).toString(), QDate::currentDate().toString(Qt::ISODate));
    EXPECT_EQ(q.value(3).toString(), QStringLiteral("0"));
}

TEST_F(TemplateCreation, ExistingTableIsLeftAlone)
{
    auto db = fx.OpenDatabase();
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO Adressen (nummer, Name) VALUES (2, 'Maes')")));
    QFile::remove(fx.folder() + QStringLiteral("Adressen.dat"));
    NewTableContext context;
    context.installFolder = fx.resources() + QStringLiteral("install/");
    QString error;
    EXPECT_TRUE(CreateTableFromTemplate(1, Resource("datadefs/Standaard.cb"), QStringLiteral("adressen"), fx.folder(),
                                        db->sql(), context, &error));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM Adressen")).toInt(), 2);
    EXPECT_FALSE(QFile::exists(fx.folder() + QStringLiteral("Adressen.dat")));
}

TEST_F(TemplateCreation, UnsafeColumnNameCreatesNothing)
{
    TestFolder other;
    other.write(QStringLiteral("bad.cb"), QByteArray("[FIELDS]\r\nid|3|0|TRUE|0|\r\nx\"; DROP TABLE Adressen; --|1|20|FALSE|2|\r\n"
                                                     "[INDEXES]\r\n|id|\r\n[CONTROLS]\r\n"));
    auto db = fx.OpenDatabase();
    ASSERT_TRUE(db);
    NewTableContext context;
    QString error;
    EXPECT_FALSE(CreateTableFromTemplate(1, other.file(QStringLiteral("bad.cb")), QStringLiteral("Evil"), other.path(),
                                         db->sql(), context, &error));
    EXPECT_FALSE(db->TableExists(QStringLiteral("Evil")));
    EXPECT_TRUE(db->TableExists(QStringLiteral("Adressen")));
    EXPECT_FALSE(QFile::exists(other.file(QStringLiteral("Evil.dat"))));
}

TEST_F(TemplateCreation, FixedTablesOfTheAdministration)
{
    auto db = fx.OpenDatabase();
    ASSERT_TRUE(db);
    for (const char* table : {"categorieA", "categorieP", "Log", "factuur", "faclijn"})
        EXPECT_TRUE(db->TableExists(QString::fromLatin1(table))) << table;
    for (const char* column : {"cnr", "categorie", "aantal", "ima", "dyna", "dynax"})
        EXPECT_TRUE(db->Scalar(QStringLiteral("SELECT 1 FROM pragma_table_info('categorieP') WHERE name = ?"),
                               {QString::fromLatin1(column)}).isValid()) << column;
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT name FROM pragma_table_info('faclijn') WHERE cid = 1")).toString(),
              QStringLiteral("FL_FNR"));
    // A history entry gets the moment it was written.
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO Log (lognr, ltype, pnr) VALUES (1, 8, 1)")));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT Datum FROM Log")).toString(), QDate::currentDate().toString(Qt::ISODate));
    EXPECT_FALSE(db->Scalar(QStringLiteral("SELECT Tijd FROM Log")).toString().isEmpty());
    // A second run finds everything in place.
    QString error;
    EXPECT_TRUE(CreateAdministrationTables(db->sql(), &error)) << error.toStdString();
}

TEST(Template, LanguageVariantsDifferOnlyInCaptions)
{
    for (const char* base : {"datadefs/Standaard.cb", "datadefs/Standaard.pb"}) {
        TableTemplate dutch;
        ASSERT_TRUE(ReadTableTemplate(Resource(base), &dutch));
        for (const char* suffix : {"f", "e", "d"}) {
            TableTemplate variant;
            ASSERT_TRUE(ReadTableTemplate(Resource(base) + QString::fromLatin1(suffix), &variant)) << base << suffix;
            EXPECT_EQ(Names(variant.fields), Names(dutch.fields));
            ASSERT_EQ(variant.controls.size(), dutch.controls.size());
            for (int i = 0; i < dutch.controls.size(); ++i) {
                const QString& a = dutch.controls.at(i);
                const QString& b = variant.controls.at(i);
                EXPECT_EQ(FieldOf(a, 2), FieldOf(b, 2));
                if (FieldOf(a, 2) != u"7")
                    EXPECT_EQ(a, b);
            }
        }
    }
}
