#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/datasource.h"
#include "foundation/numbers.h"
#include "enginefixture.h"

namespace {

// Records every event of a data set by name.
struct EventLog
{
    std::vector<std::string> events;

    void Attach(TDataSet& ds)
    {
        auto log = [this](const char* name) { return [this, name](TDataSet&) { events.push_back(name); }; };
        ds.BeforeOpen = log("BeforeOpen");
        ds.AfterOpen = log("AfterOpen");
        ds.BeforeClose = log("BeforeClose");
        ds.AfterClose = log("AfterClose");
        ds.BeforeInsert = log("BeforeInsert");
        ds.OnNewRecord = log("OnNewRecord");
        ds.AfterInsert = log("AfterInsert");
        ds.BeforeEdit = log("BeforeEdit");
        ds.AfterEdit = log("AfterEdit");
        ds.BeforePost = log("BeforePost");
        ds.AfterPost = log("AfterPost");
        ds.BeforeCancel = log("BeforeCancel");
        ds.AfterCancel = log("AfterCancel");
        ds.BeforeDelete = log("BeforeDelete");
        ds.AfterDelete = log("AfterDelete");
        ds.BeforeScroll = log("BeforeScroll");
        ds.AfterScroll = log("AfterScroll");
        ds.OnCalcFields = log("OnCalcFields");
        ds.OnDataChange = [this](TDataSet&, TField* field) {
            events.push_back(field ? "DataChange:" + field->FieldName().toStdString() : "DataChange");
        };
    }
    std::string Take()
    {
        std::string joined;
        for (const auto& e : events)
            joined += (joined.empty() ? "" : " ") + e;
        events.clear();
        return joined;
    }
};

} // namespace

TEST_F(EngineTest, StatesAndTheirRefusals)
{
    AddContact(1, QStringLiteral("Janssens"));
    TTable table;
    table.SetDatabase(db.get());
    table.SetTableName(QStringLiteral("Adressen"));
    EXPECT_EQ(table.State(), TDataSetState::Inactive);
    EXPECT_FALSE(table.Edit());
    EXPECT_FALSE(table.Next());
    ASSERT_TRUE(table.Open());
    EXPECT_EQ(table.State(), TDataSetState::Browse);

    // Values are written only while editing.
    EXPECT_FALSE(table.FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("x")));
    EXPECT_TRUE(table.Edit());
    EXPECT_EQ(table.State(), TDataSetState::Edit);
    EXPECT_TRUE(table.FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("Peeters")));
    EXPECT_TRUE(table.Modified());
    table.Cancel();
    EXPECT_EQ(table.State(), TDataSetState::Browse);
    EXPECT_EQ(table.FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("Janssens"));

    EXPECT_TRUE(table.Insert());
    EXPECT_EQ(table.State(), TDataSetState::Insert);
    EXPECT_EQ(table.RecNo(), -1);
    EXPECT_TRUE(table.FieldByName(QStringLiteral("ComName"))->SetValue(QStringLiteral("Aerts")));
    EXPECT_TRUE(table.Post());
    EXPECT_EQ(table.State(), TDataSetState::Browse);
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(table.FieldByName(QStringLiteral("ComName"))->AsString(), QStringLiteral("Aerts"));
    EXPECT_GT(table.FieldByName(QStringLiteral("nummer"))->AsInteger(), 0);

    // Unknown fields are inert rather than fatal; bad values are refused and change nothing.
    EXPECT_TRUE(table.FieldByName(QStringLiteral("NoSuchField"))->IsNull());
    EXPECT_EQ(table.FindField(QStringLiteral("NoSuchField")), nullptr);
    ASSERT_TRUE(table.Edit());
    EXPECT_FALSE(table.FieldByName(QStringLiteral("CreatingDate"))->SetValue(QStringLiteral("31/02/2001")));
    EXPECT_FALSE(table.FieldByName(QStringLiteral("Amount"))->SetValue(QStringLiteral("abc")));
    EXPECT_FALSE(table.FieldByName(QStringLiteral("NoSuchField"))->SetValue(1));
    EXPECT_TRUE(table.Post());

    // A read-only data set refuses every change.
    table.SetReadOnly(true);
    EXPECT_FALSE(table.Edit());
    EXPECT_FALSE(table.Insert());
    EXPECT_FALSE(table.Delete());
    EXPECT_EQ(table.RecordCount(), 2);
}

TEST_F(EngineTest, FieldsKnowTypeSizeAndFormats)
{
    Exec("INSERT INTO Adressen (nummer, ComName, INLIST, CreatingDate, Amount) VALUES (7, 'X', 1, '2001-03-05', 1234.5)");
    auto table = OpenContacts();
    TField* name = table->FieldByName(QStringLiteral("comname"));
    EXPECT_EQ(name->FieldName(), QStringLiteral("ComName"));
    EXPECT_EQ(name->DataType(), ftText);
    EXPECT_EQ(name->Size(), 99);
    EXPECT_EQ(table->FieldByName(QStringLiteral("nummer"))->DataType(), ftInteger);
    EXPECT_TRUE(table->FieldByName(QStringLiteral("nummer"))->IsRowId());
    EXPECT_EQ(table->FieldByName(QStringLiteral("INLIST"))->DataType(), ftBoolean);
    EXPECT_EQ(table->FieldByName(QStringLiteral("CreatingDate"))->DataType(), ftDate);
    EXPECT_EQ(table->FieldByName(QStringLiteral("Amount"))->DataType(), ftFloat);
    EXPECT_EQ(table->FieldByName(QStringLiteral("Notes"))->DataType(), ftMemo);
    EXPECT_EQ(table->FieldByName(QStringLiteral("Notes"))->Size(), 240);
    EXPECT_EQ(table->Field(0)->FieldName(), QStringLiteral("nummer"));
    EXPECT_EQ(table->FieldCount(), 8);

    TField* inList = table->FieldByName(QStringLiteral("INLIST"));
    EXPECT_TRUE(inList->AsBoolean());
    inList->SetDisplayValues(QStringLiteral("Ja;Nee"));
    EXPECT_EQ(inList->DisplayText(), QStringLiteral("Ja"));
    TField* date = table->FieldByName(QStringLiteral("CreatingDate"));
    EXPECT_EQ(date->AsDate(), QDate(2001, 3, 5));
    EXPECT_EQ(date->AsString(), QStringLiteral("05/03/2001"));
    date->SetDisplayFormat(QStringLiteral("dd/mm/yyyy"));
    EXPECT_EQ(date->DisplayText(), QStringLiteral("05/03/2001"));
    TField* amount = table->FieldByName(QStringLiteral("Amount"));
    EXPECT_DOUBLE_EQ(amount->AsFloat(), 1234.5);
    amount->SetDisplayFormat(QStringLiteral("0.00 \"%\""));
    EXPECT_TRUE(amount->DisplayText().endsWith(QStringLiteral("50 %")));
    EXPECT_TRUE(table->FieldByName(QStringLiteral("Place"))->IsNull());

    // Stored forms: a date typed day first is kept as 'YYYY-MM-DD', yes/no as 0/1, long text cut.
    ASSERT_TRUE(table->Edit());
    EXPECT_TRUE(date->SetValue(QStringLiteral("25/12/2000")));
    EXPECT_TRUE(inList->SetValue(false));
    EXPECT_TRUE(name->SetValue(QString(120, QLatin1Char('a'))));
    EXPECT_TRUE(table->FieldByName(QStringLiteral("Place"))->SetValue(QString()));
    ASSERT_TRUE(table->Post());
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT CreatingDate FROM Adressen WHERE nummer = 7")).toString(),
              QStringLiteral("2000-12-25"));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT typeof(INLIST) || INLIST FROM Adressen")).toString(),
              QStringLiteral("integer0"));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT length(ComName) FROM Adressen")).toInt(), 99);
    EXPECT_TRUE(db->Scalar(QStringLiteral("SELECT Place FROM Adressen")).isNull());
}

TEST(FieldFormat, DelphiNumberPatterns)
{
    // The decimal separator is the locale's; compare with it in place.
    const QString d = QString(DecimalSeparator());
    const QString g = d == QStringLiteral(",") ? QStringLiteral(".") : QStringLiteral(",");
    EXPECT_EQ(FormatNumber(QStringLiteral(",#0.00"), 1234567.891), QStringLiteral("1") + g + "234" + g + "567" + d + "89");
    EXPECT_EQ(FormatNumber(QStringLiteral(",#0.00"), 0), QStringLiteral("0") + d + "00");
    EXPECT_EQ(FormatNumber(QStringLiteral(",#.00 \"EUR\""), 0.5), d + QStringLiteral("50 EUR"));
    EXPECT_EQ(FormatNumber(QStringLiteral("0.00 \"%\""), 21), QStringLiteral("21") + d + "00 %");
    EXPECT_EQ(FormatNumber(QStringLiteral("0.##"), 2.5), QStringLiteral("2") + d + "5");
    EXPECT_EQ(FormatNumber(QStringLiteral(",#0.00"), -1.005), QStringLiteral("-1") + d + "01");
    EXPECT_EQ(FormatNumber(QStringLiteral("0.00;(0.00)"), -3), QStringLiteral("(3") + d + "00)");
    EXPECT_EQ(FormatDateTimePattern(QStringLiteral("dd/mm/yyyy hh:nn"), QDateTime(QDate(2001, 3, 5), QTime(9, 7))),
              QStringLiteral("05/03/2001 09:07"));
}

TEST_F(EngineTest, EventsFireInOrder)
{
    AddContact(1, QStringLiteral("Aerts"));
    AddContact(2, QStringLiteral("Bosmans"));
    TTable table;
    table.SetDatabase(db.get());
    table.SetTableName(QStringLiteral("Adressen"));
    table.AddCalculatedField(QStringLiteral("Calc"), ftText, 10);
    EventLog log;
    log.Attach(table);

    ASSERT_TRUE(table.Open());
    EXPECT_EQ(log.Take(), "BeforeOpen OnCalcFields DataChange AfterOpen AfterScroll");
    table.Next();
    EXPECT_EQ(log.Take(), "BeforeScroll OnCalcFields DataChange AfterScroll");
    table.Next();  // at the end: the scroll events fire, nothing changes
    EXPECT_EQ(log.Take(), "BeforeScroll AfterScroll");
    EXPECT_TRUE(table.Eof());

    table.Edit();
    EXPECT_EQ(log.Take(), "BeforeEdit OnCalcFields DataChange AfterEdit");
    table.FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("B."));
    EXPECT_EQ(log.Take(), "OnCalcFields DataChange:Name");
    ASSERT_TRUE(table.Post());
    EXPECT_EQ(log.Take(), "BeforePost OnCalcFields DataChange AfterPost");

    table.Append();
    EXPECT_EQ(log.Take(), "BeforeInsert BeforeScroll OnCalcFields OnNewRecord DataChange AfterInsert AfterScroll");
    table.FieldByName(QStringLiteral("ComName"))->SetValue(QStringLiteral("Claes"));
    log.Take();
    table.Next();  // moving away posts the new record
    EXPECT_EQ(log.Take(), "BeforePost OnCalcFields DataChange AfterPost BeforeScroll AfterScroll");
    EXPECT_EQ(table.RecordCount(), 3);

    table.Edit();
    log.Take();
    table.Cancel();
    EXPECT_EQ(log.Take(), "BeforeCancel OnCalcFields DataChange AfterCancel");

    table.First();
    log.Take();
    ASSERT_TRUE(table.Delete());
    EXPECT_EQ(log.Take(), "BeforeDelete BeforeScroll OnCalcFields DataChange AfterDelete AfterScroll");

    table.Close();
    EXPECT_EQ(log.Take(), "BeforeClose AfterClose");
}

TEST_F(EngineTest, HandlersAbortPostDeleteInsertAndScroll)
{
    AddContact(1, QStringLiteral("Aerts"));
    AddContact(2, QStringLiteral("Bosmans"));
    auto table = OpenContacts();

    table->BeforePost = [](TDataSet& ds) { ds.Abort(QStringLiteral("no")); };
    ASSERT_TRUE(table->Edit());
    table->FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("Changed"));
    EXPECT_FALSE(table->Post());
    EXPECT_EQ(table->LastError(), QStringLiteral("no"));
    EXPECT_EQ(table->State(), TDataSetState::Edit);  // the typed value is kept
    EXPECT_EQ(table->FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("Changed"));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT Name FROM Adressen WHERE nummer = 1")).toString(), QStringLiteral("Aerts"));

    // An AfterPost that aborts undoes the write, including what BeforePost wrote elsewhere.
    Exec("CREATE TABLE Counter (n INTEGER)");
    Exec("INSERT INTO Counter VALUES (0)");
    table->BeforePost = [this](TDataSet&) { db->Exec(QStringLiteral("UPDATE Counter SET n = n + 1")); };
    table->AfterPost = [](TDataSet& ds) { ds.Abort(); };
    EXPECT_FALSE(table->Post());
    EXPECT_EQ(table->State(), TDataSetState::Edit);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT n FROM Counter")).toInt(), 0);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT Name FROM Adressen WHERE nummer = 1")).toString(), QStringLiteral("Aerts"));
    table->AfterPost = nullptr;
    EXPECT_TRUE(table->Post());
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT n FROM Counter")).toInt(), 1);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT Name FROM Adressen WHERE nummer = 1")).toString(), QStringLiteral("Changed"));

    table->BeforeDelete = [](TDataSet& ds) { ds.Abort(); };
    EXPECT_FALSE(table->Delete());
    EXPECT_EQ(table->RecordCount(), 2);
    table->BeforeDelete = nullptr;
    table->AfterDelete = [](TDataSet& ds) { ds.Abort(); };
    EXPECT_FALSE(table->Delete());
    EXPECT_EQ(table->RecordCount(), 2);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT count(*) FROM Adressen")).toInt(), 2);
    table->AfterDelete = nullptr;

    table->OnNewRecord = [](TDataSet& ds) { ds.Abort(); };
    EXPECT_FALSE(table->Append());
    EXPECT_EQ(table->State(), TDataSetState::Browse);
    table->OnNewRecord = nullptr;

    table->First();
    table->BeforeScroll = [](TDataSet& ds) { ds.Abort(); };
    EXPECT_FALSE(table->Next());
    EXPECT_EQ(table->RecNo(), 1);
}

TEST_F(EngineTest, PostErrorHandlerDecides)
{
    Exec("CREATE TABLE Strict (id INTEGER PRIMARY KEY, name TEXT NOT NULL)");
    TTable table;
    table.SetDatabase(db.get());
    table.SetTableName(QStringLiteral("Strict"));
    ASSERT_TRUE(table.Open());
    int calls = 0;
    table.OnPostError = [&](TDataSet& ds, const QString& error, TDataAction& action) {
        ++calls;
        EXPECT_FALSE(error.isEmpty());
        // The second attempt gets the missing value.
        if (calls == 1) {
            ds.FieldByName(QStringLiteral("name"));
            action = TDataAction::Abort;
        }
    };
    ASSERT_TRUE(table.Append());
    EXPECT_FALSE(table.Post());
    EXPECT_TRUE(table.LastError().isEmpty());  // aborted silently
    EXPECT_EQ(table.State(), TDataSetState::Insert);
    EXPECT_FALSE(table.Post());                 // Fail: the error is reported
    EXPECT_FALSE(table.LastError().isEmpty());
    // Retry: the handler supplies the missing value and the write goes again.
    table.OnPostError = [&](TDataSet& ds, const QString&, TDataAction& action) {
        ++calls;
        ds.FieldByName(QStringLiteral("name"))->SetValue(QStringLiteral("fixed"));
        action = TDataAction::Retry;
    };
    EXPECT_TRUE(table.Post()) << table.LastError().toStdString();
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT name FROM Strict")).toString(), QStringLiteral("fixed"));
}

TEST(Connection, RefusesFilesThatAreNoDatabase)
{
    TestFolder folder;
    folder.write(QStringLiteral("admin.sqlite"), QByteArray("this is no database, just text\n").repeated(100));
    QString error;
    EXPECT_FALSE(TDatabase::Open(folder.file(QStringLiteral("admin.sqlite")), QString(), &error));
    EXPECT_FALSE(error.isEmpty());
    // A missing folder cannot hold a new file either; neither crashes.
    EXPECT_FALSE(TDatabase::Open(folder.file(QStringLiteral("missing/admin.sqlite")), QString(), &error));
}

TEST_F(EngineTest, IndexByNameAndColumn)
{
    AddContact(1, QStringLiteral("Claes"), QStringLiteral("Antwerpen"));
    AddContact(2, QStringLiteral("Aerts"), QStringLiteral("Gent"));
    AddContact(3, QStringLiteral("bosmans"), QStringLiteral("Brugge"));
    auto table = OpenContacts(QStringLiteral("IADR1"));
    EXPECT_EQ(Names(*table).join(QLatin1Char(',')), QStringLiteral("Aerts,bosmans,Claes"));
    EXPECT_EQ(table->IndexFields(), QStringList{QStringLiteral("ComName")});

    // The current record stays current when the order changes.
    ASSERT_TRUE(table->Locate(QStringLiteral("ComName"), QStringLiteral("Claes")));
    ASSERT_TRUE(table->SetIndexName(QStringLiteral("iadr3")));
    EXPECT_EQ(Names(*table).join(QLatin1Char(',')), QStringLiteral("Claes,bosmans,Aerts"));
    EXPECT_EQ(table->FieldByName(QStringLiteral("ComName"))->AsString(), QStringLiteral("Claes"));
    EXPECT_EQ(table->RecNo(), 1);

    // The primary index orders by the first column; unknown indexes are refused.
    ASSERT_TRUE(table->SetIndexName(QString()));
    EXPECT_EQ(Names(*table).join(QLatin1Char(',')), QStringLiteral("Claes,Aerts,bosmans"));
    EXPECT_FALSE(table->SetIndexName(QStringLiteral("iAdr7")));
    EXPECT_TRUE(table->IndexName().isEmpty());

    const QList<TIndexDef> defs = table->IndexDefs();
    bool found = false;
    for (const TIndexDef& def : defs)
        if (def.name == QStringLiteral("iAdr3")) {
            found = true;
            EXPECT_TRUE(def.caseInsensitive);
            EXPECT_EQ(def.fields, QStringList{QStringLiteral("Place")});
        }
    EXPECT_TRUE(found);
    EXPECT_TRUE(defs.first().primary);
    EXPECT_EQ(IndexColumnOfName(QStringLiteral("iAdr5")), 5);
    EXPECT_EQ(IndexColumnOfName(QStringLiteral("indFNR")), -1);

    // Indexes are added and dropped by program name; fields by list pick a matching index.
    EXPECT_TRUE(table->AddIndex(QStringLiteral("iAdr2"), QStringLiteral("Name"), true));
    EXPECT_FALSE(table->AddIndex(QStringLiteral("IADR2"), QStringLiteral("Name"), true));
    EXPECT_FALSE(table->AddIndex(QStringLiteral("iAdr9"), QStringLiteral("Nope"), true));
    EXPECT_TRUE(db->Scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'Adressen_iadr2'")).toInt() == 1);
    ASSERT_TRUE(table->SetIndexFieldNames(QStringLiteral("name")));
    EXPECT_EQ(Names(*table).join(QLatin1Char(',')), QStringLiteral("Aerts,bosmans,Claes"));
    EXPECT_FALSE(table->SetIndexFieldNames(QStringLiteral("Nope")));
    ASSERT_TRUE(table->SetIndexName(QStringLiteral("iAdr2")));
    EXPECT_TRUE(table->DeleteIndex(QStringLiteral("iadr2")));
    EXPECT_TRUE(table->IndexName().isEmpty());
    EXPECT_FALSE(table->DeleteIndex(QStringLiteral("iadr2")));
}

TEST_F(EngineTest, PostsTakeTheirPlaceInTheOrder)
{
    AddContact(1, QStringLiteral("Aerts"));
    AddContact(2, QStringLiteral("Claes"));
    AddContact(3, QStringLiteral("Eyskens"));
    auto table = OpenContacts();
    ASSERT_TRUE(table->Append());
    table->FieldByName(QStringLiteral("ComName"))->SetValue(QStringLiteral("Dewael"));
    ASSERT_TRUE(table->Post());
    EXPECT_EQ(Names(*table).join(QLatin1Char(',')), QStringLiteral("Aerts,Claes,Dewael,Eyskens"));
    EXPECT_EQ(table->RecNo(), 3);

    // Renaming moves the record; the cursor goes with it.
    ASSERT_TRUE(table->Edit());
    table->FieldByName(QStringLiteral("ComName"))->SetValue(QStringLiteral("Van Ael"));
    ASSERT_TRUE(table->Post());
    EXPECT_EQ(Names(*table).join(QLatin1Char(',')), QStringLiteral("Aerts,Claes,Eyskens,Van Ael"));
    EXPECT_EQ(table->RecNo(), 4);

    // An empty sort value sorts first.
    ASSERT_TRUE(table->Append());
    table->FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("nameless"));
    ASSERT_TRUE(table->Post());
    EXPECT_EQ(table->RecNo(), 1);
    EXPECT_EQ(table->RecordCount(), 5);
    // The order the list holds is the order the database gives.
    QStringList fresh;
    auto again = OpenContacts();
    EXPECT_EQ(Names(*again), Names(*table));
}

TEST_F(EngineTest, FilterSwitchesOnAndOff)
{
    AddContact(1, QStringLiteral("Aerts"), QStringLiteral("Gent"), true);
    AddContact(2, QStringLiteral("Bosmans"), QStringLiteral("Brugge"), false);
    AddContact(3, QStringLiteral("Claes"), QStringLiteral("Gent"), true);
    auto table = OpenContacts();
    ASSERT_TRUE(table->SetFilter(QStringLiteral("inlist = TRUE")));
    EXPECT_EQ(table->RecordCount(), 3);  // not yet switched on
    ASSERT_TRUE(table->SetFiltered(true));
    EXPECT_EQ(Names(*table).join(QLatin1Char(',')), QStringLiteral("Aerts,Claes"));
    EXPECT_TRUE(table->Locate(QStringLiteral("ComName"), QStringLiteral("Claes")));
    EXPECT_FALSE(table->Locate(QStringLiteral("ComName"), QStringLiteral("Bosmans")));

    // A record that stops passing leaves the list; one that starts passing joins it.
    ASSERT_TRUE(table->Locate(QStringLiteral("ComName"), QStringLiteral("Aerts")));
    ASSERT_TRUE(table->Edit());
    table->FieldByName(QStringLiteral("INLIST"))->SetValue(false);
    ASSERT_TRUE(table->Post());
    EXPECT_EQ(Names(*table).join(QLatin1Char(',')), QStringLiteral("Claes"));
    ASSERT_TRUE(table->Append());
    table->FieldByName(QStringLiteral("ComName"))->SetValue(QStringLiteral("Dewael"));
    table->FieldByName(QStringLiteral("INLIST"))->SetValue(true);
    ASSERT_TRUE(table->Post());
    EXPECT_EQ(Names(*table).join(QLatin1Char(',')), QStringLiteral("Claes,Dewael"));

    ASSERT_TRUE(table->SetFiltered(false));
    EXPECT_EQ(table->RecordCount(), 4);

    // Comparisons joined by AND/OR; values are bound, so quotes in them are plain text.
    struct Case { const char* filter; const char* names; };
    const Case cases[] = {
        {"Place = 'Gent' AND inlist = TRUE", "Claes"},
        {"(Place = 'Brugge') OR (ComName = 'Dewael')", "Bosmans,Dewael"},
        {"NOT Place = 'Gent'", "Bosmans"},
        {"Place = ''", "Dewael"},
        {"Place <> 'x'' OR 1=1 --'", "Aerts,Bosmans,Claes"},
        {"nummer >= 2 AND nummer < 4", "Bosmans,Claes"},
    };
    ASSERT_TRUE(table->SetFiltered(true));
    for (const Case& c : cases) {
        ASSERT_TRUE(table->SetFilter(QString::fromUtf8(c.filter))) << c.filter << table->LastError().toStdString();
        EXPECT_EQ(Names(*table).join(QLatin1Char(',')).toStdString(), c.names) << c.filter;
    }
    // Unreadable filters and unknown columns are refused; the old filter stays.
    EXPECT_FALSE(table->SetFilter(QStringLiteral("Place = ")));
    EXPECT_FALSE(table->SetFilter(QStringLiteral("Nope = 1")));
    EXPECT_FALSE(table->SetFilter(QStringLiteral("Place = 'a'; DROP TABLE Adressen")));
    EXPECT_EQ(Names(*table).join(QLatin1Char(',')), QStringLiteral("Bosmans,Claes"));
}

TEST_F(EngineTest, LocateExactPartialCaseAndAccent)
{
    const char* names[] = {"Smith", "SMITS", "Elodie", "élodie", "Zoë", "O'Brien \"x\" 100%", "a_b", "axb", "Smidt"};
    for (int i = 0; i < int(std::size(names)); ++i)
        AddContact(i + 1, QString::fromUtf8(names[i]), QStringLiteral("P%1").arg(i));
    auto table = OpenContacts();
    const TLocateOptions partialCi{true, true};
    const TLocateOptions exactCi{true, false};
    auto locate = [&](const char* value, TLocateOptions options) -> QString {
        if (!table->Locate(QStringLiteral("ComName"), QString::fromUtf8(value), options))
            return QStringLiteral("-");
        return table->FieldByName(QStringLiteral("ComName"))->AsString();
    };
    EXPECT_EQ(locate("smi", partialCi), QStringLiteral("Smidt"));
    EXPECT_EQ(locate("smith", partialCi), QStringLiteral("Smith"));
    EXPECT_EQ(locate("SMITS", exactCi), QStringLiteral("SMITS"));
    EXPECT_EQ(locate("smit", {false, true}), QStringLiteral("-"));   // case counts without the option
    EXPECT_EQ(locate("Smit", {false, true}), QStringLiteral("Smith"));
    EXPECT_EQ(locate("Élo", partialCi), QStringLiteral("Elodie"));
    EXPECT_EQ(locate("ELODIE", exactCi), QStringLiteral("Elodie"));
    EXPECT_EQ(locate("zoe", exactCi), QString::fromUtf8("Zoë"));
    EXPECT_EQ(locate("Elodie", {}), QStringLiteral("Elodie"));
    EXPECT_EQ(locate("Elod", {}), QStringLiteral("-"));
    // Quotes, % and _ are plain characters.
    EXPECT_EQ(locate("O'Brien \"x\" 100%", {}), QString::fromUtf8(names[5]));
    EXPECT_EQ(locate("o'brien \"X\" 1", partialCi), QString::fromUtf8(names[5]));
    EXPECT_EQ(locate("a_", partialCi), QStringLiteral("a_b"));
    EXPECT_EQ(locate("100%", partialCi), QStringLiteral("-"));
    EXPECT_EQ(locate("%", partialCi), QStringLiteral("-"));
    // In another order Locate still finds the first record of that order.
    ASSERT_TRUE(table->SetIndexName(QStringLiteral("iAdr3")));
    EXPECT_EQ(locate("SMI", partialCi), QStringLiteral("Smith"));
    ASSERT_TRUE(table->SetIndexName(QStringLiteral("iAdr1")));
    EXPECT_EQ(locate("smi", partialCi), QStringLiteral("Smidt"));
    // Other types compare by value; several fields at once.
    EXPECT_TRUE(table->Locate(QStringLiteral("nummer"), QStringLiteral("4")));
    EXPECT_EQ(table->FieldByName(QStringLiteral("ComName"))->AsString(), QString::fromUtf8("élodie"));
    EXPECT_TRUE(table->Locate(QStringLiteral("ComName;Place"), QVariantList{QStringLiteral("smits"), QStringLiteral("p1")}, exactCi));
    EXPECT_EQ(table->RecNo(), 8);
    EXPECT_FALSE(table->Locate(QStringLiteral("Nope"), 1));
    // FindKey goes to the record by its identifier.
    EXPECT_TRUE(table->FindKey(6));
    EXPECT_EQ(table->FieldByName(QStringLiteral("ComName"))->AsString(), QString::fromUtf8(names[5]));
    EXPECT_FALSE(table->FindKey(99));
}

TEST_F(EngineTest, ApostropheNameStoredFoundAndLocatedAsTyped)
{
    const QString name = QStringLiteral("O'Brien \"x\" 100%");
    auto table = OpenContacts();
    ASSERT_TRUE(table->Append());
    table->FieldByName(QStringLiteral("ComName"))->SetValue(name);
    ASSERT_TRUE(table->Post());
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT ComName FROM Adressen")).toString(), name);
    ASSERT_TRUE(table->SetFilter(QStringLiteral("ComName = 'O''Brien \"x\" 100%'")));
    ASSERT_TRUE(table->SetFiltered(true));
    EXPECT_EQ(table->RecordCount(), 1);
    table->SetFiltered(false);
    table->First();
    EXPECT_TRUE(table->Locate(QStringLiteral("ComName"), name));
    EXPECT_EQ(table->Lookup(QStringLiteral("ComName"), name, QStringLiteral("nummer")).toInt(),
              table->FieldByName(QStringLiteral("nummer"))->AsInteger());
}

TEST_F(EngineTest, NavigationCountsAndBookmarks)
{
    for (int i = 1; i <= 5; ++i)
        AddContact(i, QStringLiteral("Name%1").arg(i));
    auto table = OpenContacts();
    EXPECT_EQ(table->RecordCount(), 5);
    EXPECT_TRUE(table->Bof());
    EXPECT_FALSE(table->Eof());
    int walked = 0;
    for (table->First(); !table->Eof(); table->Next())
        ++walked;
    EXPECT_EQ(walked, 5);
    EXPECT_EQ(table->RecNo(), 5);
    table->Last();
    EXPECT_TRUE(table->Eof());
    EXPECT_EQ(table->FieldByName(QStringLiteral("ComName"))->AsString(), QStringLiteral("Name5"));
    EXPECT_EQ(table->MoveBy(-2), -2);
    EXPECT_EQ(table->RecNo(), 3);
    EXPECT_EQ(table->MoveBy(-10), -2);
    EXPECT_TRUE(table->Bof());
    EXPECT_TRUE(table->SetRecNo(4));

    const TBookmark mark = table->GetBookmark();
    EXPECT_TRUE(mark.valid);
    table->First();
    ASSERT_TRUE(table->SetIndexName(QString()));  // a bookmark survives a new order
    EXPECT_TRUE(table->GotoBookmark(mark));
    EXPECT_EQ(table->FieldByName(QStringLiteral("ComName"))->AsString(), QStringLiteral("Name4"));
    ASSERT_TRUE(table->Delete());
    EXPECT_FALSE(table->BookmarkValid(mark));
    EXPECT_FALSE(table->GotoBookmark(mark));
    EXPECT_EQ(table->RecordCount(), 4);

    // Deleting every row leaves an empty set; Edit there starts an insert.
    while (!table->IsEmpty())
        ASSERT_TRUE(table->Delete());
    EXPECT_EQ(table->RecNo(), 0);
    EXPECT_TRUE(table->Eof() && table->Bof());
    EXPECT_TRUE(table->Edit());
    EXPECT_EQ(table->State(), TDataSetState::Insert);
    table->Cancel();
    EXPECT_TRUE(table->EmptyTable());
}

TEST_F(EngineTest, CalculatedAndLookupFields)
{
    Exec("CREATE TABLE factuur (F_ID INTEGER PRIMARY KEY, F_CID INTEGER, F_TOTVAL MONEY)");
    Exec("INSERT INTO factuur VALUES (1, 2, 10.5), (2, 1, 20), (3, 9, 1)");
    AddContact(1, QStringLiteral("Aerts"));
    AddContact(2, QStringLiteral("Bosmans"));
    auto contacts = OpenContacts();
    ASSERT_TRUE(contacts->SetFilter(QStringLiteral("nummer = 1")));
    ASSERT_TRUE(contacts->SetFiltered(true));  // lookups see the whole table all the same

    TTable docs;
    docs.SetDatabase(db.get());
    docs.SetTableName(QStringLiteral("factuur"));
    TField* name = docs.AddLookupField(QStringLiteral("KLANTNAAM"), ftText, 101, QStringLiteral("F_CID"),
                                       contacts.get(), QStringLiteral("nummer"), QStringLiteral("ComName"));
    TField* total = docs.AddCalculatedField(QStringLiteral("Total"), ftText, 30);
    int calcs = 0;
    docs.OnCalcFields = [&](TDataSet& ds) {
        ++calcs;
        ds.FieldByName(QStringLiteral("Total"))->SetValue(
            QString(ds.FieldByName(QStringLiteral("F_TOTVAL"))->AsString() + QStringLiteral(".-")));
        // Data fields are not writable while calculating.
        EXPECT_FALSE(ds.FieldByName(QStringLiteral("F_CID"))->SetValue(5));
    };
    ASSERT_TRUE(docs.Open());
    EXPECT_EQ(name->AsString(), QStringLiteral("Bosmans"));
    EXPECT_EQ(total->AsString().left(2), QStringLiteral("10"));
    EXPECT_TRUE(name->IsCalculated());
    docs.Next();
    EXPECT_EQ(name->AsString(), QStringLiteral("Aerts"));
    // Grids read other rows without moving; their calculated values come along.
    EXPECT_EQ(docs.DisplayTextAt(2, total->Index()), QStringLiteral("1.-"));
    EXPECT_TRUE(docs.DisplayTextAt(2, name->Index()).isEmpty());
    EXPECT_EQ(docs.RecNo(), 2);
    EXPECT_GT(calcs, 2);
    EXPECT_FALSE(docs.Locate(QStringLiteral("KLANTNAAM"), QStringLiteral("Aerts")));
}

TEST_F(EngineTest, DisableControlsHoldsBackDataChange)
{
    for (int i = 1; i <= 3; ++i)
        AddContact(i, QStringLiteral("N%1").arg(i));
    auto table = OpenContacts();
    TDataSource source(table.get());
    int changes = 0;
    source.OnDataChange = [&](TDataSource&, TField*) { ++changes; };
    int ruleChanges = 0;
    table->OnDataChange = [&](TDataSet&, TField*) { ++ruleChanges; };
    table->DisableControls();
    table->Next();
    table->Next();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(ruleChanges, 0);
    table->EnableControls();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(ruleChanges, 1);
    table->Prior();
    EXPECT_EQ(changes, 2);
    source.SetEnabled(false);
    table->Prior();
    EXPECT_EQ(changes, 2);

    // The tag marks "being set up" for the rules; the guard restores it.
    {
        TBeingSetUp setUp(*table);
        EXPECT_EQ(table->Tag(), 1);
    }
    EXPECT_EQ(table->Tag(), 0);
}

TEST_F(EngineTest, SharedTablesAndTableNames)
{
    Exec("CREATE TABLE shared.Post (code CHAR(10), gemeente CHAR(60))");
    Exec("INSERT INTO shared.Post VALUES ('9000', 'Gent'), ('4000', 'Liège')");
    TTable zip;
    zip.SetDatabase(db.get());
    zip.SetTableName(QStringLiteral("Post.db"));
    ASSERT_TRUE(zip.Open()) << zip.LastError().toStdString();
    EXPECT_EQ(zip.SchemaName(), QStringLiteral("shared"));
    EXPECT_TRUE(zip.Locate(QStringLiteral("gemeente"), QStringLiteral("liege"), {true, false}));
    EXPECT_EQ(zip.FieldByName(QStringLiteral("code"))->AsString(), QStringLiteral("4000"));
    EXPECT_TRUE(zip.AddIndex(QStringLiteral("iAdr1"), QStringLiteral("gemeente"), true));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT count(*) FROM shared.sqlite_master WHERE name = 'Post_iadr1'")).toInt(), 1);

    TTable missing;
    missing.SetDatabase(db.get());
    missing.SetTableName(QStringLiteral("Nope"));
    EXPECT_FALSE(missing.Exists());
    EXPECT_FALSE(missing.Open());
    missing.SetTableName(QStringLiteral("x\"; DROP TABLE Adressen; --"));
    EXPECT_FALSE(missing.Open());
    EXPECT_TRUE(db->TableExists(QStringLiteral("adressen")));
}

TEST_F(EngineTest, ChangesByOthersOnTheConnectionShowAfterRefresh)
{
    AddContact(1, QStringLiteral("Aerts"));
    AddContact(2, QStringLiteral("Bosmans"));
    auto table = OpenContacts();
    // A changed value shows at once (the row cache notices the write)...
    Exec("UPDATE Adressen SET ComName = 'Aarts' WHERE nummer = 1");
    EXPECT_EQ(table->DisplayTextAt(0, 1), QStringLiteral("Aarts"));
    // ...new rows after a refresh, which keeps the current record.
    table->Last();
    AddContact(3, QStringLiteral("Aaa"));
    EXPECT_EQ(table->RecordCount(), 2);
    ASSERT_TRUE(table->Refresh());
    EXPECT_EQ(table->RecordCount(), 3);
    EXPECT_EQ(table->FieldByName(QStringLiteral("ComName"))->AsString(), QStringLiteral("Bosmans"));
    EXPECT_EQ(table->RecNo(), 3);
}
