#include "store_fixture.h"

#include "data/administration.h"
#include "data/columnops.h"
#include "data/dm.h"
#include "data/fielddefs.h"
#include "data/fieldkinds.h"
#include "data/engine_statement.h"
#include "data/fieldtree.h"
#include "data/schema.h"
#include "data/tabletemplate.h"
#include "foundation/files.h"
#include "foundation/msgdlg.h"
#include "foundation/records.h"
#include "foundation/settingsfile.h"
#include "foundation/textfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString ReadAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}

} // namespace

// An administration made from the shipped templates, opened on a data module, with the
// data folder's RWSQL.txt and the program folder's install/leeg.txt in place. Every message
// is recorded and answered with `answer`.
class Fields : public ::testing::Test
{
public:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(fx.MakeAdministration());
        ASSERT_TRUE(CopyFileIfExists(fx.resources() + QStringLiteral("data/RWSQL.txt"),
                                     fx.dataFolder() + QStringLiteral("RWSQL.txt")));
        const QString install = fx.dataFolder() + QStringLiteral("../install/");
        QDir().mkpath(install);
        ASSERT_TRUE(CopyFileIfExists(fx.resources() + QStringLiteral("install/leeg.txt"), install + QStringLiteral("leeg.txt")));
        fx.Exec(QStringLiteral("INSERT INTO Adressen (nummer, Name, ComName, LISTS, INLIST) VALUES "
                               "(2, 'Maes', 'Maes', '0', 0), (3, 'Claes', 'Claes', '0', 0)"));
        SetMessageHook([this](const MessageRequest& request) {
            messages.append(request.text);
            return MessageAnswer{answer, {}, false};
        });
        OpenAdministration();
        WriteSetting(fx.folder() + QStringLiteral("admin.ini"), QStringLiteral("FILTERSTRING"), QStringLiteral("Name = 'x'"));
    }
    void TearDown() override
    {
        SetMessageHook(nullptr);
        SetFieldDesignHooks({});
    }
    void OpenAdministration()
    {
        admin.reset();
        admin = std::make_unique<TAdministration>(fx.folder(), QStringLiteral("Test"), &dm);
        ASSERT_EQ(admin->Status(), asOpen) << admin->StatusReason().toStdString();
    }
    TFieldContext Contacts() { return FieldContextOf(&dm, 2); }
    TFieldContext Products() { return FieldContextOf(&dm, 8); }
    QString Dat(const QString& table = QStringLiteral("Adressen")) { return fx.folder() + table + QStringLiteral(".dat"); }
    QStringList DatLines(const QString& table = QStringLiteral("Adressen")) { return LoadTextLines(Dat(table)); }
    QStringList Columns(const QString& table = QStringLiteral("Adressen"))
    {
        QStringList names;
        for (const FieldDefinition& def : TableColumns(dm.Database()->sql(), table))
            names.append(def.name);
        return names;
    }
    QString Declared(const QString& table, const QString& column)
    {
        return dm.Database()
            ->Scalar(QStringLiteral("SELECT type FROM pragma_table_info(?) WHERE name = ?"), {table, column})
            .toString();
    }
    // The .dat names exactly the table's columns, in order.
    void ExpectDatMatchesTable(const QString& table)
    {
        QStringList names;
        for (const FieldDefinition& def : LoadFieldDefinitions(Dat(table)))
            names.append(def.name);
        EXPECT_EQ(names, Columns(table));
    }

    StoreFixture fx;
    Tdm dm;
    std::unique_ptr<TAdministration> admin;
    QStringList messages;
    int answer = AskFirst;
};

TEST_F(Fields, EveryNewFieldTypeWritesItsDefinitionLineAndColumn)
{
    struct Case
    {
        int code;
        const char* name;
        int typedSize;
        const char* line;
        const char* declared;
    };
    const Case cases[] = {
        {6, "T06", 40, "T06|1|40|FALSE|2|", "CHAR(40)"},
        {7, "T07", 40, "T07|3|0|FALSE|110|", "INTEGER"},
        {8, "JANEE", 30, "JANEE|5|0|FALSE|4|", "BOOLEAN"},
        {9, "T09", 30, "T09|6|0|FALSE|110|", "FLOAT"},
        {11, "T11", 30, "T11|10|0|FALSE|12|", "TIME"},
        {12, "NOTITIE2", 77, "NOTITIE2|16|77|FALSE|1|", "MEMO_TEXT(77)"},
        {13, "T13", 30, "T13|17|0|FALSE|6|", "GRAPHIC"},
        {14, "Telefoon2", 20, "Telefoon2|1|20|FALSE|101|", "CHAR(20)"},
        {15, "T15", 20, "T15|1|20|FALSE|102|", "CHAR(20)"},
        {16, "T16", 20, "T16|1|20|FALSE|103|", "CHAR(20)"},
        {17, "T17", 50, "T17|1|50|FALSE|104|", "CHAR(50)"},
        {18, "T18", 50, "T18|1|50|FALSE|105|", "CHAR(50)"},
        {19, "T19", 30, "T19|9|0|FALSE|11|", "DATE"},
        {20, "T20", 20, "T20|1|20|FALSE|107|", "CHAR(20)"},
        {21, "T21", 20, "T21|1|20|FALSE|108|", "CHAR(20)"},
        {22, "T22", 20, "T22|1|20|FALSE|109|", "CHAR(20)"},
        {23, "T23", 30, "T23|7|0|FALSE|110|", "MONEY"},
        {25, "T25", 30, "T25|1|30|FALSE|112|", "CHAR(30)"},
        {37, "T37", 150, "T37|1|150|FALSE|10|", "CHAR(150)"},
        {38, "T38", 30, "T38|1|30|FALSE|16|", "CHAR(30)"},
    };
    ASSERT_TRUE(dm.queAdressen->Open()) << dm.queAdressen->LastError().toStdString();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile(fx.folder() + QStringLiteral("Adressen.grw")).open(QIODevice::WriteOnly);
        const QList<TFieldNode> nodes = AddNewField(Contacts(), QString::fromLatin1(c.name), c.code, c.typedSize);
        ASSERT_EQ(nodes.size(), 1) << messages.join(u'\n').toStdString();
        EXPECT_EQ(DatLines().last(), QString::fromLatin1(c.line));
        EXPECT_EQ(Declared(QStringLiteral("Adressen"), QString::fromLatin1(c.name)), QString::fromLatin1(c.declared));
        EXPECT_FALSE(QFileInfo::exists(fx.folder() + QStringLiteral("Adressen.grw")));
        EXPECT_EQ(nodes.first().icon, c.code == 38 ? 6 : c.code);
        EXPECT_EQ(nodes.first().childIcon, 1);
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
    ExpectDatMatchesTable(QStringLiteral("Adressen"));
    // The open data set reads the new columns and stays on its record.
    ASSERT_TRUE(dm.tabContacts->Active());
    EXPECT_NE(dm.tabContacts->FindField(QStringLiteral("Telefoon2")), nullptr);
    EXPECT_EQ(dm.tabContacts->FieldByName(QStringLiteral("Telefoon2"))->Size(), 20);
    ASSERT_TRUE(dm.queAdressen->Active());
    EXPECT_NE(dm.queAdressen->FindField(QStringLiteral("T38")), nullptr);
}

TEST_F(Fields, PriceAddsItsEuroCompanionAndThePriceList)
{
    const QList<TFieldNode> nodes = AddNewField(Products(), QStringLiteral("PRIJS2"), 10, 30);
    ASSERT_EQ(nodes.size(), 2) << messages.join(u'\n').toStdString();
    EXPECT_EQ(nodes.at(1).columnName, QStringLiteral("PRIJS2E"));
    EXPECT_EQ(nodes.at(1).kind, fkEuroCompanion);
    EXPECT_EQ(nodes.at(1).childIcon, 0);
    const QStringList lines = DatLines(QStringLiteral("Products"));
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{"PRIJS2|6|0|FALSE|122|", "PRIJS2E|6|0|TRUE|123|"}));
    EXPECT_EQ(Columns(QStringLiteral("Products")).mid(Columns(QStringLiteral("Products")).size() - 2),
              (QStringList{"PRIJS2", "PRIJS2E"}));
    EXPECT_EQ(LoadTextLines(fx.folder() + QStringLiteral("C_P_SPRICE.fld")), (QStringList{"P_SPRICE", "PRIJS2"}));

    ASSERT_EQ(AddNewField(Products(), QStringLiteral("OMSCHR2"), 41, 255).size(), 1);
    EXPECT_EQ(DatLines(QStringLiteral("Products")).last(), QStringLiteral("OMSCHR2|1|255|FALSE|1001|"));
    EXPECT_TRUE(LoadTextLines(fx.folder() + QStringLiteral("C_P_NAME.fld")).contains(QStringLiteral("OMSCHR2")));
    EXPECT_NE(dm.tabProducts->FindField(QStringLiteral("PRIJS2E")), nullptr);
}

TEST_F(Fields, ListFieldGetsACopyOfLeeg)
{
    ASSERT_EQ(AddNewField(Contacts(), QStringLiteral("REGIO"), 24, 30).size(), 1);
    EXPECT_EQ(DatLines().last(), QStringLiteral("REGIO|1|30|FALSE|13|"));
    const QString fld = fx.folder() + QStringLiteral("REGIO.fld");
    ASSERT_TRUE(QFileInfo::exists(fld));
    EXPECT_EQ(ReadAll(fld), ReadAll(fx.resources() + QStringLiteral("install/leeg.txt")));
}

TEST_F(Fields, RefusedNamesChangeNothing)
{
    struct Case
    {
        TFieldContext (Fields::*context)();
        QString name;
        int code;
        QString message;
    };
    const QString invalid = QStringLiteral("mag niet gebruikt worden als veldnaam");
    const QString exists = QStringLiteral("Naam bestaat al!");
    const Case cases[] = {
        {&Fields::Contacts, QStringLiteral("name"), 6, exists},       // differs only in case
        {&Fields::Contacts, QStringLiteral("COMNAME"), 6, exists},
        {&Fields::Contacts, QStringLiteral("select"), 6, invalid},    // reserved
        {&Fields::Contacts, QStringLiteral("Update"), 6, invalid},
        {&Fields::Contacts, QStringLiteral("a b"), 6, invalid},
        {&Fields::Contacts, QStringLiteral("1abc"), 6, invalid},
        {&Fields::Contacts, QStringLiteral("na\"me"), 6, invalid},
        {&Fields::Contacts, QStringLiteral("na'me"), 6, invalid},
        {&Fields::Contacts, QStringLiteral("x|y"), 6, invalid},
        {&Fields::Contacts, QStringLiteral("a/b"), 6, invalid},
        {&Fields::Contacts, QStringLiteral("_x"), 6, invalid},
        {&Fields::Contacts, QString(65, QLatin1Char('a')), 6, invalid},
        // The companion name + "E" is checked too.
        {&Fields::Products, QString(64, QLatin1Char('a')), 10, invalid},
        {&Fields::Products, QStringLiteral("p_pric"), 10, exists},
        {&Fields::Products, QStringLiteral("DELET"), 10, invalid},
    };
    const QStringList contactsDat = DatLines();
    const QStringList productsDat = DatLines(QStringLiteral("Products"));
    const QStringList contacts = Columns();
    const QStringList products = Columns(QStringLiteral("Products"));
    const QStringList prices = LoadTextLines(fx.folder() + QStringLiteral("C_P_SPRICE.fld"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        messages.clear();
        EXPECT_TRUE(AddNewField((this->*c.context)(), c.name, c.code, 30).isEmpty());
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages.first().contains(c.message)) << messages.first().toStdString();
        if (c.message == invalid)
            EXPECT_TRUE(messages.first().startsWith(QLatin1Char('<') + c.name + QLatin1Char('>')));
    }
    EXPECT_EQ(DatLines(), contactsDat);
    EXPECT_EQ(DatLines(QStringLiteral("Products")), productsDat);
    EXPECT_EQ(Columns(), contacts);
    EXPECT_EQ(Columns(QStringLiteral("Products")), products);
    EXPECT_EQ(LoadTextLines(fx.folder() + QStringLiteral("C_P_SPRICE.fld")), prices);

    // AddColumn itself never lets an unsafe name or a type that cannot be added through.
    EXPECT_FALSE(AddColumn(QStringLiteral("Adressen"), QStringLiteral("x\" TEXT, y"), true, fx.folder(), 1, 10, 2));
    EXPECT_FALSE(AddColumn(QStringLiteral("Adressen"), QStringLiteral("SMALL"), true, fx.folder(), 2, 0, 110));
    EXPECT_FALSE(AddColumn(QStringLiteral("Adressen"), QStringLiteral("AUTO"), true, fx.folder(), 14, 0, 110));
    EXPECT_EQ(Columns(), contacts);
}

TEST_F(Fields, MissingReservedWordsOrDefinitionFileIsToldNotFatal)
{
    QFile::remove(fx.dataFolder() + QStringLiteral("RWSQL.txt"));
    EXPECT_TRUE(AddNewField(Contacts(), QStringLiteral("EXTRA"), 6, 30).isEmpty());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains(QStringLiteral("RWSQL.txt")));
    EXPECT_FALSE(Columns().contains(QStringLiteral("EXTRA")));

    messages.clear();
    QFile::remove(Dat());
    EXPECT_TRUE(AddNewField(Contacts(), QStringLiteral("EXTRA"), 6, 30).isEmpty());
    bool ok = true;
    EXPECT_TRUE(FieldNodes(Contacts(), &ok).isEmpty());
    EXPECT_FALSE(ok);
    EXPECT_FALSE(RemoveField(Contacts(), QStringLiteral("Country")));
    ASSERT_EQ(messages.size(), 3);
    for (const QString& m : messages)
        EXPECT_TRUE(m.contains(QStringLiteral("Adressen.dat"))) << m.toStdString();
    EXPECT_FALSE(Columns().contains(QStringLiteral("EXTRA")));
    EXPECT_TRUE(Columns().contains(QStringLiteral("Country")));
}

TEST_F(Fields, RemovingAColumnChangesTheTableThenTheCardAndTheFiles)
{
    ASSERT_EQ(AddNewField(Contacts(), QStringLiteral("TEL2"), 14, 20).size(), 1);
    QFile(fx.folder() + QStringLiteral("Adressen.grw")).open(QIODevice::WriteOnly);
    QStringList freed;
    int deselected = 0;
    SetFieldDesignHooks({[&] { ++deselected; }, [&](const QString& column) {
                             freed.append(column);
                             // The card is freed only after the table lost the column.
                             EXPECT_FALSE(Columns().contains(column));
                         }});
    dm.tabContacts->Locate(QStringLiteral("nummer"), 3);

    answer = AskSecond;   // Nee: nothing happens
    EXPECT_FALSE(RemoveField(Contacts(), QStringLiteral("TEL2")));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().startsWith(QStringLiteral("Veld <TEL2> wordt verwijderd!")));
    EXPECT_TRUE(Columns().contains(QStringLiteral("TEL2")));

    answer = AskFirst;
    EXPECT_TRUE(RemoveField(Contacts(), QStringLiteral("TEL2")));
    EXPECT_FALSE(Columns().contains(QStringLiteral("TEL2")));
    EXPECT_EQ(freed, QStringList{QStringLiteral("TEL2")});
    EXPECT_GE(deselected, 1);
    ExpectDatMatchesTable(QStringLiteral("Adressen"));
    EXPECT_FALSE(QFileInfo::exists(fx.folder() + QStringLiteral("Adressen.grw")));
    EXPECT_TRUE(ReadSetting(fx.folder() + QStringLiteral("admin.ini"), QStringLiteral("FILTERSTRING")).isEmpty());
    ASSERT_TRUE(dm.tabContacts->Active());
    EXPECT_EQ(dm.tabContacts->FindField(QStringLiteral("TEL2")), nullptr);
    EXPECT_EQ(dm.tabContacts->FieldByName(QStringLiteral("nummer"))->AsInteger(), 3);
}

TEST_F(Fields, RemovingAPriceRemovesItsCompanionByName)
{
    ASSERT_EQ(AddNewField(Products(), QStringLiteral("PRIJS2"), 10, 30).size(), 2);
    ASSERT_EQ(AddNewField(Products(), QStringLiteral("NAAFTER"), 6, 30).size(), 1);
    // The companion line no longer follows its price: it goes by its name.
    QStringList lines = DatLines(QStringLiteral("Products"));
    lines.move(lines.indexOf(QStringLiteral("PRIJS2E|6|0|TRUE|123|")), lines.size() - 1);
    SaveTextLines(Dat(QStringLiteral("Products")), lines);

    EXPECT_TRUE(RemoveField(Products(), QStringLiteral("PRIJS2")));
    EXPECT_FALSE(Columns(QStringLiteral("Products")).contains(QStringLiteral("PRIJS2")));
    EXPECT_FALSE(Columns(QStringLiteral("Products")).contains(QStringLiteral("PRIJS2E")));
    EXPECT_TRUE(Columns(QStringLiteral("Products")).contains(QStringLiteral("NAAFTER")));
    ExpectDatMatchesTable(QStringLiteral("Products"));
    EXPECT_EQ(LoadTextLines(fx.folder() + QStringLiteral("C_P_SPRICE.fld")), QStringList{QStringLiteral("P_SPRICE")});
}

TEST_F(Fields, RemovalRefusals)
{
    ASSERT_EQ(AddNewField(Contacts(), QStringLiteral("TEL2"), 14, 20).size(), 1);
    ASSERT_FALSE(AddColumnIndex(Contacts(), QStringLiteral("TEL2")).isEmpty());
    dm.tabContacts->SetIndexName(QStringLiteral("iAdr5"));
    ASSERT_EQ(AddNewField(Products(), QStringLiteral("PRIJS2"), 10, 30).size(), 2);
    struct Case
    {
        TFieldContext (Fields::*context)();
        QString column;
        QString message;
    };
    const Case cases[] = {
        {&Fields::Contacts, QString(), QStringLiteral("Er is geen veld geselecteerd!")},
        {&Fields::Contacts, QStringLiteral("TEL2"),
         QStringLiteral("Dit veld mag niet verwijderd worden - verwijder index voor deze veld eerst!")},
        {&Fields::Contacts, QStringLiteral("Name"),
         QStringLiteral("Dit veld mag niet verwijderd worden - verwijder index voor deze veld eerst!")},
        {&Fields::Contacts, QStringLiteral("GivenName"), QStringLiteral("Dit veld mag niet verwijderd worden")},
        {&Fields::Products, QStringLiteral("PRIJS2E"), QStringLiteral("Dit veld mag niet verwijderd worden")},
    };
    const QStringList contacts = Columns();
    const QStringList products = Columns(QStringLiteral("Products"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column.toStdString());
        messages.clear();
        EXPECT_FALSE(RemoveField((this->*c.context)(), c.column));
        EXPECT_EQ(messages, QStringList{c.message});
    }
    EXPECT_EQ(Columns(), contacts);
    EXPECT_EQ(Columns(QStringLiteral("Products")), products);
}

TEST_F(Fields, FailedRemovalLeavesEverythingAsItWas)
{
    ASSERT_EQ(AddNewField(Contacts(), QStringLiteral("TEL2"), 14, 20).size(), 1);
    ASSERT_EQ(AddNewField(Products(), QStringLiteral("PRIJS2"), 10, 30).size(), 2);
    QFile(fx.folder() + QStringLiteral("Adressen.grw")).open(QIODevice::WriteOnly);
    bool freed = false;
    SetFieldDesignHooks({{}, [&](const QString&) { freed = true; }});
    const QStringList contactsDat = DatLines();
    const QStringList productsDat = DatLines(QStringLiteral("Products"));
    const QStringList prices = LoadTextLines(fx.folder() + QStringLiteral("C_P_SPRICE.fld"));

    // A view on the column makes the engine refuse; for the price it is the companion's.
    fx.Exec(QStringLiteral("CREATE VIEW v1 AS SELECT TEL2 FROM Adressen"));
    fx.Exec(QStringLiteral("CREATE VIEW v2 AS SELECT PRIJS2E FROM Products"));
    dm.Database()->statements().ClearIdle();
    EXPECT_FALSE(RemoveColumn(Contacts(), QStringLiteral("TEL2"), fkTelephone));
    EXPECT_FALSE(RemoveColumn(Products(), QStringLiteral("PRIJS2"), fkPrice));
    fx.Exec(QStringLiteral("DROP VIEW v1"));
    fx.Exec(QStringLiteral("DROP VIEW v2"));
    // Another program writing: the table is busy and the user answers Nee.
    dm.Database()->SetBusyTimeout(50);
    auto other = fx.OpenDatabase();
    ASSERT_TRUE(other->Transaction());
    EXPECT_FALSE(RemoveColumn(Contacts(), QStringLiteral("TEL2"), fkTelephone));
    other->Rollback();

    ASSERT_EQ(messages.size(), 3);
    for (const QString& m : messages)
        EXPECT_EQ(m, QStringLiteral("Verwijderen van veld is mislukt, sluit programma en probeer het opnieuw!"));
    EXPECT_FALSE(freed);
    EXPECT_TRUE(Columns().contains(QStringLiteral("TEL2")));
    EXPECT_TRUE(Columns(QStringLiteral("Products")).contains(QStringLiteral("PRIJS2")));
    EXPECT_TRUE(Columns(QStringLiteral("Products")).contains(QStringLiteral("PRIJS2E")));
    EXPECT_EQ(DatLines(), contactsDat);
    EXPECT_EQ(DatLines(QStringLiteral("Products")), productsDat);
    EXPECT_EQ(LoadTextLines(fx.folder() + QStringLiteral("C_P_SPRICE.fld")), prices);
    EXPECT_TRUE(QFileInfo::exists(fx.folder() + QStringLiteral("Adressen.grw")));
    EXPECT_EQ(ReadSetting(fx.folder() + QStringLiteral("admin.ini"), QStringLiteral("FILTERSTRING")), QStringLiteral("Name = 'x'"));
    EXPECT_TRUE(dm.tabContacts->Active());
    EXPECT_NE(dm.tabContacts->FindField(QStringLiteral("TEL2")), nullptr);
}

TEST_F(Fields, IndexRules)
{
    ASSERT_EQ(AddNewField(Contacts(), QStringLiteral("TEL2"), 14, 20).size(), 1);
    const int position = Columns().indexOf(QStringLiteral("TEL2"));
    const QString name = AddColumnIndex(Contacts(), QStringLiteral("TEL2"));
    EXPECT_EQ(name, QStringLiteral("iAdr%1").arg(position));
    EXPECT_EQ(dm.tabContacts->IndexName().compare(name, Qt::CaseInsensitive), 0);
    QStandardItemModel tree;
    ASSERT_TRUE(FillFieldTree(Contacts(), tree));
    QStandardItem* node = FindFieldNode(tree, QStringLiteral("TEL2"));
    ASSERT_NE(node, nullptr);
    ASSERT_EQ(node->rowCount(), 3);
    EXPECT_EQ(node->child(2)->text().compare(name, Qt::CaseInsensitive), 0);
    EXPECT_EQ(node->child(2)->data(ftrIconIndex).toInt(), 24);

    // The current index cannot go.
    messages.clear();
    EXPECT_FALSE(RemoveColumnIndex(Contacts(), QStringLiteral("TEL2")));
    EXPECT_EQ(messages, QStringList{QStringLiteral("Index voor dit veld is actief")});
    ASSERT_TRUE(dm.tabContacts->SetIndexName(QString()));
    messages.clear();
    EXPECT_TRUE(RemoveColumnIndex(Contacts(), QStringLiteral("TEL2")));
    EXPECT_TRUE(messages.isEmpty());
    for (const TIndexDef& def : dm.tabContacts->IndexDefs())
        EXPECT_FALSE(def.fields.contains(QStringLiteral("TEL2")));

    // Position 1 in both designers, position 5 in the contact card designer: made again.
    const QString required = QStringLiteral("Deze index is vereist voor werking van Quillon en zal opnieuw aangemaakt worden");
    struct Case
    {
        TFieldContext (Fields::*context)();
        TTable* table;
        QString column;
    };
    const Case cases[] = {
        {&Fields::Contacts, dm.tabContacts, QStringLiteral("Name")},
        {&Fields::Contacts, dm.tabContacts, QStringLiteral("ComName")},
        {&Fields::Products, dm.tabProducts, QStringLiteral("P_CODE")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column.toStdString());
        ASSERT_TRUE(c.table->SetIndexName(QString()));
        messages.clear();
        EXPECT_TRUE(RemoveColumnIndex((this->*c.context)(), c.column));
        EXPECT_EQ(messages, QStringList{required});
        bool found = false;
        for (const TIndexDef& def : c.table->IndexDefs())
            found = found || def.fields == QStringList{c.column};
        EXPECT_TRUE(found);
    }
    // Position 2 of the products is not required.
    messages.clear();
    EXPECT_TRUE(RemoveColumnIndex(Products(), QStringLiteral("P_NAME")));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Fields, ShrinkingAskesBeforeCuttingLongerValues)
{
    ASSERT_EQ(AddNewField(Contacts(), QStringLiteral("CODE"), 6, 30).size(), 1);
    ASSERT_FALSE(AddColumnIndex(Contacts(), QStringLiteral("CODE")).isEmpty());
    dm.tabContacts->SetIndexName(QStringLiteral("iAdr5"));
    fx.Exec(QStringLiteral("UPDATE Adressen SET CODE = 'abcdefghij' WHERE nummer = 2"));
    fx.Exec(QStringLiteral("UPDATE Adressen SET CODE = 'abc' WHERE nummer = 3"));
    const int indexes = dm.tabContacts->IndexDefs().size();

    answer = AskSecond;
    EXPECT_FALSE(ResizeColumn(Contacts(), QStringLiteral("CODE"), 5));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains(QStringLiteral("<CODE>")));
    EXPECT_EQ(Declared(QStringLiteral("Adressen"), QStringLiteral("CODE")), QStringLiteral("CHAR(30)"));
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT CODE FROM Adressen WHERE nummer = 2")).toString(), QStringLiteral("abcdefghij"));
    EXPECT_EQ(DatLines().last(), QStringLiteral("CODE|1|30|FALSE|2|"));

    answer = AskFirst;
    EXPECT_TRUE(ResizeColumn(Contacts(), QStringLiteral("CODE"), 5));
    EXPECT_EQ(Declared(QStringLiteral("Adressen"), QStringLiteral("CODE")), QStringLiteral("CHAR(5)"));
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT CODE FROM Adressen WHERE nummer = 2")).toString(), QStringLiteral("abcde"));
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT CODE FROM Adressen WHERE nummer = 3")).toString(), QStringLiteral("abc"));
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT count(*) FROM Adressen")).toInt(), 3);
    EXPECT_EQ(DatLines().last(), QStringLiteral("CODE|1|5|FALSE|2|"));
    EXPECT_EQ(dm.tabContacts->IndexDefs().size(), indexes);
    EXPECT_EQ(fx.Scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    ASSERT_TRUE(dm.tabContacts->Active());
    EXPECT_EQ(dm.tabContacts->IndexName().compare(QStringLiteral("iAdr5"), Qt::CaseInsensitive), 0);
    EXPECT_EQ(dm.tabContacts->FieldByName(QStringLiteral("CODE"))->Size(), 5);

    // Growing keeps every value without asking.
    messages.clear();
    EXPECT_TRUE(ResizeColumn(Contacts(), QStringLiteral("CODE"), 80));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(Declared(QStringLiteral("Adressen"), QStringLiteral("CODE")), QStringLiteral("CHAR(80)"));
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT CODE FROM Adressen WHERE nummer = 2")).toString(), QStringLiteral("abcde"));
}

TEST_F(Fields, FieldTreeShowsKindsTypesSizesAndIndexes)
{
    QStandardItemModel tree;
    ASSERT_TRUE(FillFieldTree(Products(), tree));
    EXPECT_EQ(tree.rowCount(), Columns(QStringLiteral("Products")).size());
    QStandardItem* id = FindFieldNode(tree, QStringLiteral("P_ID"));
    ASSERT_NE(id, nullptr);
    ASSERT_EQ(id->rowCount(), 3);
    EXPECT_EQ(id->child(2)->text(), QStringLiteral("Primary"));
    EXPECT_EQ(id->child(0)->data(ftrIconIndex).toInt(), 2);   // fixed
    QStandardItem* euro = FindFieldNode(tree, QStringLiteral("P_PRICEE"));
    ASSERT_NE(euro, nullptr);
    EXPECT_EQ(euro->data(ftrIconIndex).toInt(), 10);
    EXPECT_EQ(euro->data(ftrOverlay).toInt(), 123);
    EXPECT_EQ(euro->child(0)->data(ftrIconIndex).toInt(), 0);  // companion
    QStandardItem* notes = FindFieldNode(tree, QStringLiteral("P_NOTES"));
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->child(0)->text(), QStringLiteral("Notities"));
    EXPECT_EQ(notes->child(1)->text(), QStringLiteral("240"));
    EXPECT_EQ(notes->child(1)->data(ftrIconIndex).toInt(), 1);
    EXPECT_EQ(ColumnNodeOf(notes->child(1)), notes);

    ASSERT_TRUE(FillFieldTree(Contacts(), tree));
    QStandardItem* phone = FindFieldNode(tree, QStringLiteral("Telephone private"));
    ASSERT_NE(phone, nullptr);
    EXPECT_EQ(phone->data(ftrIconIndex).toInt(), 14);
    EXPECT_EQ(phone->child(0)->text(), QStringLiteral("Telefoon"));
    EXPECT_EQ(phone->child(0)->data(ftrIconIndex).toInt(), 0);   // protected with a kind
    QStandardItem* comName = FindFieldNode(tree, QStringLiteral("ComName"));
    ASSERT_NE(comName, nullptr);
    EXPECT_EQ(comName->child(2)->text().compare(QStringLiteral("iadr5"), Qt::CaseInsensitive), 0);
}

TEST_F(Fields, KindsIconsAndTypeNames)
{
    EXPECT_EQ(TreeIconOfKind(fkFixed, dtMoney), 23);
    EXPECT_EQ(TreeIconOfKind(fkNumber, dtFloat), 9);
    EXPECT_EQ(TreeIconOfKind(fkNumber, dtInteger), 7);
    EXPECT_EQ(TreeIconOfKind(fkOldDate, dtDate), 19);
    EXPECT_EQ(TreeIconOfKind(111, dtText), 24);
    EXPECT_EQ(TreeIconOfKind(124, dtText), 60);
    EXPECT_EQ(TreeIconOfKind(fkPlainText, dtText), 6);
    EXPECT_EQ(TreeIconOfKind(fkFixed, dtBlob), 6);
    EXPECT_EQ(TypeDisplayName(dtText, fkList2), QStringLiteral("Lijstveld"));
    EXPECT_EQ(TypeDisplayName(dtGraphic, fkIcon), QStringLiteral("Icoon"));
    EXPECT_EQ(TypeDisplayName(dtFloat, fkPrice), QStringLiteral("Numeriek met cijfers na de komma"));
    EXPECT_EQ(NewFieldChoiceOfCode(99).kind, 0);
    EXPECT_EQ(NewFieldChoiceOfCode(99).dataType, 1);
    QStringList codes;
    for (const NewFieldChoice& c : NewFieldChoices(2))
        codes.append(QStringLiteral("%1%2").arg(c.code, 2, 10, QLatin1Char('0')).arg(c.text));
    EXPECT_EQ(codes, (QStringList{"06Tekst", "07Numeriek", "09Numeriek met cijfers na de komma", "08Ja/Nee", "23Valuta",
                                  "19Datum", "11Tijd", "12Notities", "13Afbeelding", "14Telefoon", "15GSM", "16Fax",
                                  "17E-mail", "18Web", "20BTW", "21CreditCard", "22Rekening", "24Lijstveld",
                                  "25Plaatsveld", "37Externe afbeelding"}));
    EXPECT_EQ(NewFieldChoices(8).size(), 22);
    EXPECT_EQ(NewFieldChoices(8).at(20).code, 10);
    EXPECT_EQ(NewFieldChoices(8).at(21).code, 41);
}

TEST_F(Fields, DisagreeingDefinitionFileIsRepairedWhenTheAdministrationOpens)
{
    QStringList lines = DatLines();
    const QString country = lines.at(9);
    ASSERT_TRUE(country.startsWith(QStringLiteral("Country|")));
    lines.removeAt(9);                                   // a column without its line
    lines.insert(3, QStringLiteral("GONE|1|20|FALSE|2|"));  // a line without its column
    lines[1] = SetFieldOf(lines.at(1), 3, QStringLiteral("7"));   // Name's size disagrees
    lines.append(QString());
    SaveTextLines(Dat(), lines);
    const QStringList products = DatLines(QStringLiteral("Products"));
    messages.clear();
    OpenAdministration();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains(QStringLiteral("Adressen.dat"))) << messages.first().toStdString();
    EXPECT_FALSE(messages.first().contains(QStringLiteral("Products.dat")));
    ExpectDatMatchesTable(QStringLiteral("Adressen"));
    EXPECT_EQ(DatLines().at(1), QStringLiteral("Name|1|50|TRUE|0|"));
    EXPECT_EQ(DatLines().at(9), QStringLiteral("Country|1|40|FALSE|2|"));
    EXPECT_EQ(DatLines(QStringLiteral("Products")), products);

    // A sound file is left alone and nothing is said.
    messages.clear();
    OpenAdministration();
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Fields, ListValueFilesKeepTheirDefault)
{
    const QString file = fx.folder() + QStringLiteral("C_P_SPRICE.fld");
    EXPECT_TRUE(RemoveListValue(file, QStringLiteral("P_SPRICE")));
    EXPECT_EQ(LoadTextLines(file), QStringList{QStringLiteral("P_SPRICE")});
    EXPECT_TRUE(AppendListValue(file, QStringLiteral("X")));
    EXPECT_TRUE(AppendListValue(file, QStringLiteral("x")));
    EXPECT_EQ(LoadTextLines(file), (QStringList{"P_SPRICE", "X"}));
    EXPECT_TRUE(RemoveListValue(fx.folder() + QStringLiteral("none.fld"), QStringLiteral("X")));
    EXPECT_FALSE(QFileInfo::exists(fx.folder() + QStringLiteral("none.fld")));
}

TEST_F(Fields, AddColumnOnAnAdministrationThatIsNotBound)
{
    admin.reset();   // the data module lets go of the folder
    EXPECT_TRUE(AddColumn(QStringLiteral("Adressen"), QStringLiteral("LOOSE"), false, fx.folder(), dtText, 12, fkText));
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT type FROM pragma_table_info('Adressen') WHERE name = 'LOOSE'")).toString(),
              QStringLiteral("CHAR(12)"));
}
