#include "store_fixture.h"

#include "data/administration.h"
#include "data/auditlog.h"
#include "data/counters.h"
#include "data/dm.h"
#include "data/modules.h"
#include "data/recordrules.h"
#include "documents/doclist.h"
#include "documents/documentheader.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"
#include "foundation/textfile.h"
#include "foundation/translate.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

QString Year()
{
    return QString::number(QDate::currentDate().year());
}

} // namespace

class RecordRules : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(fx.MakeAdministration());
        ASSERT_TRUE(SaveTextLines(fx.dataFolder() + QStringLiteral("ovra.ini"),
                                  {QStringLiteral("MUNT EUR"), QStringLiteral("STBTW 6"), QStringLiteral("BETTERMMND 2"),
                                   QStringLiteral("BETTERMDAY 10"), QStringLiteral("VERKEXCL FALSE")}));
        ASSERT_TRUE(SaveTextLines(fx.dataFolder() + QStringLiteral("EuroConvert.ini"),
                                  {QStringLiteral("EUR|1|2|"), QStringLiteral("USD|1,1|2|")}));
        SetMessageHook([this](const MessageRequest& request) {
            notices.append(request.text);
            return MessageAnswer{};
        });
    }
    void TearDown() override
    {
        admin.reset();
        SetMessageHook(nullptr);
        SetRunPhase(1);
    }
    void Open()
    {
        admin = std::make_unique<TAdministration>(fx.folder(), QStringLiteral("Test"), &dm);
        ASSERT_EQ(admin->Status(), asOpen) << admin->StatusReason().toStdString();
    }
    QString Ini() const { return fx.folder() + QStringLiteral("admin.ini"); }
    // An identifier counter as admin.ini shows it once the pending copies are written.
    int IniCounter(const QString& key) const
    {
        FlushCounterMirrors(Ini());
        return ReadSettingInt(Ini(), key, 0);
    }
    QString Text(TDataSet& d, const char* field) { return d.FieldByName(QString::fromLatin1(field))->AsString(); }
    void Set(TDataSet& d, const char* field, const QVariant& value)
    {
        ASSERT_TRUE(d.FieldByName(QString::fromLatin1(field))->SetValue(value)) << field;
    }
    // A new document of the type, posted.
    void NewDocument(int type, int contact = 1)
    {
        TTable& f = *dm.TabFact;
        ASSERT_TRUE(f.Append());
        Set(f, "F_TYPE", type);
        Set(f, "F_CID", contact);
        ASSERT_TRUE(f.Post()) << f.LastError().toStdString();
    }

    StoreFixture fx;
    Tdm dm;
    std::unique_ptr<TAdministration> admin;
    QStringList notices;
};

TEST_F(RecordRules, FirstContactGetsOneAndTheCounterAtPost)
{
    fx.Exec(QStringLiteral("DELETE FROM Adressen"));
    ASSERT_NO_FATAL_FAILURE(Open());
    TTable& c = *dm.tabContacts;
    ASSERT_TRUE(c.Append());
    EXPECT_EQ(c.Field(0)->AsInteger(), 1);
    EXPECT_EQ(Text(c, "LISTS"), QStringLiteral("0"));
    EXPECT_EQ(c.FieldByName(QStringLiteral("ICON"))->AsInteger(), 0);
    EXPECT_EQ(c.FieldByName(QStringLiteral("CreatingDate"))->AsDate(), QDate::currentDate());
    // Empty defaults: yes/no columns false.
    EXPECT_FALSE(c.FieldByName(QStringLiteral("INLIST"))->IsNull());
    EXPECT_FALSE(c.FieldByName(QStringLiteral("INLIST"))->AsBoolean());
    EXPECT_FALSE(c.Modified());
    // Showing the identifier uses up nothing; storing the record does.
    bool found = true;
    ReadSetting(Ini(), QStringLiteral("AdressenID"), &found);
    EXPECT_FALSE(found);
    Set(c, "Name", QStringLiteral("Peeters"));
    ASSERT_TRUE(c.Post()) << c.LastError().toStdString();
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT nummer FROM Adressen")).toInt(), 1);
    // Stored with the record; admin.ini follows.
    EXPECT_EQ(StoredCounter(dm.Database(), QStringLiteral("AdressenID")), 1);
    EXPECT_EQ(IniCounter(QStringLiteral("AdressenID")), 1);
}

TEST_F(RecordRules, DeletedNewestContactKeepsItsIdentifier)
{
    fx.Exec(QStringLiteral("INSERT INTO Adressen (nummer, Name) VALUES (2, 'b'), (3, 'c'), (4, 'd'), (5, 'e')"));
    ASSERT_TRUE(WriteSetting(Ini(), QStringLiteral("AdressenID"), QStringLiteral("9")));
    ASSERT_NO_FATAL_FAILURE(Open());
    TTable& c = *dm.tabContacts;
    ASSERT_TRUE(c.Append());
    EXPECT_EQ(c.Field(0)->AsInteger(), 10);
    Set(c, "Name", QStringLiteral("Tien"));
    ASSERT_TRUE(c.Post());
    EXPECT_EQ(c.Field(0)->AsInteger(), 10);
    ASSERT_TRUE(c.Delete());
    ASSERT_TRUE(c.Append());
    Set(c, "Name", QStringLiteral("Elf"));
    ASSERT_TRUE(c.Post());
    EXPECT_EQ(c.Field(0)->AsInteger(), 11);
    EXPECT_EQ(IniCounter(QStringLiteral("AdressenID")), 11);
}

TEST_F(RecordRules, ComNameIsComposedAtPost)
{
    struct Case
    {
        const char* company;
        const char* name;
        const char* given;
        const char* expected;
    } cases[] = {
        {"  ACME ", "", "Jan", "ACME Jan"},
        {"", "", "Jan", "Jan"},
        {"ACME", "Peeters", "Jan", "ACME Peeters Jan"},
        {"", " Peeters ", "", "Peeters"},
        {"", "", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComposeComName(QString::fromLatin1(c.company), QString::fromLatin1(c.name), QString::fromLatin1(c.given)),
                  QString::fromLatin1(c.expected));
    EXPECT_EQ(ComposeComName(QString(60, u'A'), QString(50, u'B'), QString()).size(), 99);

    ASSERT_NO_FATAL_FAILURE(Open());
    TTable& c = *dm.tabContacts;
    ASSERT_TRUE(c.Append());
    Set(c, "COMPANY", QStringLiteral("  ACME "));
    Set(c, "GivenName", QStringLiteral("Jan"));
    ASSERT_TRUE(c.Post());
    EXPECT_EQ(Text(c, "ComName"), QStringLiteral("ACME Jan"));
    EXPECT_TRUE(c.FieldByName(QStringLiteral("C_CHANGED"))->AsBoolean());

    // With a list active the change mark is left alone.
    fx.Exec(QStringLiteral("UPDATE Adressen SET C_CHANGED = 0"));
    c.Refresh();
    dm.activeContactList = 2;
    ASSERT_TRUE(c.Edit());
    Set(c, "COMPANY", QString());
    ASSERT_TRUE(c.Post());
    EXPECT_EQ(Text(c, "ComName"), QStringLiteral("Jan"));
    EXPECT_FALSE(c.FieldByName(QStringLiteral("C_CHANGED"))->AsBoolean());
    dm.activeContactList = 0;
}

TEST_F(RecordRules, ProductCurrencyIsCheckedAndEmptyValuesFilled)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    TTable& p = *dm.tabProducts;
    ASSERT_TRUE(p.Append());
    EXPECT_EQ(Text(p, "P_CURRENCY"), QStringLiteral("EUR"));
    EXPECT_EQ(p.FieldByName(QStringLiteral("P_CREATINGDATE"))->AsDate(), QDate::currentDate());
    EXPECT_EQ(Text(p, "LISTS"), QStringLiteral("0"));
    EXPECT_EQ(p.FieldByName(QStringLiteral("P_ID"))->AsInteger(), 2);
    // Empty defaults of a new record: prices 0, yes/no false, other numbers left empty.
    EXPECT_EQ(p.FieldByName(QStringLiteral("P_SPRICEE"))->AsVariant(), QVariant(0.0));
    EXPECT_FALSE(p.FieldByName(QStringLiteral("P_NODISCOUNT"))->IsNull());
    EXPECT_TRUE(p.FieldByName(QStringLiteral("P_VAT"))->IsNull());

    Set(p, "P_CODE", QStringLiteral("X1"));
    Set(p, "P_CURRENCY", QStringLiteral("xyz"));
    ASSERT_TRUE(p.Post()) << p.LastError().toStdString();
    EXPECT_EQ(Text(p, "P_CURRENCY"), QStringLiteral("EUR"));
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices.first().contains(QStringLiteral("<XYZ>"))) << notices.first().toStdString();
    EXPECT_EQ(p.FieldByName(QStringLiteral("P_VAT"))->AsFloat(), 6.0);
    EXPECT_EQ(p.FieldByName(QStringLiteral("P_AMOUNT"))->AsFloat(), 1.0);
    for (const char* zero : {"P_Quantity", "P_Minimum", "P_DISCOUNT", "P_PRICE", "P_SPRICE"})
        EXPECT_EQ(p.FieldByName(QString::fromLatin1(zero))->AsVariant(), QVariant(0.0)) << zero;
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT P_CURRENCY FROM Products WHERE P_CODE = 'X1'")).toString(), QStringLiteral("EUR"));

    notices.clear();
    for (const auto& [typed, stored] : {std::pair{"eur", "EUR"}, std::pair{"usd", "USD"}}) {
        ASSERT_TRUE(p.Edit());
        Set(p, "P_CURRENCY", QString::fromLatin1(typed));
        ASSERT_TRUE(p.Post());
        EXPECT_EQ(Text(p, "P_CURRENCY"), QString::fromLatin1(stored));
    }
    EXPECT_TRUE(notices.isEmpty());

    // Without a currency file only BEF is known.
    QFile::remove(fx.dataFolder() + QStringLiteral("EuroConvert.ini"));
    ASSERT_TRUE(p.Edit());
    Set(p, "P_CURRENCY", QStringLiteral("USD"));
    ASSERT_TRUE(p.Post());
    EXPECT_EQ(Text(p, "P_CURRENCY"), QStringLiteral("EUR"));
    EXPECT_EQ(notices.size(), 1);
    ASSERT_TRUE(p.Edit());
    Set(p, "P_CURRENCY", QStringLiteral("bef"));
    ASSERT_TRUE(p.Post());
    EXPECT_EQ(Text(p, "P_CURRENCY"), QStringLiteral("BEF"));
    EXPECT_EQ(notices.size(), 1);
}

TEST_F(RecordRules, NewDocumentAndLineDefaults)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    TTable& f = *dm.TabFact;
    ASSERT_TRUE(f.Append());
    const QDate today = QDate::currentDate();
    EXPECT_EQ(f.FieldByName(QStringLiteral("F_ID"))->AsInteger(), 1);
    EXPECT_EQ(f.FieldByName(QStringLiteral("F_FACDATE"))->AsDate(), today);
    EXPECT_EQ(f.FieldByName(QStringLiteral("F_EXPDATE"))->AsDate(), DueDate(today, 2, 10));
    EXPECT_EQ(Text(f, "F_CURRENCY"), QStringLiteral("EUR"));
    EXPECT_EQ(f.FieldByName(QStringLiteral("F_PREPAYED"))->AsVariant(), QVariant(0.0));
    EXPECT_FALSE(f.FieldByName(QStringLiteral("F_PAYED"))->IsNull());
    EXPECT_FALSE(f.FieldByName(QStringLiteral("F_PAYED"))->AsBoolean());
    EXPECT_FALSE(f.FieldByName(QStringLiteral("F_LOCKED"))->IsNull());
    EXPECT_FALSE(f.FieldByName(QStringLiteral("F_LOCKED"))->AsBoolean());
    Set(f, "F_TYPE", 1);
    ASSERT_TRUE(f.Post());

    TTable& l = *dm.TabFL;
    ASSERT_TRUE(l.Append());
    EXPECT_EQ(l.FieldByName(QStringLiteral("FL_FNR"))->AsInteger(), 1);
    EXPECT_EQ(l.FieldByName(QStringLiteral("FL_ID"))->AsInteger(), 1);
    Set(l, "FL_PRODUCT", QStringLiteral("Lijn"));
    ASSERT_TRUE(l.Post());
    EXPECT_EQ(IniCounter(QStringLiteral("faclijnID")), 1);
    EXPECT_EQ(IniCounter(QStringLiteral("factuurID")), 1);
}

TEST_F(RecordRules, NumberAtFirstPostOnlyForNumberedTypes)
{
    ASSERT_TRUE(WriteSetting(Ini(), QStringLiteral("LASTNRF"), QStringLiteral("41")));
    ASSERT_NO_FATAL_FAILURE(Open());
    TTable& f = *dm.TabFact;
    ASSERT_NO_FATAL_FAILURE(NewDocument(1));
    EXPECT_EQ(Text(f, "F_FACNR"), QStringLiteral("F") + Year() + QStringLiteral("00042"));
    EXPECT_EQ(ReadSettingInt(Ini(), QStringLiteral("LASTNRF"), 0), 42);
    // Later posts keep the number.
    ASSERT_TRUE(f.Edit());
    Set(f, "F_NOTES", QStringLiteral("changed"));
    ASSERT_TRUE(f.Post());
    EXPECT_EQ(Text(f, "F_FACNR"), QStringLiteral("F") + Year() + QStringLiteral("00042"));
    EXPECT_EQ(ReadSettingInt(Ini(), QStringLiteral("LASTNRF"), 0), 42);

    ASSERT_NO_FATAL_FAILURE(NewDocument(2));
    EXPECT_EQ(Text(f, "F_FACNR"), QStringLiteral("O") + Year() + QStringLiteral("00001"));
    // A purchase invoice keeps the supplier's number, a template its name.
    for (int type : {4, 10}) {
        ASSERT_TRUE(f.Append());
        Set(f, "F_TYPE", type);
        Set(f, "F_FACNR", QStringLiteral("EXT-%1").arg(type));
        ASSERT_TRUE(f.Post());
        EXPECT_EQ(Text(f, "F_FACNR"), QStringLiteral("EXT-%1").arg(type));
    }
    EXPECT_EQ(ReadSettingInt(Ini(), QStringLiteral("LASTNRF"), 0), 42);
}

TEST_F(RecordRules, DeletingTheNewestInvoiceGivesItsNumberBack)
{
    ASSERT_TRUE(WriteSetting(Ini(), QStringLiteral("FNRCODE"), QStringLiteral("|TRUE|TRUE|")));
    ASSERT_TRUE(WriteSetting(Ini(), QStringLiteral("LASTNRF"), QStringLiteral("40")));
    ASSERT_NO_FATAL_FAILURE(Open());
    TTable& f = *dm.TabFact;
    for (int i = 0; i < 3; ++i)
        ASSERT_NO_FATAL_FAILURE(NewDocument(1));
    auto number = [](int n) -> QString { return QStringLiteral("F") + Year() + QStringLiteral("%1").arg(n, 5, 10, QLatin1Char('0')); };
    auto remove = [&](int n) {
        ASSERT_TRUE(f.Locate(QStringLiteral("F_FACNR"), number(n))) << n;
        ASSERT_TRUE(f.Delete()) << f.LastError().toStdString();
    };
    // The invoicing-years operation moves documents without giving numbers back.
    dm.Rules().documentsBeingMoved = true;
    ASSERT_NO_FATAL_FAILURE(remove(43));
    EXPECT_EQ(ReadSettingInt(Ini(), QStringLiteral("LASTNRF"), 0), 43);
    dm.Rules().documentsBeingMoved = false;

    ASSERT_TRUE(WriteSetting(Ini(), QStringLiteral("LASTNRF"), QStringLiteral("42")));
    ASSERT_NO_FATAL_FAILURE(remove(41));
    EXPECT_EQ(ReadSettingInt(Ini(), QStringLiteral("LASTNRF"), 0), 42);
    ASSERT_NO_FATAL_FAILURE(remove(42));
    EXPECT_EQ(ReadSettingInt(Ini(), QStringLiteral("LASTNRF"), 0), 41);
}

TEST_F(RecordRules, FailedPostUsesUpNoNumber)
{
    fx.Exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON factuur WHEN NEW.F_FREE = 'refuse' "
                           "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END"));
    ASSERT_TRUE(WriteSetting(Ini(), QStringLiteral("LASTNRF"), QStringLiteral("7")));
    ASSERT_NO_FATAL_FAILURE(Open());
    const QStringList before = LoadTextLines(Ini());
    TTable& f = *dm.TabFact;
    ASSERT_TRUE(f.Append());
    Set(f, "F_TYPE", 1);
    Set(f, "F_FREE", QStringLiteral("refuse"));
    EXPECT_FALSE(f.Post());
    EXPECT_EQ(f.State(), TDataSetState::Insert);
    // Counter and identifier as they were (factuurID was absent and stays so).
    EXPECT_EQ(LoadTextLines(Ini()), before);
    EXPECT_FALSE(QFile::exists(AuditLogFile(fx.folder(), QStringLiteral("factuur"))));

    Set(f, "F_FREE", QStringLiteral("fine"));
    ASSERT_TRUE(f.Post()) << f.LastError().toStdString();
    EXPECT_EQ(Text(f, "F_FACNR"), QStringLiteral("F") + Year() + QStringLiteral("00008"));
    EXPECT_EQ(f.FieldByName(QStringLiteral("F_ID"))->AsInteger(), 1);
    EXPECT_EQ(ReadSettingInt(Ini(), QStringLiteral("LASTNRF"), 0), 8);
}

TEST_F(RecordRules, AuditLogsOneLinePerStoredState)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    TTable& f = *dm.TabFact;
    ASSERT_NO_FATAL_FAILURE(NewDocument(1));
    const QString log = AuditLogFile(fx.folder(), QStringLiteral("factuur"));
    ASSERT_EQ(LoadTextLines(log).size(), 1);
    ASSERT_TRUE(f.Edit());
    ASSERT_TRUE(f.Post());
    EXPECT_EQ(LoadTextLines(log).size(), 1);

    ASSERT_TRUE(f.Edit());
    Set(f, "F_NOTES", QStringLiteral("Eerste | lijn\r\nTweede lijn"));
    ASSERT_TRUE(f.Post());
    const QStringList lines = LoadTextLines(log);
    ASSERT_EQ(lines.size(), 2);
    const QString stamp = lines.last().section(u'|', 0, 0);
    EXPECT_TRUE(QDateTime::fromString(stamp, QStringLiteral("dd/MM/yyyy hh:mm:ss")).isValid()) << stamp.toStdString();
    // Field 1 is the stamp, then one field per stored column: F_NOTES is column 7.
    const QStringList fields = lines.last().split(u'|');
    EXPECT_EQ(fields.size(), 1 + f.FieldCount() - 3 + 1);
    EXPECT_EQ(UnescapeAuditValue(fields.at(7)), QStringLiteral("Eerste | lijn\r\nTweede lijn"));
    EXPECT_EQ(fields.at(1), QStringLiteral("1"));

    TTable& l = *dm.TabFL;
    ASSERT_TRUE(l.Append());
    Set(l, "FL_PRODUCT", QStringLiteral("Schroef"));
    ASSERT_TRUE(l.Post());
    EXPECT_EQ(LoadTextLines(AuditLogFile(fx.folder(), QStringLiteral("faclijn"))).size(), 1);
}

TEST_F(RecordRules, FailedLinePostShowsTheErrorAndIsAbandoned)
{
    fx.Exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON faclijn "
                           "BEGIN SELECT RAISE(ABORT, 'line refused'); END"));
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(NewDocument(1));
    TTable& l = *dm.TabFL;
    ASSERT_TRUE(l.Append());
    Set(l, "FL_PRODUCT", QStringLiteral("Schroef"));
    EXPECT_FALSE(l.Post());
    EXPECT_TRUE(l.LastError().isEmpty());
    EXPECT_EQ(l.State(), TDataSetState::Insert);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices.first().contains(QStringLiteral("line refused"))) << notices.first().toStdString();
    bool found = true;
    ReadSetting(Ini(), QStringLiteral("faclijnID"), &found);
    EXPECT_FALSE(found);
}

TEST_F(RecordRules, CalculatedColumnsOfTheDocuments)
{
    fx.Exec(QStringLiteral("UPDATE Adressen SET ComName = 'ACME Peeters' WHERE nummer = 1"));
    ASSERT_NO_FATAL_FAILURE(Open());
    TTable& f = *dm.TabFact;
    ASSERT_NO_FATAL_FAILURE(NewDocument(1));
    ASSERT_TRUE(f.Edit());
    Set(f, "F_TOTVAL", 100.0);
    Set(f, "F_TOTEURO", 100.0);
    Set(f, "F_VATCOEF", 1.21);
    Set(f, "F_PREPAYED", 21.0);
    ASSERT_TRUE(f.Post());
    EXPECT_EQ(Text(f, "KLANTNAAM"), QStringLiteral("ACME Peeters"));
    EXPECT_EQ(Text(f, "totvalincTB"), QStringLiteral("100.00.- EUR"));
    EXPECT_EQ(f.FieldByName(QStringLiteral("totvalincTB"))->Alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    DocumentHeader h;
    h.F_FACNR = Text(f, "F_FACNR");
    h.F_FACDATE = QDate::currentDate();
    h.F_TOTVAL = 100.0;
    h.F_TOTEURO = 100.0;
    h.F_VATCOEF = 1.21;
    EXPECT_EQ(Text(f, "FNR+DATUM"), FnrDatum(h, false, false, true));
    EXPECT_TRUE(Text(f, "FNR+DATUM").endsWith(QStringLiteral("121.00.-"))) << Text(f, "FNR+DATUM").toStdString();
    EXPECT_EQ(f.FieldByName(QStringLiteral("FNR+DATUM"))->DisplayLabel(), QStringLiteral("Fnr+Datum+Totaal"));
    // The grid reads the same texts for rows other than the current one.
    EXPECT_EQ(f.DisplayTextAt(f.CurrentRow(), f.FieldByName(QStringLiteral("totvalincTB"))->Index()),
              QStringLiteral("100.00.- EUR"));

    ASSERT_TRUE(f.Edit());
    Set(f, "F_PAYED", true);
    ASSERT_TRUE(f.Post());
    EXPECT_EQ(Text(f, "totvalincTB"), QLatin1Char(' ') + Translate(QStringLiteral("Betaald")));
    ASSERT_TRUE(f.Edit());
    Set(f, "F_FACDATE", QVariant());
    Set(f, "F_PAYED", false);
    EXPECT_EQ(Text(f, "FNR+DATUM"), Text(f, "F_FACNR") + QLatin1Char(' '));
    f.Cancel();
}

TEST_F(RecordRules, VatInclusiveAdministrationShowsTheStoredTotal)
{
    ASSERT_TRUE(WriteSetting(Ini(), QStringLiteral("VATINC"), QStringLiteral("TRUE")));
    ASSERT_NO_FATAL_FAILURE(Open());
    TTable& f = *dm.TabFact;
    ASSERT_NO_FATAL_FAILURE(NewDocument(1));
    ASSERT_TRUE(f.Edit());
    Set(f, "F_TOTVAL", 121.0);
    Set(f, "F_VATCOEF", 1.21);
    Set(f, "F_PREPAYED", 21.0);
    ASSERT_TRUE(f.Post());
    EXPECT_EQ(Text(f, "totvalincTB"), QStringLiteral("100.00.- EUR"));
}

TEST_F(RecordRules, IdentifiersOfCalendarHistoryAndProfiles)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    fx.Exec(QStringLiteral("INSERT INTO shared.Calendar (cal_id, cal_date) VALUES (7, '2001-01-01')"));
    dm.tabCalendar->Refresh();
    struct Case
    {
        TTable* table;
        const char* key;
        int id;
    } cases[] = {{dm.tabCalendar, "Calendar.dbID", 8}, {dm.TabLog, "LogID", 1}, {dm.Profielen, "profiles.dbID", 2}};
    for (const Case& c : cases) {
        if (!c.table->Active())
            ASSERT_TRUE(c.table->Open()) << c.table->LastError().toStdString();
        ASSERT_TRUE(c.table->Append());
        EXPECT_EQ(c.table->Field(0)->AsInteger(), c.id) << c.key;
        ASSERT_TRUE(c.table->Post()) << c.table->LastError().toStdString();
        EXPECT_EQ(IniCounter(QString::fromLatin1(c.key)), c.id) << c.key;
    }
}

TEST_F(RecordRules, TwoProgramsPostingAtOnceNeverShareAnIdentifierOrNumber)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    Tdm other;
    TAdministration otherAdmin(fx.folder(), QStringLiteral("Test"), &other);
    ASSERT_EQ(otherAdmin.Status(), asOpen);

    // Both show the same free identifier ...
    TTable& a = *dm.TabFact;
    TTable& b = *other.TabFact;
    ASSERT_TRUE(a.Append());
    ASSERT_TRUE(b.Append());
    EXPECT_EQ(a.Field(0)->AsInteger(), b.Field(0)->AsInteger());
    Set(a, "F_TYPE", 1);
    Set(b, "F_TYPE", 1);
    // ... but the one stored second gets the next.
    ASSERT_TRUE(a.Post());
    ASSERT_TRUE(b.Post()) << b.LastError().toStdString();
    EXPECT_NE(a.Field(0)->AsInteger(), b.Field(0)->AsInteger());
    EXPECT_NE(Text(a, "F_FACNR"), Text(b, "F_FACNR"));
    EXPECT_EQ(Text(b, "F_FACNR"), QStringLiteral("F") + Year() + QStringLiteral("00002"));

    // While one program stores, the other waits for the write lock (and is asked when it
    // stays busy): its post is refused without using anything up.
    TTable& ca = *dm.tabContacts;
    TTable& cb = *other.tabContacts;
    ASSERT_TRUE(ca.Append());
    ASSERT_TRUE(cb.Append());
    const int shown = ca.Field(0)->AsInteger();
    EXPECT_EQ(cb.Field(0)->AsInteger(), shown);
    other.Database()->SetBusyTimeout(50);
    int asked = 0;
    other.Database()->SetBusyAsker([&](const QString&) {
        ++asked;
        return false;
    });
    ASSERT_TRUE(dm.Database()->Transaction());   // a in the middle of its work
    ASSERT_TRUE(ca.Post());
    EXPECT_FALSE(cb.Post());
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(dm.Database()->Commit());
    EXPECT_EQ(IniCounter(QStringLiteral("AdressenID")), shown);
    ASSERT_TRUE(cb.Post()) << cb.LastError().toStdString();
    EXPECT_EQ(cb.Field(0)->AsInteger(), shown + 1);
}

TEST_F(RecordRules, PendingEditIsStoredBeforeTheTableCloses)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    TTable& c = *dm.tabContacts;
    ASSERT_TRUE(c.First());
    ASSERT_TRUE(c.Edit());
    Set(c, "Place", QStringLiteral("Leuven"));
    c.Close();
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT Place FROM Adressen WHERE nummer = 1")).toString(), QStringLiteral("Leuven"));
    // An untouched new record is dropped.
    ASSERT_TRUE(c.Open());
    ASSERT_TRUE(c.Append());
    c.Close();
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM Adressen")).toInt(), 1);
}

class RecordWindowHooks : public RecordRules
{
protected:
    void SetUp() override
    {
        RecordRules::SetUp();
        fx.Exec(QStringLiteral("INSERT INTO Adressen (nummer, ComName, ICON) VALUES (2, 'Bakker', 4), (3, 'Claes', 4)"));
        ASSERT_NO_FATAL_FAILURE(Open());
        TRecordHooks& hooks = dm.Rules().Hooks();
        hooks.selectLetter = [this](const QString& letter) { calls << QStringLiteral("letter ") + letter; };
        hooks.drawRecordIcon = [this](int icon) { calls << QStringLiteral("icon %1").arg(icon); };
        hooks.refreshRecordCounter = [this] { calls << QStringLiteral("counter"); };
        hooks.setDocumentCaption = [this](const QString& caption) { calls << QStringLiteral("caption") + caption; };
        hooks.showUnpaidMarker = [this](bool on) { calls << QStringLiteral("unpaid %1").arg(on); };
        hooks.showEuroPanel = [this](bool on) { calls << QStringLiteral("euro %1").arg(on); };
        hooks.rememberContact = [this](int id) { calls << QStringLiteral("contact %1").arg(id); };
    }
    QStringList calls;
};

TEST_F(RecordWindowHooks, ContactsInTheirModuleInRunPhaseOne)
{
    TTable& c = *dm.tabContacts;
    // No module yet: nothing moves.
    ASSERT_TRUE(c.First());
    EXPECT_TRUE(calls.isEmpty());

    admin->SetModule(std::make_unique<TContacts_Module>(dm, Ini()));
    ASSERT_TRUE(c.Locate(QStringLiteral("ComName"), QStringLiteral("Bakker")));
    EXPECT_EQ(calls, (QStringList{QStringLiteral("letter B"), QStringLiteral("icon 4"), QStringLiteral("counter")}));
    calls.clear();
    ASSERT_TRUE(c.Next());   // the same icon is not drawn again
    EXPECT_EQ(calls, (QStringList{QStringLiteral("letter C"), QStringLiteral("counter")}));

    calls.clear();
    {
        TBeingSetUp settingUp(c);
        c.First();
    }
    SetRunPhase(2);
    c.Last();
    SetRunPhase(1);
    dm.tabProducts->First();
    EXPECT_TRUE(calls.isEmpty()) << calls.join(u',').toStdString();

    // A record without an icon shows the default one.
    ASSERT_TRUE(c.Locate(QStringLiteral("nummer"), 1));
    EXPECT_TRUE(calls.contains(QStringLiteral("icon 13"))) << calls.join(u',').toStdString();

    // Sorted on another column than the sort column: no letter.
    calls.clear();
    ASSERT_TRUE(c.SetIndexName(QString()));
    c.First();
    EXPECT_FALSE(calls.join(u',').contains(QStringLiteral("letter"))) << calls.join(u',').toStdString();
}

TEST_F(RecordWindowHooks, DocumentsCaptionMarkerAndPanel)
{
    admin->SetModule(std::make_unique<TInvoices_Module>(dm, Ini()));
    ASSERT_NO_FATAL_FAILURE(NewDocument(1, 3));
    ASSERT_NO_FATAL_FAILURE(NewDocument(1, 3));
    calls.clear();
    TTable& f = *dm.TabFact;
    ASSERT_TRUE(f.First());
    const QString title = admin->Module()->Title().toUpper();
    EXPECT_EQ(calls, (QStringList{QStringLiteral("caption ") + title + QStringLiteral(" - ") + Text(f, "F_FACNR"),
                                  QStringLiteral("unpaid 1"), QStringLiteral("euro 1"), QStringLiteral("contact 3")}));
    calls.clear();
    ASSERT_TRUE(f.Edit());
    Set(f, "F_PAYED", true);
    Set(f, "F_CURRENCY", QStringLiteral("USD"));
    EXPECT_TRUE(calls.contains(QStringLiteral("unpaid 0")));
    EXPECT_TRUE(calls.contains(QStringLiteral("euro 0")));
    f.Cancel();

    // Listing quotations: no unpaid marker.
    static_cast<TInvoices_Module*>(admin->Module())->SetDocumentKind(2);
    calls.clear();
    f.Last();
    EXPECT_TRUE(calls.contains(QStringLiteral("unpaid 0")));

    calls.clear();
    {
        TBeingSetUp settingUp(f);
        f.First();
    }
    EXPECT_TRUE(calls.isEmpty());
}
