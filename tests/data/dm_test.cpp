#include "store_fixture.h"

#include "data/administration.h"
#include "data/dm.h"
#include "data/printquery.h"
#include "data/scratch.h"
#include "data/shareddb.h"
#include "data/tabletemplate.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"
#include "foundation/textfile.h"
#include "foundation/translate.h"

#include <gtest/gtest.h>

#include <QDir>

class DataModule : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(fx.MakeAdministration());
        fx.Exec(QStringLiteral("INSERT INTO Adressen (nummer, Name, GivenName, ComName, Place, LISTS, INLIST) VALUES "
                               "(2, 'Maes', 'An', 'Maes An', 'Brugge', '0', 0), "
                               "(3, 'O''Brien', 'x', 'O''Brien \"x\" 100%', 'Liège', '0', 0)"));
        admin = std::make_unique<TAdministration>(fx.folder(), QStringLiteral("Test"), &dm);
        ASSERT_EQ(admin->Status(), asOpen) << admin->StatusReason().toStdString();
        SetMessageHook([this](const MessageRequest& request) {
            notices.append(request.text);
            return MessageAnswer{};
        });
    }
    void TearDown() override { SetMessageHook(nullptr); }

    int Count(const QString& table) { return dm.Database()->Scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt(); }

    StoreFixture fx;
    Tdm dm;
    std::unique_ptr<TAdministration> admin;
    QStringList notices;
};

TEST_F(DataModule, DisplaySetUpOfOpenedTables)
{
    TTable& p = *dm.tabProducts;
    EXPECT_EQ(p.FieldByName(QStringLiteral("P_SPRICEE"))->DisplayFormat(), QStringLiteral(",#.00 \"EUR\""));
    EXPECT_EQ(p.FieldByName(QStringLiteral("P_PRICEE"))->DisplayFormat(), QStringLiteral(",#.00 \"EUR\""));
    EXPECT_EQ(p.FieldByName(QStringLiteral("P_SPRICE"))->DisplayFormat(), QStringLiteral(",#0.00"));
    EXPECT_EQ(p.FieldByName(QStringLiteral("P_SPRICE"))->Alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(p.FieldByName(QStringLiteral("INLIST"))->DisplayValues(), Translate(QStringLiteral("Ja;Nee")));
    EXPECT_EQ(p.FieldByName(QStringLiteral("P_CREATINGDATE"))->EditMask(), QStringLiteral("!90/90/0000;1;_"));
    EXPECT_EQ(p.FieldByName(QStringLiteral("P_CREATINGDATE"))->DisplayFormat(), QStringLiteral("dd/mm/yyyy"));
    EXPECT_EQ(dm.tabContacts->FieldByName(QStringLiteral("COMPANY"))->DisplayLabel(), Translate(QStringLiteral("COMPANY")));
    EXPECT_EQ(p.Tag(), 0);

    // The per-cent columns, on a query that has them.
    dm.queDatabase2->SetSql(QStringLiteral("SELECT 21.0 AS VAT, 5.0 AS discount, 1 AS P_ID"));
    ASSERT_TRUE(dm.queDatabase2->Open()) << dm.queDatabase2->LastError().toStdString();
    EXPECT_EQ(dm.queDatabase2->FieldByName(QStringLiteral("VAT"))->DisplayFormat(), QStringLiteral("0.00 \"%\""));
    EXPECT_EQ(dm.queDatabase2->FieldByName(QStringLiteral("discount"))->EditFormat(), QStringLiteral("0.00"));
}

TEST_F(DataModule, DisplaySetUpSkipsCalculatedColumnsAndRestoresTheMark)
{
    TTable table;
    table.SetDatabase(dm.Database());
    table.SetTableName(QStringLiteral("factuur"));
    TField* calculated = table.AddCalculatedField(QStringLiteral("FNR+Datum"), 1, 30);
    calculated->SetDisplayLabel(QStringLiteral("Fnr+Datum+Totaal"));
    table.AfterOpen = [&](TDataSet& d) { dm.SetUpDisplay(d); };
    table.SetTag(5);
    ASSERT_TRUE(table.Open()) << table.LastError().toStdString();
    EXPECT_EQ(calculated->DisplayLabel(), QStringLiteral("Fnr+Datum+Totaal"));
    EXPECT_EQ(table.FieldByName(QStringLiteral("F_TOTVAL"))->DisplayFormat(), QStringLiteral(",#0.00"));
    EXPECT_EQ(table.Tag(), 5);
}

TEST_F(DataModule, CopyTableRowsAppendsOrUpdates)
{
    // A second administration with the same contacts table.
    const QString other = fx.dataFolder() + QStringLiteral("Other/");
    QDir().mkpath(other);
    {
        QString error;
        auto db = TDatabase::Open(other + QStringLiteral("admin.sqlite"), QString(), &error);
        ASSERT_TRUE(db) << error.toStdString();
        NewTableContext context;
        context.installFolder = fx.resources() + QStringLiteral("install/");
        ASSERT_TRUE(CreateTableFromTemplate(1, fx.resources() + QStringLiteral("datadefs/Standaard.cb"),
                                            QStringLiteral("Adressen"), other, db->sql(), context, &error))
            << error.toStdString();
        ASSERT_TRUE(db->Exec(QStringLiteral("UPDATE Adressen SET ComName = 'Nieuw ACME' WHERE nummer = 1")));
        ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO Adressen (nummer, ComName) VALUES (10, 'Tien'), (11, 'Elf')")));
    }
    TTable& contacts = *dm.tabContacts;
    const QString index = contacts.IndexName();
    ASSERT_EQ(contacts.RecordCount(), 3);

    ASSERT_TRUE(dm.CopyTableRows(other, QStringLiteral("Adressen"), true, contacts));
    EXPECT_TRUE(contacts.Active());
    EXPECT_EQ(contacts.IndexName(), index);
    EXPECT_EQ(contacts.RecordCount(), 5);
    EXPECT_EQ(dm.Database()->Scalar(QStringLiteral("SELECT ComName FROM Adressen WHERE nummer = 1")).toString(),
              QStringLiteral("Nieuw ACME"));

    // Appending keeps the existing rows and gives the copies of taken identifiers new ones.
    ASSERT_TRUE(dm.CopyTableRows(other, QStringLiteral("Adressen"), false, contacts));
    EXPECT_EQ(contacts.RecordCount(), 8);
    EXPECT_EQ(dm.Database()->Scalar(QStringLiteral("SELECT COUNT(*) FROM Adressen WHERE ComName = 'Tien'")).toInt(), 2);
    EXPECT_EQ(dm.Database()->Scalar(QStringLiteral("SELECT COUNT(DISTINCT nummer) FROM Adressen")).toInt(), 8);
    EXPECT_TRUE(notices.isEmpty());
}

TEST_F(DataModule, CopyTableRowsRefusesOtherColumns)
{
    const QString other = fx.dataFolder() + QStringLiteral("Other/");
    QDir().mkpath(other);
    {
        auto db = TDatabase::Open(other + QStringLiteral("admin.sqlite"), QString());
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->Exec(QStringLiteral("CREATE TABLE Adressen (nummer INTEGER PRIMARY KEY, ComName FLOAT, Name CHAR(50))")));
        ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO Adressen VALUES (20, 1.5, 'x')")));
    }
    EXPECT_FALSE(dm.CopyTableRows(other, QStringLiteral("Adressen"), false, *dm.tabContacts));
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices.first(), Translate(QStringLiteral("Velden van tabelllen zijn niet gelijk! Maak gebruik van import functie")));
    EXPECT_EQ(Count(QStringLiteral("Adressen")), 3);
    EXPECT_TRUE(dm.tabContacts->Active());
}

TEST_F(DataModule, FillScratchTableAddsBlankRowsAndRepeats)
{
    TQuery query;
    query.SetDatabase(dm.Database());
    query.SetSql(QStringLiteral("SELECT nummer, ComName, CreatingDate FROM Adressen WHERE nummer >= :low ORDER BY nummer"));
    query.ParamByName(QStringLiteral(":low"))->SetValue(2);
    ASSERT_TRUE(dm.FillScratchTable(2, query, 3));
    EXPECT_EQ(query.Sql(), QStringList{QStringLiteral("SELECT * FROM \"scratch\"")});
    ASSERT_TRUE(query.Open()) << query.LastError().toStdString();
    QStringList names;
    while (!query.Eof()) {
        names.append(query.FieldByName(QStringLiteral("ComName"))->AsString());
        query.Next();
    }
    EXPECT_EQ(names, (QStringList{QString(), QString(), QStringLiteral("Maes An"), QStringLiteral("O'Brien \"x\" 100%"),
                                  QStringLiteral("Maes An"), QStringLiteral("O'Brien \"x\" 100%"), QStringLiteral("Maes An"),
                                  QStringLiteral("O'Brien \"x\" 100%")}));
    query.Close();

    // Again, now without blank rows: the old scratch rows are gone.
    TQuery again;
    again.SetDatabase(dm.Database());
    again.SetSql(QStringLiteral("SELECT nummer FROM Adressen"));
    ASSERT_TRUE(dm.FillScratchTable(0, again, 1));
    EXPECT_EQ(dm.Database()->Scalar(QStringLiteral("SELECT COUNT(*) FROM scratch")).toInt(), 3);
    EXPECT_FALSE(dm.Database()->TableExists(QStringLiteral("scratch"), QStringLiteral("main")));

    // A one-direction query with no rows: only the blank rows.
    dm.queAdressen->SetSql(QStringLiteral("SELECT * FROM Adressen WHERE nummer > 100"));
    ASSERT_TRUE(dm.FillScratchTable(4, *dm.queAdressen, 2));
    EXPECT_EQ(dm.Database()->Scalar(QStringLiteral("SELECT COUNT(*) FROM scratch")).toInt(), 4);
    dm.queAdressen->SetSql(QStringLiteral("SELECT * FROM Adressen"));
    ASSERT_TRUE(dm.FillScratchTable(0, *dm.queAdressen, 2));
    EXPECT_EQ(dm.Database()->Scalar(QStringLiteral("SELECT COUNT(*) FROM scratch WHERE ComName = 'O''Brien \"x\" 100%'")).toInt(), 2);
}

TEST_F(DataModule, ScratchRowsArePrivateToTheirConnection)
{
    auto second = fx.OpenDatabase();
    ASSERT_TRUE(second);
    TQuery mine;
    mine.SetDatabase(dm.Database());
    mine.SetSql(QStringLiteral("SELECT nummer FROM Adressen"));
    TQuery theirs;
    theirs.SetDatabase(second.get());
    theirs.SetSql(QStringLiteral("SELECT nummer FROM Adressen WHERE nummer = 1"));
    ASSERT_TRUE(dm.FillScratchTable(0, mine, 2));
    ASSERT_TRUE(FillScratchTable(*second, 5, theirs, 1));
    EXPECT_EQ(dm.Database()->Scalar(QStringLiteral("SELECT COUNT(*) FROM scratch")).toInt(), 6);
    EXPECT_EQ(second->Scalar(QStringLiteral("SELECT COUNT(*) FROM scratch WHERE nummer IS NULL")).toInt(), 5);
    EXPECT_EQ(dm.Database()->Scalar(QStringLiteral("SELECT COUNT(*) FROM scratch WHERE nummer IS NULL")).toInt(), 0);
}

class PrintQuery : public DataModule
{
protected:
    void SetUp() override
    {
        DataModule::SetUp();
        TDatabase& db = *dm.Database();
        ASSERT_TRUE(db.Exec(QStringLiteral("INSERT INTO Products (P_ID, P_CODE, P_NAME) VALUES (2, 'B', 'Bout'), (3, 'M', 'Moer')")));
        ASSERT_TRUE(db.Exec(QStringLiteral("INSERT INTO factuur (F_ID, F_FACNR, F_CID, F_TYPE) VALUES (1, 'F1', 2, 1), (2, 'F2', 3, 1)")));
        ASSERT_TRUE(db.Exec(QStringLiteral("INSERT INTO faclijn (FL_ID, FL_FNR, FL_PRODUCT, FL_PID) VALUES "
                                           "(3, 1, 'Moer', 3), (1, 1, 'Bout', 2), (2, 1, 'Vrije tekst', 0), (4, 2, 'Bout', 2)")));
        // What printing prepares: the document's contact and the products.
        ASSERT_TRUE(db.Exec(QStringLiteral("CREATE TEMP TABLE tempCON AS SELECT * FROM Adressen WHERE nummer = 2")));
        ASSERT_TRUE(db.Exec(QStringLiteral("CREATE TEMP TABLE tempPRO AS SELECT * FROM Products")));
        ASSERT_TRUE(db.Exec(QStringLiteral("CREATE TEMP TABLE tempFACT AS SELECT * FROM faclijn WHERE FL_FNR = 1")));
    }

    QStringList Rows(const QString& ovraSettings, const QString& column)
    {
        const QString ini = fx.dataFolder() + QStringLiteral("ovra.ini");
        EXPECT_TRUE(SaveTextFile(ini, ovraSettings));
        dm.BuildPrintQuery(ini);
        TQuery& q = *dm.QueFacturen;
        q.ParamByName(QStringLiteral("f_ID"))->SetValue(1);
        EXPECT_TRUE(q.Open()) << q.LastError().toStdString();
        QStringList rows;
        while (q.Active() && !q.Eof()) {
            rows.append(q.FieldByName(QStringLiteral("FL_ID"))->AsString() + QLatin1Char(':')
                        + q.FieldByName(column)->AsString());
            q.Next();
        }
        q.Close();
        return rows;
    }
};

TEST_F(PrintQuery, FastInvoiceJoinsContactDocumentAndLines)
{
    EXPECT_EQ(Rows(QString(), QStringLiteral("ComName")),
              (QStringList{QStringLiteral("1:Maes An"), QStringLiteral("2:Maes An"), QStringLiteral("3:Maes An")}));
    EXPECT_EQ(Rows(QStringLiteral("FASTINVOICE TRUE\r\nINVOICEGROUPBY FALSE"), QStringLiteral("F_FACNR")),
              (QStringList{QStringLiteral("1:F1"), QStringLiteral("2:F1"), QStringLiteral("3:F1")}));
}

TEST_F(PrintQuery, GroupedLinesComeFromTheirScratchTable)
{
    EXPECT_EQ(Rows(QStringLiteral("FASTINVOICE FALSE"), QStringLiteral("FL_PRODUCT")),
              (QStringList{QStringLiteral("1:Bout"), QStringLiteral("2:Vrije tekst"), QStringLiteral("3:Moer")}));
}

TEST_F(PrintQuery, FullVariantKeepsLinesWithoutProduct)
{
    EXPECT_EQ(Rows(QStringLiteral("FASTINVOICE FALSE\r\nINVOICEGROUPBY FALSE"), QStringLiteral("P_CODE")),
              (QStringList{QStringLiteral("1:B"), QStringLiteral("2:"), QStringLiteral("3:M")}));
    EXPECT_EQ(PrintQueryLines(false, false).join(u' ').count(QStringLiteral(":f_ID")), 1);
}

TEST_F(DataModule, UseSortIndexAndBuildIndex)
{
    TTable& contacts = *dm.tabContacts;
    EXPECT_TRUE(dm.UseSortIndex(contacts, QStringLiteral("comname")));
    EXPECT_EQ(contacts.IndexFields(), QStringList{QStringLiteral("ComName")});
    EXPECT_FALSE(dm.UseSortIndex(contacts, QStringLiteral("do_default")));
    EXPECT_EQ(contacts.IndexName().toLower(), QStringLiteral("iadr1"));

    // No index on Place (position 8) yet: the default, until one is built.
    EXPECT_FALSE(dm.UseSortIndex(contacts, QStringLiteral("Place")));
    const int before = int(contacts.IndexDefs().size());
    dm.BuildIndex(QStringLiteral("iAdr8"), contacts);
    EXPECT_TRUE(contacts.Active());
    EXPECT_EQ(int(contacts.IndexDefs().size()), before + 1);
    EXPECT_TRUE(dm.UseSortIndex(contacts, QStringLiteral("Place")));
    ASSERT_TRUE(contacts.First());
    EXPECT_EQ(contacts.FieldByName(QStringLiteral("Place"))->AsString(), QStringLiteral("Brugge"));

    for (const char* name : {"iadr0", "iadrX", "iadr999"}) {
        dm.BuildIndex(QString::fromLatin1(name), contacts);
        EXPECT_EQ(int(contacts.IndexDefs().size()), before + 1) << name;
    }

    // An empty name means the current module's sort column.
    dm.currentSortColumn = [] { return 8; };
    EXPECT_TRUE(dm.UseSortIndex(contacts, QString()));
    EXPECT_EQ(contacts.IndexFields(), QStringList{QStringLiteral("Place")});
}

TEST_F(DataModule, MissingDefaultIndexIsBuilt)
{
    TTable& products = *dm.tabProducts;
    products.Close();
    ASSERT_TRUE(dm.Database()->Exec(QStringLiteral("DROP INDEX Products_iadr1")));
    ASSERT_TRUE(products.Open());
    EXPECT_FALSE(dm.UseSortIndex(products, QStringLiteral("do_default")));
    EXPECT_EQ(products.IndexName().toLower(), QStringLiteral("iadr1"));
    EXPECT_EQ(products.IndexFields(), QStringList{QStringLiteral("P_CODE")});
}

TEST_F(DataModule, ResetPackAndCloseAll)
{
    TTable& contacts = *dm.tabContacts;
    contacts.SetFiltered(true);
    dm.ResetTable(contacts);
    EXPECT_FALSE(contacts.Active());
    EXPECT_FALSE(contacts.Filtered());
    EXPECT_TRUE(contacts.IndexName().isEmpty());

    ASSERT_TRUE(contacts.Open());
    dm.UseSortIndex(contacts, QStringLiteral("ComName"));
    contacts.Close();
    ASSERT_TRUE(dm.Database()->Exec(QStringLiteral("ALTER TABLE Adressen DROP COLUMN Birthday")));
    ASSERT_TRUE(contacts.Open());
    dm.PackTable(contacts);
    EXPECT_TRUE(contacts.Active());
    EXPECT_EQ(contacts.FindField(QStringLiteral("Birthday")), nullptr);
    EXPECT_EQ(contacts.IndexFields(), QStringList{QStringLiteral("ComName")});

    dm.CloseAllTables();
    for (TDataSet* dataSet : dm.DataSets())
        EXPECT_FALSE(dataSet->Active()) << dataSet->Name().toStdString();
}

TEST_F(DataModule, EmptyIndexNameBuildsThePrimaryIndexOnce)
{
    ASSERT_TRUE(dm.Database()->Exec(QStringLiteral("CREATE TABLE loose (a INTEGER, b CHAR(10))")));
    ASSERT_TRUE(dm.Database()->Exec(QStringLiteral("INSERT INTO loose VALUES (2, 'x'), (1, 'y')")));
    TTable loose;
    loose.SetDatabase(dm.Database());
    loose.SetTableName(QStringLiteral("loose"));
    dm.BuildIndex(QString(), loose);
    EXPECT_TRUE(loose.Active());
    QList<TIndexDef> defs = loose.IndexDefs();
    ASSERT_EQ(defs.size(), 1);
    EXPECT_EQ(defs.first().fields, QStringList{QStringLiteral("a")});
    EXPECT_TRUE(defs.first().unique);
    dm.BuildIndex(QString(), loose);
    EXPECT_EQ(loose.IndexDefs().size(), 1);
    // Tables keyed on their first column need nothing.
    const int contactIndexes = int(dm.tabContacts->IndexDefs().size());
    dm.BuildIndex(QString(), *dm.tabContacts);
    EXPECT_EQ(int(dm.tabContacts->IndexDefs().size()), contactIndexes);
}

TEST_F(DataModule, ContactWithQuotesIsFoundAsTyped)
{
    TTable& contacts = *dm.tabContacts;
    ASSERT_TRUE(contacts.Locate(QStringLiteral("ComName"), QStringLiteral("o'brien \"X\" 10"), {true, true}));
    EXPECT_EQ(contacts.FieldByName(QStringLiteral("nummer"))->AsInteger(), 3);
    EXPECT_EQ(contacts.FieldByName(QStringLiteral("ComName"))->AsString(), QStringLiteral("O'Brien \"x\" 100%"));
    ASSERT_TRUE(contacts.Locate(QStringLiteral("Place"), QStringLiteral("liege"), {true, false}));
    EXPECT_EQ(contacts.FieldByName(QStringLiteral("nummer"))->AsInteger(), 3);
    EXPECT_EQ(dm.PostcodeOfPlace(contacts.FieldByName(QStringLiteral("Place"))->AsString()), QStringLiteral("4000"));
}
