#include "store_fixture.h"

#include "data/administration.h"
#include "data/auditlog.h"
#include "data/dm.h"
#include "data/documentbinder.h"
#include "data/documentstore_sql.h"
#include "documents/factuur.h"
#include "foundation/numbers.h"
#include "foundation/textfile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

namespace {

QString Dec(const char* text)
{
    return QString::fromUtf8(text).replace(QLatin1Char('.'), DecimalSeparator());
}

void WriteRates(const QString& dataFolder, const char* usdRate)
{
    QFile file(dataFolder + QStringLiteral("EuroConvert.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray("EUR|1|2|\r\nBEF|40,3399|0|\r\nUSD|") + usdRate + "|2|\r\n");
}

// One stored line as the table holds it.
struct StoredLine
{
    qint64 id = 0;
    QVariant amount, product, price, vat;
};

// An administration with two documents (1 in euro, 2 in US dollars), opened as the program
// opens it, with the engine bound to its document table and the documents module shown.
class DocumentStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fixture.MakeAdministration();
        WriteRates(fixture.dataFolder(), "1,2");
        const char* insert = "INSERT INTO factuur (F_ID, F_FACNR, F_FACDATE, F_CID, F_CURRENCY, F_PAYED, F_LOCKED, "
                             "F_DISCOUNT, F_TOTVAL, F_TOTEURO, F_TYPE, F_VATCOEF, F_PREPAYED) "
                             "VALUES (?, ?, '2026-12-01', 1, ?, 0, 0, 0, 0, 0, 1, 1, 0)";
        fixture.Exec(QString::fromLatin1(insert), {1, QStringLiteral("F1"), QStringLiteral("EUR")});
        fixture.Exec(QString::fromLatin1(insert), {2, QStringLiteral("F2"), QStringLiteral("USD")});
    }

    void TearDown() override
    {
        binder.reset();
        factuur.reset();
        store.reset();
        administration.reset();
    }

    void Open(bool vatInclusive, bool useContribution = false)
    {
        binder.reset();
        factuur.reset();
        store.reset();
        administration.reset();
        administration = std::make_unique<TAdministration>(fixture.folder(), QStringLiteral("Test"), &dm);
        ASSERT_EQ(administration->Status(), asOpen) << administration->StatusReason().toStdString();
        FactuurSetup setup;
        setup.options.USEIVK = useContribution;
        setup.options.GROEPIFSAME = false;
        setup.currencyFolder = fixture.dataFolder();
        setup.mainCurrency = QStringLiteral("EUR");
        setup.alternativeCurrency = QStringLiteral("EUR");
        setup.vatInclusive = vatInclusive;
        const NoticeSink sink = [this](const QString& text) { notices << text; };
        factuur = std::make_unique<TFactuur>(nullptr, setup, sink);
        store = std::make_unique<SqlDocumentStore>(dm);
        binder = std::make_unique<DocumentBinder>(dm, *factuur, *store, sink);
        binder->SetDocumentsShown(true);
    }

    void Go(int documentId) { ASSERT_TRUE(dm.TabFact->FindKey(documentId)) << dm.TabFact->LastError().toStdString(); }

    void Type(int line, int field, const char* text) { factuur->ApplyCellEdit(field, Dec(text), line); }

    // Fills line `line` (from 1) with a quantity, a description and a price typed in the
    // price column of the administration.
    void Fill(int line, const char* quantity, const char* description, const char* price, bool vatInclusive)
    {
        Type(line, LF_DESCRIPTION, description);
        Type(line, vatInclusive ? LF_GROSS : LF_NET, price);
        Type(line, LF_QUANTITY, quantity);
        if (factuur->LineCount() == line)
            factuur->AppendEmptyLine();
    }

    QList<StoredLine> Stored(int documentId) const
    {
        auto db = fixture.OpenDatabase();
        QList<StoredLine> lines;
        const QVariant count = db->Scalar(QStringLiteral("SELECT COUNT(*) FROM faclijn WHERE FL_FNR = ?"), {documentId});
        for (int i = 0; i < count.toInt(); ++i) {
            const QString select = QStringLiteral("SELECT %1 FROM faclijn WHERE FL_FNR = ? ORDER BY FL_ID LIMIT 1 OFFSET ?");
            const auto value = [&](const char* column) {
                return db->Scalar(select.arg(QString::fromLatin1(column)), {documentId, i});
            };
            lines.append({value("FL_ID").toLongLong(), value("FL_AMOUNT"), value("FL_PRODUCT"), value("FL_PRICE"),
                          value("FL_VAT")});
        }
        return lines;
    }

    double Total(int documentId, const char* column) const
    {
        return fixture.Scalar(QStringLiteral("SELECT %1 FROM factuur WHERE F_ID = ?").arg(QString::fromLatin1(column)),
                              {documentId})
            .toDouble();
    }

    StoreFixture fixture;
    Tdm dm;
    std::unique_ptr<TAdministration> administration;
    std::unique_ptr<TFactuur> factuur;
    std::unique_ptr<SqlDocumentStore> store;
    std::unique_ptr<DocumentBinder> binder;
    QStringList notices;
};

struct RoundTripCase
{
    bool vatInclusive;
    const char* price;          // typed in the administration's price column
    double storedPrice;         // FL_PRICE of the 10.00 net line
    double totval;              // net, or VAT-inclusive in a VAT-inclusive administration
};

class DocumentRoundTrip : public DocumentStoreTest, public ::testing::WithParamInterface<RoundTripCase>
{
};

TEST_P(DocumentRoundTrip, SavedLinesComeBackInOrderWithTheirTotals)
{
    const RoundTripCase c = GetParam();
    Open(c.vatInclusive);
    Go(1);
    ASSERT_EQ(factuur->Header().F_ID, 1);
    Fill(1, "2", "Widget", c.price, c.vatInclusive);
    Fill(2, "1", "Service", c.price, c.vatInclusive);
    Type(2, LF_QUANTITY, "");                     // no quantity: counts as 1, stored as null
    Fill(3, "-0.125", "Return", c.price, c.vatInclusive);
    ASSERT_TRUE(factuur->InsertEmptyLine(1));     // an empty line between filled ones is kept
    factuur->AppendEmptyLine();                    // trailing empty lines are not
    factuur->AppendEmptyLine();
    const DocumentTotals before = factuur->Totals();
    ASSERT_TRUE(factuur->SaveLines()) << notices.join(u'\n').toStdString();
    EXPECT_EQ(factuur->State(), TFactuur::Browse);
    EXPECT_FALSE(dm.TabFact->State() == TDataSetState::Edit);

    const QList<StoredLine> lines = Stored(1);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0].product.toString(), QStringLiteral("Widget"));
    EXPECT_DOUBLE_EQ(lines[0].amount.toDouble(), 2.0);
    EXPECT_NEAR(lines[0].price.toDouble(), c.storedPrice, 1e-9);
    EXPECT_DOUBLE_EQ(lines[0].vat.toDouble(), 21.0);
    EXPECT_TRUE(lines[1].product.isNull());
    EXPECT_TRUE(lines[1].price.isNull());
    EXPECT_EQ(lines[2].product.toString(), QStringLiteral("Service"));
    EXPECT_TRUE(lines[2].amount.isNull());
    EXPECT_DOUBLE_EQ(lines[3].amount.toDouble(), -0.125);
    for (int i = 1; i < lines.size(); ++i)
        EXPECT_GT(lines[i].id, lines[i - 1].id);
    EXPECT_NEAR(Total(1, "F_TOTVAL"), c.totval, 1e-9);
    EXPECT_NEAR(Total(1, "F_TOTEURO"), c.totval, 1e-9);
    EXPECT_NEAR(Total(1, "F_VATCOEF"), before.gross / before.net, 1e-12);

    // Away and back: the lines are read again from the table.
    Go(2);
    EXPECT_EQ(factuur->Header().F_ID, 2);
    Go(1);
    ASSERT_EQ(factuur->LineCount(), 5);
    EXPECT_EQ(factuur->Line(0).Field(LF_DESCRIPTION), QStringLiteral("Widget"));
    EXPECT_TRUE(factuur->Line(1).CountsAsEmptyForSaving());
    EXPECT_TRUE(factuur->Line(2).Field(LF_QUANTITY).isEmpty());
    EXPECT_EQ(factuur->Line(3).Field(LF_QUANTITY), Dec("-0.1250"));
    EXPECT_TRUE(factuur->Line(4).IsEmptyLine());
    EXPECT_DOUBLE_EQ(factuur->Totals().net, before.net);
    EXPECT_DOUBLE_EQ(factuur->Totals().gross, before.gross);
    EXPECT_DOUBLE_EQ(factuur->Totals().quantity, before.quantity);
}

// 2 + 1 + (-0.125) = 2.875 units of 10.00 net at 21 %: 28.75 net, 34.79 with VAT (6.04).
INSTANTIATE_TEST_SUITE_P(Administrations, DocumentRoundTrip,
                         ::testing::Values(RoundTripCase{false, "10", 10.0, 28.75},
                                           RoundTripCase{true, "12.10", 12.10, 34.79}));

TEST_F(DocumentStoreTest, ForeignDocumentKeepsItsStoredConversionAfterTheRateChanged)
{
    Open(false);
    Go(2);
    Fill(1, "3", "Gadget", "40", false);
    ASSERT_TRUE(factuur->SaveLines());
    EXPECT_NEAR(Total(2, "F_TOTVAL"), 120.0, 1e-9);
    EXPECT_NEAR(Total(2, "F_TOTEURO"), 100.0, 1e-9);

    WriteRates(fixture.dataFolder(), "1,5");
    Open(false);   // a new run reads the changed rate
    Go(2);
    EXPECT_NEAR(factuur->Totals().netEuro, 100.0, 1e-9);
    // Saving the unchanged lines stores the same totals.
    ASSERT_TRUE(factuur->SetEditState(TFactuur::Edit));
    ASSERT_TRUE(factuur->SaveLines());
    EXPECT_NEAR(Total(2, "F_TOTVAL"), 120.0, 1e-9);
    EXPECT_NEAR(Total(2, "F_TOTEURO"), 100.0, 1e-9);
}

struct FaultCase
{
    const char* what;
    const char* trigger;
    const char* reason;
};

class DocumentSaveFault : public DocumentStoreTest, public ::testing::WithParamInterface<FaultCase>
{
};

TEST_P(DocumentSaveFault, RollsEverythingBackAndKeepsTheUsersLines)
{
    Open(false);
    Go(1);
    Fill(1, "1", "Old one", "10", false);
    Fill(2, "1", "Old two", "20", false);
    ASSERT_TRUE(factuur->SaveLines());
    const QList<StoredLine> old = Stored(1);
    ASSERT_EQ(old.size(), 2);
    ASSERT_NEAR(Total(1, "F_TOTVAL"), 30.0, 1e-9);

    const QString audit = AuditLogFile(fixture.folder(), QStringLiteral("faclijn"));
    const QStringList auditBefore = LoadTextLines(audit);
    fixture.Exec(QString::fromLatin1(GetParam().trigger));
    Type(1, LF_NET, "15");
    Fill(3, "2", "New three", "5", false);
    notices.clear();
    EXPECT_FALSE(factuur->SaveLines());
    // Not even the lines' audit log kept what was written before the fault.
    EXPECT_EQ(LoadTextLines(audit), auditBefore);

    // Nothing of the save landed.
    const QList<StoredLine> now = Stored(1);
    ASSERT_EQ(now.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(now[i].id, old[i].id);
        EXPECT_EQ(now[i].price, old[i].price);
    }
    EXPECT_NEAR(Total(1, "F_TOTVAL"), 30.0, 1e-9);
    EXPECT_NEAR(dm.TabFact->FieldByName(QStringLiteral("F_TOTVAL"))->AsFloat(), 30.0, 1e-9);
    // The user was told why, and the document is still being edited with the typed lines.
    ASSERT_FALSE(notices.isEmpty());
    EXPECT_TRUE(notices.last().contains(QString::fromLatin1(GetParam().reason))) << notices.last().toStdString();
    EXPECT_EQ(factuur->State(), TFactuur::Edit);
    EXPECT_EQ(factuur->Line(0).Field(LF_NET), Dec("15"));
    EXPECT_EQ(factuur->Line(2).Field(LF_DESCRIPTION), QStringLiteral("New three"));

    // Moving to another document would leave the lines behind: the move is refused.
    EXPECT_FALSE(dm.TabFact->FindKey(2));
    EXPECT_EQ(dm.TabFact->FieldByName(QStringLiteral("F_ID"))->AsInteger(), 1);
    EXPECT_EQ(factuur->State(), TFactuur::Edit);

    // Once the fault is gone the same lines are saved.
    fixture.Exec(QStringLiteral("DROP TRIGGER fault"));
    ASSERT_TRUE(factuur->SaveLines()) << notices.join(u'\n').toStdString();
    EXPECT_EQ(Stored(1).size(), 3);
    EXPECT_NEAR(Total(1, "F_TOTVAL"), 45.0, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DocumentSaveFault,
    ::testing::Values(
        FaultCase{"second line",
                  "CREATE TRIGGER fault BEFORE INSERT ON faclijn "
                  "WHEN (SELECT COUNT(*) FROM faclijn WHERE FL_FNR = NEW.FL_FNR) = 1 "
                  "BEGIN SELECT RAISE(ABORT, 'second line refused'); END",
                  "second line refused"},
        FaultCase{"header", "CREATE TRIGGER fault BEFORE UPDATE ON factuur BEGIN SELECT RAISE(ABORT, 'header refused'); END",
                  "header refused"}),
    [](const ::testing::TestParamInfo<FaultCase>& info) {
        return std::string(info.param.what[0] == 's' ? "SecondLine" : "Header");
    });

TEST_F(DocumentStoreTest, SavedLinesGoToTheLinesAuditLogAsThePostedLinesDo)
{
    Open(false);
    Go(1);
    Fill(1, "2", "Widget | large", "10", false);
    Fill(2, "-0.5", "Back\\slash", "2.5", false);
    ASSERT_TRUE(factuur->SaveLines()) << notices.join(u'\n').toStdString();
    const QString audit = AuditLogFile(fixture.folder(), QStringLiteral("faclijn"));
    const QStringList logged = LoadTextLines(audit);
    const QList<StoredLine> stored = Stored(1);
    ASSERT_EQ(stored.size(), 2);
    ASSERT_EQ(logged.size(), 2);

    // Each line exactly as the record rules log a line stored through a table of faclijn.
    TTable lines;
    lines.SetDatabase(dm.Database());
    lines.SetTableName(QStringLiteral("faclijn"));
    ASSERT_TRUE(lines.Open());
    const QRegularExpression stamp(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\\|"));
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(lines.Locate(QStringLiteral("FL_ID"), stored[i].id));
        EXPECT_TRUE(stamp.match(logged[i]).hasMatch()) << logged[i].toStdString();
        EXPECT_EQ(logged[i].mid(logged[i].indexOf(u'|')), AuditRecordText(lines)) << i;
    }
    EXPECT_TRUE(logged[0].contains(QStringLiteral("Widget \\p large")));

    // A line posted through TabFL joins the same log in the same form.
    TTable& tabFL = *dm.TabFL;
    if (!tabFL.Active())
        ASSERT_TRUE(tabFL.Open());
    ASSERT_TRUE(tabFL.Append());
    ASSERT_TRUE(tabFL.FieldByName(QStringLiteral("FL_FNR"))->SetValue(2));
    ASSERT_TRUE(tabFL.FieldByName(QStringLiteral("FL_PRODUCT"))->SetValue(QStringLiteral("Posted")));
    ASSERT_TRUE(tabFL.Post()) << tabFL.LastError().toStdString();
    ASSERT_EQ(LoadTextLines(audit).size(), 3);
    EXPECT_EQ(LastAuditState(audit), AuditRecordText(tabFL));
}

TEST_F(DocumentStoreTest, AnotherSessionWritingKeepsTheLinesInEditState)
{
    Open(false);
    Go(1);
    Fill(1, "1", "Chair", "10", false);
    dm.Database()->SetBusyTimeout(20);
    auto other = fixture.OpenDatabase();
    ASSERT_TRUE(other->Exec(QStringLiteral("BEGIN IMMEDIATE")));
    notices.clear();
    EXPECT_FALSE(factuur->SaveLines());
    EXPECT_EQ(factuur->State(), TFactuur::Edit);
    EXPECT_EQ(factuur->Line(0).Field(LF_DESCRIPTION), QStringLiteral("Chair"));
    ASSERT_FALSE(notices.isEmpty());
    EXPECT_TRUE(notices.last().contains(QStringLiteral("andere sessie"))) << notices.last().toStdString();
    ASSERT_TRUE(other->Exec(QStringLiteral("ROLLBACK")));
    ASSERT_TRUE(factuur->SaveLines());
    EXPECT_EQ(Stored(1).size(), 1);
}

TEST_F(DocumentStoreTest, DeletingEveryLineOfAStoredDocumentIsSaved)
{
    Open(false);
    Go(1);
    Fill(1, "1", "One", "10", false);
    Fill(2, "1", "Two", "20", false);
    ASSERT_TRUE(factuur->SaveLines());
    ASSERT_EQ(Stored(1).size(), 2);

    ASSERT_TRUE(factuur->DeleteLine(0));
    ASSERT_TRUE(factuur->DeleteLine(0));
    ASSERT_TRUE(factuur->SaveLines());
    EXPECT_TRUE(Stored(1).isEmpty());
    EXPECT_DOUBLE_EQ(Total(1, "F_TOTVAL"), 0.0);
    EXPECT_DOUBLE_EQ(Total(1, "F_VATCOEF"), 1.0);
    Go(2);
    Go(1);
    ASSERT_EQ(factuur->LineCount(), 1);
    EXPECT_TRUE(factuur->Line(0).IsEmptyLine());
}

TEST_F(DocumentStoreTest, ContributionIsStoredWhenTheColumnExistsAndSkippedWhenNot)
{
    Open(false, true);
    Go(1);
    Fill(1, "2", "Fridge", "300", false);
    Type(1, LF_IVK, "12.5");
    ASSERT_TRUE(factuur->SaveLines());
    EXPECT_DOUBLE_EQ(fixture.Scalar(QStringLiteral("SELECT FL_IVK FROM faclijn WHERE FL_FNR = 1")).toDouble(), 12.5);

    administration.reset();
    fixture.Exec(QStringLiteral("ALTER TABLE faclijn DROP COLUMN FL_IVK"));
    Open(false, true);
    Go(1);
    EXPECT_TRUE(factuur->Line(0).Field(LF_IVK).isEmpty());
    ASSERT_TRUE(factuur->SetEditState(TFactuur::Edit));
    Type(1, LF_IVK, "3");
    ASSERT_TRUE(factuur->SaveLines()) << notices.join(u'\n').toStdString();
    EXPECT_EQ(Stored(1).size(), 1);
}

TEST_F(DocumentStoreTest, NewDocumentStartsUnpaidUnlockedAndKeepsItsLines)
{
    Open(false);
    Go(1);
    Fill(1, "1", "Pending", "10", false);     // saved before the new document is made
    ASSERT_TRUE(binder->NewDocument(DT_QUOTATION, 7, QDate(2026, 1, 31)));
    EXPECT_EQ(Stored(1).size(), 1);
    const int id = factuur->Header().F_ID;
    EXPECT_EQ(id, 3);
    EXPECT_EQ(factuur->State(), TFactuur::Edit);
    Fill(1, "4", "Fresh", "2.5", false);
    ASSERT_TRUE(binder->SetDocumentsShown(false));    // leaving the module saves
    EXPECT_EQ(factuur->State(), TFactuur::Browse);
    EXPECT_EQ(Stored(id).size(), 1);
    EXPECT_NEAR(Total(id, "F_TOTVAL"), 10.0, 1e-9);
    const auto value = [&](const char* column) {
        return fixture.Scalar(QStringLiteral("SELECT %1 FROM factuur WHERE F_ID = ?").arg(QString::fromLatin1(column)), {id});
    };
    EXPECT_EQ(value("F_PAYED").toInt(), 0);
    EXPECT_FALSE(value("F_PAYED").isNull());
    EXPECT_FALSE(value("F_LOCKED").isNull());
    EXPECT_EQ(value("F_TYPE").toInt(), int(DT_QUOTATION));
    EXPECT_EQ(value("F_CID").toInt(), 7);
    EXPECT_EQ(value("F_CURRENCY").toString(), QStringLiteral("EUR"));
    EXPECT_EQ(value("F_EXPDATE").toString(), QStringLiteral("2026-02-28"));
}

TEST_F(DocumentStoreTest, HeaderChangesReachTheEngineAndScrollsLoadOnlyWhileShown)
{
    Open(false);
    Go(1);
    Fill(1, "1", "Desk", "100", false);
    ASSERT_TRUE(factuur->SaveLines());
    ASSERT_TRUE(dm.TabFact->Edit());
    ASSERT_TRUE(dm.TabFact->FieldByName(QStringLiteral("F_DISCOUNT"))->SetValue(10.0));
    EXPECT_DOUBLE_EQ(factuur->Header().F_DISCOUNT, 10.0);
    EXPECT_DOUBLE_EQ(factuur->Totals().net, 90.0);
    ASSERT_TRUE(dm.TabFact->FieldByName(QStringLiteral("F_PREPAYED"))->SetValue(50.0));
    EXPECT_NEAR(factuur->Totals().due, 58.90, 1e-9);
    ASSERT_TRUE(dm.TabFact->Post());

    ASSERT_TRUE(binder->SetDocumentsShown(false));
    Go(2);
    EXPECT_EQ(factuur->Header().F_ID, 1);   // not shown: the engine keeps what it holds
    ASSERT_TRUE(binder->SetDocumentsShown(true));
    EXPECT_EQ(factuur->Header().F_ID, 2);
}

TEST(NextLineIdentifier, FollowsTheHighestStoredLine)
{
    StoreFixture fixture;
    fixture.MakeAdministration();
    auto db = fixture.OpenDatabase();
    ASSERT_TRUE(db);
    EXPECT_EQ(NextLineIdentifier(*db), 1);
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO faclijn (FL_ID, FL_FNR) VALUES (41, 1)")));
    EXPECT_EQ(NextLineIdentifier(*db), 42);
}

} // namespace
