#include "documents/documentview.h"
#include "documents/factuur.h"

#include "common/testfolder.h"

#include "foundation/numbers.h"
#include "foundation/translate.h"

#include <gtest/gtest.h>

#include <map>

namespace {

QString Dec(const char* text)
{
    return QString::fromUtf8(text).replace(QLatin1Char('.'), DecimalSeparator());
}

// The grid as the engine sees it: remembers what it was told.
class RecordingView : public DocumentView
{
public:
    void SetLineCount(int count) override { lineCount = count; }
    void SetCellText(int line, int field, const QString& text) override { cells[{line, field}] = text; }
    void SetFieldCaption(int field, const QString& caption) override { captions[field] = caption; }
    void SetEditable(bool on) override { editable = on; }
    void ShowNoDocument(const QString& text) override { noDocument = text; }
    void SetTotalsText(const QString& text) override { totals = text; }
    void SetSummaryText(const QString& text) override { summary = text; }
    void SetCurrentLine(int line, bool) override { currentLine = line; }
    bool PendingCellEdit(int* line, int* field, QString* text) const override
    {
        if (!pending)
            return false;
        *line = pendingLine;
        *field = pendingField;
        *text = pendingText;
        return true;
    }
    void CloseCellEditor() override { ++editorClosed; }

    QString Cell(int line, int field) const
    {
        const auto it = cells.find({line, field});
        return it == cells.end() ? QString() : it->second;
    }

    std::map<std::pair<int, int>, QString> cells;
    std::map<int, QString> captions;
    int lineCount = 0;
    bool editable = false;
    QString noDocument, totals, summary;
    int currentLine = -1;
    bool pending = false;
    int pendingLine = 0, pendingField = 0;
    QString pendingText;
    int editorClosed = 0;
};

// The header record and its lines kept in memory, as the data layer will keep them in the
// tables: a save either lands completely or not at all.
class MemoryStore : public DocumentStore
{
public:
    bool HasDocument() const override { return hasDocument; }
    bool IsHeaderEditing() const override { return editing; }
    bool EditHeader() override
    {
        editing = editable;
        return editing;
    }
    bool PostHeader() override
    {
        editing = false;
        ++posts;
        return true;
    }
    bool PostLocked(bool on) override
    {
        if (!editable)
            return false;
        locked = on;
        return true;
    }
    bool SaveDocument(const DocumentSave& save, QString* error) override
    {
        if (failSave) {
            *error = QStringLiteral("disk full");
            return false;
        }
        saved = save;
        ++saves;
        editing = false;
        return true;
    }

    bool hasDocument = true;
    bool editable = true;
    bool editing = false;
    bool failSave = false;
    bool locked = false;
    int posts = 0;
    int saves = 0;
    DocumentSave saved;
};

LineRow Row(std::optional<double> amount, const char* product, std::optional<double> price, std::optional<double> vat,
            std::optional<double> discount = std::nullopt)
{
    LineRow row;
    row.FL_AMOUNT = amount;
    if (product)
        row.FL_PRODUCT = QString::fromUtf8(product);
    row.FL_PRICE = price;
    row.FL_VAT = vat;
    row.FL_Discount = discount;
    return row;
}

class FactuurTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder.write("EuroConvert.ini", "EUR|1|2|\r\nBEF|40,3399|0|\r\nUSD|1,2|2|\r\n");
    }

    FactuurSetup Setup(bool vatInclusive, const char* main = "EUR", const char* alternative = "EUR")
    {
        FactuurSetup setup;
        setup.options.USEIVK = false;
        setup.options.GROEPIFSAME = false;
        setup.currencyFolder = folder.path();
        setup.mainCurrency = QString::fromLatin1(main);
        setup.alternativeCurrency = QString::fromLatin1(alternative);
        setup.vatInclusive = vatInclusive;
        return setup;
    }

    TFactuur& Make(bool vatInclusive, const char* currency = "EUR", FactuurSetup* custom = nullptr)
    {
        doc = std::make_unique<TFactuur>(&view, custom ? *custom : Setup(vatInclusive),
                                         [this](const QString& text) { notices << text; });
        DocumentHeader header = NewDocumentHeader(7, DT_SALESINVOICE, 3, QString::fromLatin1(currency),
                                                  QDate(2026, 12, 11), doc->Options());
        doc->LoadLines(header, {});
        doc->ShowLines();
        return *doc;
    }

    // Types a line into the last (empty) line the way a user does: VAT, quantity, price,
    // discount.
    void AddLine(const char* quantity, const char* price, const char* vat, const char* discount = nullptr,
                 int priceField = 0)
    {
        TFactuur& d = *doc;
        if (!d.Line(d.LineCount() - 1).IsEmptyLine())
            d.AppendEmptyLine();
        const int n = d.LineCount();
        if (priceField == 0)
            priceField = d.VatInclusive() ? LF_GROSS : LF_NET;
        d.ApplyCellEdit(LF_VAT, QString::fromUtf8(vat), n);
        if (quantity)
            d.ApplyCellEdit(LF_QUANTITY, QString::fromUtf8(quantity), n);
        d.ApplyCellEdit(priceField, QString::fromUtf8(price), n);
        if (discount)
            d.ApplyCellEdit(LF_DISCOUNT, QString::fromUtf8(discount), n);
    }

    TestFolder folder;
    RecordingView view;
    QStringList notices;
    std::unique_ptr<TFactuur> doc;
};

struct TotalsLine
{
    const char* quantity;
    const char* price;
    const char* vat;
    const char* discount = nullptr;
};

struct TotalsCase
{
    const char* name;
    bool vatInclusive;
    double documentDiscount;
    std::vector<TotalsLine> lines;
    double net;
    double gross;
    std::vector<std::pair<double, double>> groups; // percentage, VAT
    double firstGroupBase;
};

TEST_F(FactuurTest, TotalsRoundPerVatGroup)
{
    const TotalsCase cases[] = {
        // Per line the VAT would be 0.01 + 0.01 + 0.21 = 0.23; per group it is 1.14 x 21 % = 0.24.
        {"0.07 + 0.07 + 1.00", false, 0, {{"1", "0.07", "21"}, {"1", "0.07", "21"}, {"1", "1.00", "21"}},
         1.14, 1.38, {{21, 0.24}}, 1.14},
        {"10 % document and 50 % line discount", false, 10, {{"1", "100.00", "21", "50"}},
         45.00, 54.45, {{21, 9.45}}, 45.00},
        {"two rates", false, 0, {{"1", "10.00", "21"}, {"1", "5.55", "21"}, {"1", "3.33", "6"}},
         18.88, 22.35, {{21, 3.27}, {6, 0.20}}, 15.55},
        {"binary tie 0.575", false, 0, {{"1", "1.15", "21", "50"}}, 0.58, 0.70, {{21, 0.12}}, 0.58},
        {"quantities", false, 0, {{"3", "0.335", "21"}, {"2.5", "4", "6"}}, 11.01, 11.82, {{21, 0.21}, {6, 0.60}}, 1.01},
        {"12.10 inclusive", true, 0, {{"1", "12.10", "21"}}, 10.00, 12.10, {{21, 2.10}}, 10.00},
        {"inclusive with discounts", true, 10, {{"1", "121.00", "21", "50"}}, 45.00, 54.45, {{21, 9.45}}, 45.00},
        {"inclusive 0.07 + 0.07 + 1.00", true, 0, {{"1", "0.07", "21"}, {"1", "0.07", "21"}, {"1", "1.00", "21"}},
         0.94, 1.14, {{21, 0.20}}, 0.94},
        {"inclusive two rates", true, 0, {{"2", "12.10", "21"}, {"1", "10.60", "6"}}, 30.00, 34.80,
         {{21, 4.20}, {6, 0.60}}, 20.00},
    };
    for (const TotalsCase& c : cases) {
        SCOPED_TRACE(c.name);
        TFactuur& d = Make(c.vatInclusive);
        d.SetDiscount(c.documentDiscount);
        for (const TotalsLine& line : c.lines)
            AddLine(line.quantity, line.price, line.vat, line.discount);
        const DocumentTotals& t = d.Totals();
        EXPECT_DOUBLE_EQ(t.net, c.net);
        EXPECT_DOUBLE_EQ(t.gross, c.gross);
        EXPECT_DOUBLE_EQ(t.netEuro, c.net);
        EXPECT_DOUBLE_EQ(t.due, c.gross);
        ASSERT_GE(t.groups.size(), 4u);
        for (size_t g = 0; g < 4; ++g) {
            if (g < c.groups.size()) {
                EXPECT_EQ(t.groups[g].percentage, c.groups[g].first);
                EXPECT_DOUBLE_EQ(t.groups[g].vat, c.groups[g].second);
            } else {
                EXPECT_EQ(t.groups[g].percentage, -1.0);
            }
        }
        EXPECT_DOUBLE_EQ(t.groups[0].base, c.firstGroupBase);
        EXPECT_TRUE(notices.isEmpty()) << notices.join(QLatin1Char('\n')).toStdString();
    }
}

TEST_F(FactuurTest, DiscountsAndPrepaymentShowInTheTotals)
{
    TFactuur& d = Make(false);
    d.SetDiscount(10);
    AddLine("1", "100.00", "21", "50");
    EXPECT_DOUBLE_EQ(d.Totals().netBeforeDiscounts, 100.00);
    EXPECT_DOUBLE_EQ(d.Totals().grossBeforeDiscounts, 121.00);
    d.SetPrepayment(20.0);
    EXPECT_DOUBLE_EQ(d.Totals().due, 34.45);
    EXPECT_DOUBLE_EQ(d.Totals().dueEuro, 34.45);

    // Out of range: refused with the header's message, the old discount stays.
    d.SetDiscount(120);
    EXPECT_DOUBLE_EQ(d.Header().F_DISCOUNT, 10.0);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices.first(), Translate(QStringLiteral("Korting moet tussen 0 en 100% liggen!")));
}

TEST_F(FactuurTest, EditingAPriceFillsTheLine)
{
    folder.write("EuroConvert.ini", "EUR|1|2|\r\nUSD|1,2|2|\r\n");
    TFactuur& d = Make(false, "USD");
    d.ApplyCellEdit(LF_NET, QStringLiteral("12"), 1);
    const LineRecord& line = d.Line(0);
    EXPECT_EQ(line.Field(LF_NET), QStringLiteral("12"));
    EXPECT_EQ(line.Field(LF_NETFULL), QStringLiteral("12"));
    EXPECT_EQ(line.Field(LF_GROSS), Dec(" 14.5200"));
    EXPECT_EQ(line.Field(LF_NETEURO), Dec(" 10.0000"));
    EXPECT_EQ(line.Field(LF_GROSSEURO), Dec(" 12.1000"));
    EXPECT_EQ(line.Field(LF_QUANTITY), Dec("1.00"));
    EXPECT_EQ(line.Field(LF_VAT), Dec("21.00"));
    EXPECT_EQ(line.Field(LF_DISCOUNT), Dec("0.00"));
    EXPECT_EQ(view.Cell(0, LF_GROSS), Dec(" 14.5200"));
    EXPECT_EQ(view.Cell(0, LF_QUANTITY), Dec("1.00"));
    EXPECT_EQ(view.totals, Dec("   12.00 USD (10.00 EUR)\n   14.52 USD (12.10 EUR)"));

    // The euro price drives the document-currency prices.
    d.ApplyCellEdit(LF_NETEURO, QStringLiteral("5"), 1);
    EXPECT_EQ(d.Line(0).Field(LF_NETFULL), Dec("  6.0000"));
    EXPECT_EQ(d.Line(0).Field(LF_NET), Dec("  6.0000"));
    EXPECT_EQ(d.Line(0).Field(LF_GROSS), Dec("  7.2600"));
    EXPECT_EQ(d.Line(0).Field(LF_GROSSEURO), Dec("  6.0500"));

    // A VAT-inclusive price gives back the net one.
    d.ApplyCellEdit(LF_GROSS, Dec("12.10"), 1);
    EXPECT_EQ(d.Line(0).Field(LF_NET), Dec(" 10.0000"));
    EXPECT_EQ(d.Line(0).Field(LF_GROSSEURO), Dec(" 10.0833"));

    // Changing the VAT recomputes the inclusive prices from the net one.
    d.ApplyCellEdit(LF_VAT, QStringLiteral("6"), 1);
    EXPECT_EQ(d.Line(0).Field(LF_GROSS), Dec(" 10.6000"));
    EXPECT_DOUBLE_EQ(d.Totals().gross, 10.60);
}

TEST_F(FactuurTest, QuantityTexts)
{
    TFactuur& d = Make(false);
    AddLine("1", "10", "21");
    const struct
    {
        const char* typed;
        const char* stored;
        const char* shown;
        double total;
    } cases[] = {
        {"2,50", "2.5", "2.5", 25.0},
        {"3", "3", "3", 30.0},
        {"abc", "1", "1", 10.0},
        {"", "", "1", 10.0}, // an empty quantity counts as 1
        {"-0.125", "-0.125", "-0.125", -1.25},
    };
    for (const auto& c : cases) {
        d.ApplyCellEdit(LF_QUANTITY, Dec(c.typed), 1);
        EXPECT_EQ(d.Line(0).Field(LF_QUANTITY), Dec(c.stored)) << c.typed;
        EXPECT_EQ(view.Cell(0, LF_QUANTITY), Dec(c.shown)) << c.typed;
        EXPECT_DOUBLE_EQ(d.Totals().net, c.total) << c.typed;
    }
}

TEST_F(FactuurTest, RefusesOutOfRangeValuesWithTheirMessages)
{
    const QString vat = Translate(QStringLiteral("BTW moet groter of gelijk aan 0 zijn!"));
    const QString discount = Translate(QStringLiteral("Korting moet tussen 0 en 100% liggen!"));
    const QString coefficient = Translate(QStringLiteral("Afschrijvingcoeficient moet tussen 0 en 1 liggen!"));
    const QString kind = Translate(QStringLiteral(
        "Soort afschrijving moet (1 - kosten 2 - goederen 3 - investeringen 4..9 door gebruiker gedefinieerd) zijn"));
    const struct
    {
        int field;
        const char* typed;
        const char* stored;  // nullptr: unchanged
        const QString* message;
    } cases[] = {
        {LF_VAT, "-1", "0.00", &vat},
        {LF_VAT, "abc", "0.00", &vat},
        {LF_VAT, "6", "6", nullptr},
        {LF_VAT, "", nullptr, nullptr},
        {LF_DISCOUNT, "101", "0.00", &discount},
        {LF_DISCOUNT, "-0.5", "0.00", &discount},
        {LF_DISCOUNT, "x", "0.00", &discount},
        {LF_DISCOUNT, "100", "100", nullptr},
        {LF_DISCOUNT, "", nullptr, nullptr},
        {LF_AFKOEF, "1.5", "0.00", &coefficient},
        {LF_AFKOEF, "-1", "0.00", &coefficient},
        {LF_AFKOEF, "0.5", "0.5", nullptr},
        {LF_AFSOORT, "-3", "1", &kind},
        {LF_AFSOORT, "0", "1", &kind},
        {LF_AFSOORT, "10", "1", &kind},
        {LF_AFSOORT, "zes", "1", &kind},
        {LF_AFSOORT, "4", "4", nullptr},
        {LF_AFSOORT, "", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.field << " '" << c.typed << "'");
        TFactuur& d = Make(false);
        AddLine("1", "10", "21");
        d.ApplyCellEdit(LF_AFKOEF, Dec("0.75"), 1);
        d.ApplyCellEdit(LF_AFSOORT, QStringLiteral("2"), 1);
        notices.clear();
        const QString before = d.Line(0).Field(c.field);
        d.ApplyCellEdit(c.field, Dec(c.typed), 1);
        const QString expected = c.stored ? Dec(c.stored) : before;
        EXPECT_EQ(d.Line(0).Field(c.field), expected);
        if (c.stored) {
            EXPECT_EQ(view.Cell(0, c.field), expected);
        }
        if (c.message) {
            ASSERT_EQ(notices.size(), 1);
            EXPECT_EQ(notices.first(), *c.message);
        } else {
            EXPECT_TRUE(notices.isEmpty());
        }
    }
}

TEST_F(FactuurTest, RefusesAFifthVatRate)
{
    TFactuur& d = Make(false);
    AddLine("1", "10", "0");
    AddLine("1", "10", "6");
    AddLine("1", "10", "12");
    AddLine("1", "10", "21");
    const double gross = d.Totals().gross;
    AddLine("1", "10", "21");
    EXPECT_TRUE(notices.isEmpty());

    d.ApplyCellEdit(LF_VAT, QStringLiteral("9"), 5);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices.first(), Translate(QStringLiteral("Een document kan hoogstens vier verschillende BTW-percentages hebben!")));
    EXPECT_EQ(d.Line(4).Field(LF_VAT), QStringLiteral("21"));
    EXPECT_EQ(view.Cell(4, LF_VAT), QStringLiteral("21"));
    EXPECT_DOUBLE_EQ(d.Totals().gross, gross + 12.10);

    // A price typed into a new line would give it the standard rate: refused as well.
    TFactuur& e = Make(false);
    AddLine("1", "10", "0");
    AddLine("1", "10", "6");
    AddLine("1", "10", "12");
    AddLine("1", "10", "9");
    notices.clear();
    e.AppendEmptyLine();
    e.ApplyCellEdit(LF_NET, QStringLiteral("5"), 5);
    EXPECT_EQ(notices.size(), 1);
    EXPECT_TRUE(e.Line(4).IsEmptyLine());
    EXPECT_DOUBLE_EQ(e.Totals().net, 40.0);
}

TEST_F(FactuurTest, AStoredDocumentWithFiveRatesKeepsEveryLineInItsTotals)
{
    TFactuur& d = Make(false);
    DocumentHeader header = d.Header();
    d.LoadLines(header, {Row(1, "a", 10, 0), Row(1, "b", 10, 6), Row(1, "c", 10, 12), Row(1, "d", 10, 21),
                         Row(1, "e", 10, 9)});
    d.ShowLines();
    EXPECT_DOUBLE_EQ(d.Totals().net, 50.0);
    EXPECT_DOUBLE_EQ(d.Totals().gross, 54.80);
    ASSERT_EQ(d.Totals().groups.size(), 5u);
    EXPECT_EQ(d.Totals().groups[4].percentage, 9.0);
}

TEST_F(FactuurTest, ALineWithoutVatIsLeftOutOfTheTotalsButSaved)
{
    TFactuur& d = Make(false);
    AddLine("1", "10", "21");
    d.AppendEmptyLine();
    d.ApplyCellEdit(LF_DESCRIPTION, QStringLiteral("Alleen tekst"), 2);
    EXPECT_DOUBLE_EQ(d.Totals().net, 10.0);
    bool write = false;
    const DocumentSave save = d.PrepareSave(&write);
    ASSERT_EQ(save.rows.size(), 2);
    EXPECT_EQ(save.rows[1].FL_PRODUCT, QStringLiteral("Alleen tekst"));
    EXPECT_FALSE(save.rows[1].FL_VAT.has_value());
    EXPECT_FALSE(save.rows[1].FL_PRICE.has_value());

    // Reloaded, the text line still has no VAT group.
    d.LoadLines(d.Header(), save.rows);
    d.ShowLines();
    EXPECT_TRUE(d.Line(1).IsBlank(LF_VAT));
    EXPECT_EQ(d.Totals().groups[1].percentage, -1.0);
}

TEST_F(FactuurTest, LoadsLineRows)
{
    TFactuur& d = Make(false);
    LineRow full = Row(2, "Pen", 1.5, 21, 5);
    full.FL_ID = 44;
    full.FL_PID = 9;
    full.FL_EURO = 1.5;
    full.FL_Afkoef = 0.5;
    full.FL_Afsoort = 3;
    full.FL_IVK = 0.25;
    d.LoadLines(d.Header(), {full, Row(std::nullopt, nullptr, 10, std::nullopt), Row(-0.125, "Terug", 4, 21),
                             Row(2.5, "Half", 1, 21)});
    ASSERT_EQ(d.LineCount(), 5);
    EXPECT_EQ(d.Line(0).Text(),
              Dec("2.00|Pen|  1.5000|  1.5000|21.00|5.00|0.50|3|  1.8150|  1.8150|9|44|1.500000||"));
    EXPECT_EQ(d.Line(1).Field(LF_QUANTITY), QString());
    EXPECT_EQ(d.Line(1).Field(LF_VAT), Dec("0.00"));
    EXPECT_EQ(d.Line(1).Field(LF_AFKOEF), Dec("0.00"));
    EXPECT_EQ(d.Line(2).Field(LF_QUANTITY), Dec("-0.1250"));
    EXPECT_EQ(d.Line(3).Field(LF_QUANTITY), Dec("2.5000"));
    EXPECT_TRUE(d.Line(4).IsEmptyLine());

    // An empty quantity with a price counts as 1, and is saved as null again.
    d.ShowLines();
    EXPECT_DOUBLE_EQ(d.Totals().quantity, 2 + 1 - 0.125 + 2.5);
    EXPECT_DOUBLE_EQ(d.Totals().net, 2.85 + 10.0 - 0.5 + 2.5);
    const DocumentSave save = d.PrepareSave();
    ASSERT_EQ(save.rows.size(), 4);
    EXPECT_FALSE(save.rows[1].FL_AMOUNT.has_value());
    EXPECT_EQ(save.rows[2].FL_AMOUNT, -0.125);
    EXPECT_EQ(save.rows[0].FL_PRICE, 1.5);
    EXPECT_EQ(save.rows[0].FL_PID, 9);
    EXPECT_EQ(save.rows[0].FL_Discount, 5.0);
    EXPECT_FALSE(save.rows[0].FL_ID.has_value());
    EXPECT_EQ(save.rows[0].FL_FNR, 7);
}

TEST_F(FactuurTest, LoadsVatInclusivePrices)
{
    TFactuur& d = Make(true);
    LineRow row = Row(1, "Boek", 12.10, 21);
    row.FL_EURO = 12.10;
    d.LoadLines(d.Header(), {row});
    EXPECT_EQ(d.Line(0).Field(LF_GROSS), Dec(" 12.1000"));
    EXPECT_EQ(d.Line(0).Field(LF_NET), Dec(" 10.0000"));
    EXPECT_EQ(d.Line(0).Field(LF_NETFULL), Dec("10.000000"));
    EXPECT_EQ(d.Line(0).Field(LF_GROSSEURO), Dec(" 12.1000"));
    d.ShowLines();
    EXPECT_DOUBLE_EQ(d.Totals().net, 10.00);
    EXPECT_DOUBLE_EQ(d.Totals().groups[0].vat, 2.10);
    const DocumentSave save = d.PrepareSave();
    EXPECT_EQ(save.rows[0].FL_PRICE, 12.10);
    EXPECT_EQ(save.rows[0].FL_EURO, 12.10);
    EXPECT_DOUBLE_EQ(save.F_TOTVAL, 12.10);
    EXPECT_DOUBLE_EQ(save.F_VATCOEF, 1.21);
}

TEST_F(FactuurTest, SavesUpToTheLastFilledLine)
{
    TFactuur& d = Make(false);
    AddLine("1", "10", "21");
    d.AppendEmptyLine();
    AddLine("2", "5", "21");
    d.AppendEmptyLine();
    d.AppendEmptyLine();
    d.InsertEmptyLine(1);
    ASSERT_EQ(d.LineCount(), 5);
    bool write = false;
    const DocumentSave save = d.PrepareSave(&write);
    EXPECT_TRUE(write);
    ASSERT_EQ(save.rows.size(), 3);
    EXPECT_FALSE(save.rows[1].FL_AMOUNT.has_value());
    EXPECT_FALSE(save.rows[1].FL_PRICE.has_value());
    EXPECT_FALSE(save.rows[1].FL_VAT.has_value());
    EXPECT_FALSE(save.rows[1].FL_Afkoef.has_value()); // only for purchase invoices
    EXPECT_EQ(save.rows[2].FL_AMOUNT, 2.0);
    EXPECT_DOUBLE_EQ(save.F_TOTVAL, 20.0);
    EXPECT_DOUBLE_EQ(save.F_TOTEURO, 20.0);
    EXPECT_DOUBLE_EQ(save.F_VATCOEF, 1.21);
}

TEST_F(FactuurTest, PurchaseInvoicesSaveTheirDepreciation)
{
    TFactuur& d = Make(false);
    d.SetListedType(DT_PURCHASEINVOICE);
    AddLine("1", "10", "21");
    d.ApplyCellEdit(LF_AFKOEF, Dec("0.25"), 1);
    d.ApplyCellEdit(LF_AFSOORT, QStringLiteral("3"), 1);
    d.SetLineField(0, LF_VAT, QStringLiteral("150")); // out of range as stored: the standard rate is written
    const DocumentSave save = d.PrepareSave();
    ASSERT_EQ(save.rows.size(), 1);
    EXPECT_EQ(save.rows[0].FL_Afkoef, 0.25);
    EXPECT_EQ(save.rows[0].FL_Afsoort, 3);
    EXPECT_EQ(save.rows[0].FL_VAT, 21.0);
}

TEST_F(FactuurTest, ANewDocumentWithoutLinesSavesNothing)
{
    MemoryStore store;
    TFactuur& d = Make(false);
    d.SetStore(&store);
    bool write = true;
    d.PrepareSave(&write);
    EXPECT_FALSE(write);
    EXPECT_TRUE(d.SaveLines());
    EXPECT_EQ(store.saves, 0);
    EXPECT_EQ(d.State(), TFactuur::Browse);
}

TEST_F(FactuurTest, DeletingEveryLineOfAStoredDocumentIsSaved)
{
    MemoryStore store;
    TFactuur& d = Make(false);
    d.SetStore(&store);
    DocumentHeader header = d.Header();
    header.F_TOTVAL = 15.0;
    header.F_TOTEURO = 15.0;
    d.LoadLines(header, {Row(1, "a", 10, 21), Row(1, "b", 5, 21)});
    d.ShowLines();
    EXPECT_TRUE(d.DeleteLine(0));
    EXPECT_TRUE(d.DeleteLine(0));
    EXPECT_EQ(view.editorClosed, 2);
    ASSERT_EQ(d.LineCount(), 1);
    EXPECT_TRUE(d.Line(0).IsEmptyLine());
    EXPECT_TRUE(d.SaveLines());
    EXPECT_EQ(store.saves, 1);
    EXPECT_TRUE(store.saved.rows.isEmpty());
    EXPECT_DOUBLE_EQ(store.saved.F_TOTVAL, 0.0);
    EXPECT_DOUBLE_EQ(store.saved.F_VATCOEF, 1.0);
    EXPECT_EQ(d.State(), TFactuur::Browse);
}

TEST_F(FactuurTest, AFailedSaveKeepsTheLinesInEditState)
{
    MemoryStore store;
    TFactuur& d = Make(false);
    d.SetStore(&store);
    AddLine("1", "10", "21");
    store.failSave = true;
    const QList<LineRecord> lines = d.Lines();
    EXPECT_FALSE(d.SaveLines());
    EXPECT_EQ(d.State(), TFactuur::Edit);
    EXPECT_EQ(d.Lines(), lines);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices.first().contains(QStringLiteral("disk full")));
    EXPECT_DOUBLE_EQ(d.Header().F_TOTVAL, 0.0);

    store.failSave = false;
    EXPECT_TRUE(d.SaveLines());
    EXPECT_EQ(store.saved.rows.size(), 1);
    EXPECT_DOUBLE_EQ(d.Header().F_TOTVAL, 10.0);
}

TEST_F(FactuurTest, SaveAppliesTheTextStillInTheCellEditor)
{
    MemoryStore store;
    TFactuur& d = Make(false);
    d.SetStore(&store);
    AddLine("1", "10", "21");
    view.pending = true;
    view.pendingLine = 0;
    view.pendingField = LF_QUANTITY;
    view.pendingText = QStringLiteral("4");
    EXPECT_TRUE(d.SaveLines());
    EXPECT_EQ(store.saved.rows[0].FL_AMOUNT, 4.0);
    EXPECT_DOUBLE_EQ(store.saved.F_TOTVAL, 40.0);
}

TEST_F(FactuurTest, EditsNeedTheHeaderInEditMode)
{
    MemoryStore store;
    store.editable = false;
    TFactuur& d = Make(false);
    d.SetStore(&store);
    EXPECT_FALSE(d.SetEditState(TFactuur::Edit));
    EXPECT_FALSE(d.ApplyCellEdit(LF_NET, QStringLiteral("10"), 1));
    EXPECT_TRUE(d.Line(0).IsEmptyLine());
    EXPECT_FALSE(d.InsertEmptyLine(0));
    EXPECT_EQ(d.LineCount(), 1);

    store.editable = true;
    EXPECT_TRUE(d.SetEditState(TFactuur::Edit));
    EXPECT_TRUE(store.editing);
    EXPECT_TRUE(d.SetEditState(TFactuur::Browse));
    EXPECT_FALSE(store.editing);
    EXPECT_EQ(store.posts, 1);
}

TEST_F(FactuurTest, ALockedDocumentCannotBeChanged)
{
    TFactuur& d = Make(false);
    DocumentHeader header = d.Header();
    header.F_LOCKED = true;
    d.LoadLines(header, {Row(1, "a", 10, 21)});
    d.ShowLines();
    EXPECT_EQ(d.LineCount(), 1);
    EXPECT_FALSE(view.editable);
    EXPECT_FALSE(d.ApplyCellEdit(LF_NET, QStringLiteral("99"), 1));
    EXPECT_FALSE(d.DeleteLine(0));
    EXPECT_FALSE(d.AppendEmptyLine());
    EXPECT_DOUBLE_EQ(d.Totals().net, 10.0);
}

TEST_F(FactuurTest, ShowsTheLinesInTheGrid)
{
    MemoryStore store;
    TFactuur& d = Make(false);
    d.SetStore(&store);
    d.LoadLines(d.Header(), {Row(1, "a", 10, 21), Row(2, "b", 5, 21)});
    d.ShowLines();
    EXPECT_EQ(view.lineCount, 3);
    EXPECT_EQ(view.Cell(1, LF_DESCRIPTION), QStringLiteral("b"));
    EXPECT_EQ(view.captions[LF_NET], QStringLiteral("3|EUR"));
    EXPECT_EQ(view.captions[LF_GROSS], QStringLiteral("9|EURi"));
    EXPECT_TRUE(view.editable);
    EXPECT_EQ(view.currentLine, 2);

    store.hasDocument = false;
    d.ShowLines();
    EXPECT_EQ(view.noDocument, Translate(QStringLiteral("Kies \"Bewerken -> Toevoegen\" voor nieuw document")));
}

TEST_F(FactuurTest, DeleteLineMovesTheCurrentLine)
{
    TFactuur& d = Make(false);
    d.LoadLines(d.Header(), {Row(1, "a", 1, 21), Row(1, "b", 2, 21), Row(1, "c", 3, 21)});
    d.ShowLines();
    d.DeleteLine(2);
    EXPECT_EQ(view.currentLine, 1);
    d.DeleteLine(0);
    EXPECT_EQ(view.currentLine, 0);
    EXPECT_EQ(d.Line(0).Field(LF_DESCRIPTION), QStringLiteral("b"));
    EXPECT_DOUBLE_EQ(d.Totals().net, 2.0);
}

TEST_F(FactuurTest, MergeSameProductComparesPricesAsNumbers)
{
    TFactuur& d = Make(false);
    d.LoadLines(d.Header(), {Row(2, "Pen", 1.5, 21), Row(1, "Gom", 1.5, 21), Row(3, "Pen", 1.5, 21),
                             Row(1, "Pen", 1.6, 21)});
    d.SetLineField(2, LF_NETFULL, Dec("1.5")); // typed text, not the loaded "  1.500000"
    d.ShowLines();
    EXPECT_EQ(d.MergeSameProduct(2), 0);
    EXPECT_EQ(d.Line(0).Field(LF_QUANTITY), Dec("5.00"));
    EXPECT_EQ(d.Line(2).Field(LF_DESCRIPTION), QStringLiteral("Pen"));
    EXPECT_EQ(d.Line(2).Number(LF_NETFULL, 0), 1.6);
    EXPECT_EQ(d.LineCount(), 4);
    EXPECT_DOUBLE_EQ(d.Totals().quantity, 7.0);
    EXPECT_EQ(d.MergeSameProduct(2), -1);
    EXPECT_EQ(d.MergeSameProduct(1), -1);
}

TEST_F(FactuurTest, ForeignCurrencyDocumentsKeepTheirSavedRate)
{
    MemoryStore store;
    TFactuur& d = Make(false, "USD");
    d.SetStore(&store);
    AddLine("1", "12.00", "21");
    EXPECT_DOUBLE_EQ(d.Totals().netEuro, 10.0);
    ASSERT_TRUE(d.SaveLines());
    EXPECT_DOUBLE_EQ(store.saved.F_TOTVAL, 12.0);
    EXPECT_DOUBLE_EQ(store.saved.F_TOTEURO, 10.0);
    EXPECT_EQ(store.saved.rows[0].FL_EURO, 10.0);

    // The dollar rises; a new session reopens the document.
    folder.write("EuroConvert.ini", "EUR|1|2|\r\nUSD|1,5|2|\r\n");
    DocumentHeader header = d.Header();
    QList<LineRow> rows = store.saved.rows;
    TFactuur& e = Make(false, "USD");
    e.LoadLines(header, rows);
    e.ShowLines();
    EXPECT_DOUBLE_EQ(e.Totals().net, 12.0);
    EXPECT_DOUBLE_EQ(e.Totals().netEuro, 10.0);
    EXPECT_DOUBLE_EQ(e.Totals().grossEuro, 12.10);
    EXPECT_EQ(view.totals, Dec("   12.00 USD (10.00 EUR)\n   14.52 USD (12.10 EUR)"));
    // Shown fresh, the new rate counts.
    e.ShowLines(true);
    EXPECT_DOUBLE_EQ(e.Totals().netEuro, 8.0);
    EXPECT_TRUE(notices.isEmpty());
}

TEST_F(FactuurTest, ChangingTheCurrencyRepricesFromTheEuroPrices)
{
    TFactuur& d = Make(false);
    AddLine("2", "10", "21");
    d.AppendEmptyLine();
    d.ApplyCellEdit(LF_DESCRIPTION, QStringLiteral("Tekst"), 2);
    EXPECT_TRUE(d.ChangeCurrency(QStringLiteral("USD")));
    EXPECT_EQ(d.Header().F_CURRENCY, QStringLiteral("USD"));
    EXPECT_EQ(d.Line(0).Field(LF_NET), Dec("   12.00"));
    EXPECT_EQ(d.Line(0).Field(LF_NETFULL), Dec(" 12.0000"));
    EXPECT_EQ(d.Line(0).Field(LF_GROSS), Dec("   14.52"));
    EXPECT_EQ(d.Line(0).Field(LF_NETEURO), Dec(" 10.0000"));
    EXPECT_TRUE(d.Line(1).IsBlank(LF_NET));
    EXPECT_DOUBLE_EQ(d.Totals().net, 24.0);
    EXPECT_DOUBLE_EQ(d.Totals().netEuro, 20.0);
    EXPECT_EQ(view.captions[LF_NET], QStringLiteral("3|USD"));
    EXPECT_EQ(d.State(), TFactuur::Edit);
}

TEST_F(FactuurTest, AnUnknownDocumentCurrencyFallsBackWithAWarning)
{
    TFactuur& d = Make(false);
    DocumentHeader header = d.Header();
    header.F_CURRENCY = QStringLiteral("XYZ");
    d.LoadLines(header, {Row(1, "a", 10, 21)});
    d.ShowLines();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices.first().contains(QStringLiteral("<XYZ>")));
    EXPECT_EQ(d.DocumentCurrency().code, QStringLiteral("EUR"));
    EXPECT_DOUBLE_EQ(d.Totals().netEuro, 10.0);
}

TEST_F(FactuurTest, TotalsTextShowsTheAlternativeCurrency)
{
    FactuurSetup setup = Setup(false, "EUR", "BEF");
    doc = std::make_unique<TFactuur>(&view, setup, [this](const QString& text) { notices << text; });
    doc->LoadLines(NewDocumentHeader(1, DT_SALESINVOICE, 1, QStringLiteral("EUR"), QDate(2026, 1, 1), setup.options),
                   {Row(1, "a", 45, 21)});
    doc->ShowLines();
    EXPECT_EQ(view.totals, Dec("   45.00 EUR (1815 BEF)\n   54.45 EUR (2197 BEF)"));
}

TEST_F(FactuurTest, SummaryText)
{
    FactuurSetup setup = Setup(false);
    setup.options.USEIVK = true;
    TFactuur& d = Make(false, "EUR", &setup);
    d.SetDiscount(10);
    LineRow row = Row(3, "Frigo", 100, 21, 50);
    row.FL_IVK = 2.5;
    d.LoadLines(d.Header(), {row});
    d.ShowLines();
    const QString expected = Translate(QStringLiteral("Aantal:")) + Dec("   3.00")
                             + QStringLiteral("  ") + Translate(QStringLiteral("IVK: %2.2f EUR")).replace(QStringLiteral("%2.2f"), Dec("7.50"))
                             + QLatin1Char('\n') + Translate(QStringLiteral("Korting:")) + Dec(" 10.00% (-165 EUR)");
    EXPECT_EQ(view.summary, expected);
    EXPECT_DOUBLE_EQ(d.Totals().contribution, 7.5);
    EXPECT_DOUBLE_EQ(d.Totals().contributionQuantity, 3.0);
}

TEST_F(FactuurTest, NewDocumentsStartUnpaidAndUnlocked)
{
    FactuurOptions options;
    options.BETTERMMND = 1;
    options.BETTERMDAY = 10;
    const DocumentHeader header =
        NewDocumentHeader(12, DT_QUOTATION, 5, QStringLiteral("EUR"), QDate(2027, 1, 31), options);
    EXPECT_FALSE(header.F_PAYED);
    EXPECT_FALSE(header.F_LOCKED);
    EXPECT_EQ(header.F_PREPAYED, 0.0);
    EXPECT_EQ(header.F_FACDATE, QDate(2027, 1, 31));
    EXPECT_EQ(header.F_EXPDATE, QDate(2027, 3, 10)); // 28 February plus 10 days
    EXPECT_EQ(DueDate(QDate(2026, 12, 15), 2, 0), QDate(2027, 2, 15));
}

TEST_F(FactuurTest, ReadsItsOptionsOnce)
{
    folder.write("ovra.ini", "STBTW 6\r\nBETTERMMND 2\r\nUSEIVK FALSE\r\nGROEPIFSAME TRUE\r\nMUNT BEF\r\n");
    const FactuurSetup setup = ReadFactuurSetup(folder.file("ovra.ini"), folder.path());
    EXPECT_DOUBLE_EQ(setup.options.STBTW, 6.0);
    EXPECT_EQ(setup.options.BETTERMMND, 2);
    EXPECT_EQ(setup.options.BETTERMDAY, 0);
    EXPECT_FALSE(setup.options.USEIVK);
    EXPECT_TRUE(setup.options.GROEPIFSAME);
    EXPECT_TRUE(setup.options.SCANNERMODE); // absent reads as true
    EXPECT_EQ(setup.mainCurrency, QStringLiteral("BEF"));
    EXPECT_EQ(setup.alternativeCurrency, QStringLiteral("EUR"));
}

TEST_F(FactuurTest, ProductCodesGoToTheFiller)
{
    TFactuur& d = Make(false);
    d.SetProductFiller([](TFactuur& document, int line, const QString& code) {
        if (code != QStringLiteral("P1"))
            return false;
        document.SetLineField(line, LF_DESCRIPTION, QStringLiteral("Potlood"));
        document.SetLineField(line, LF_NETFULL, QStringLiteral("2"));
        document.SetLineField(line, LF_VAT, QStringLiteral("21"));
        document.SetLineField(line, LF_QUANTITY, QStringLiteral("1"));
        return true;
    });
    EXPECT_TRUE(d.ApplyCellEdit(LF_DESCRIPTION, QStringLiteral("P1"), 1));
    EXPECT_EQ(d.Line(0).Field(LF_DESCRIPTION), QStringLiteral("Potlood"));
    EXPECT_EQ(view.Cell(0, LF_DESCRIPTION), QStringLiteral("Potlood"));
    EXPECT_DOUBLE_EQ(d.Totals().net, 2.0);
    EXPECT_FALSE(d.ApplyCellEdit(LF_DESCRIPTION, QStringLiteral("vrije tekst"), 1));
    EXPECT_EQ(d.Line(0).Field(LF_DESCRIPTION), QStringLiteral("vrije tekst"));
}

TEST_F(FactuurTest, LockingMovesStockByTheListedType)
{
    const struct
    {
        int type;
        bool locking;
        StockDirection direction;
    } cases[] = {
        {DT_SALESINVOICE, true, StockDirection::Out},   {DT_SALESINVOICE, false, StockDirection::In},
        {DT_CREDITNOTE, true, StockDirection::In},      {DT_CREDITNOTE, false, StockDirection::Out},
        {DT_PURCHASEINVOICE, true, StockDirection::In}, {DT_PURCHASEINVOICE, false, StockDirection::Out},
        {DT_QUOTATION, true, StockDirection::None},     {DT_DELIVERYNOTE, false, StockDirection::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StockDirectionOf(c.type, c.locking), c.direction) << c.type << " " << c.locking;
}

TEST_F(FactuurTest, LockingSavesFirstAndDropsTheEmptyLine)
{
    MemoryStore store;
    TFactuur& d = Make(false);
    d.SetStore(&store);
    std::vector<StockDirection> updates;
    d.SetStockUpdate([&updates](const TFactuur&, StockDirection direction) { updates.push_back(direction); });
    AddLine("3", "10", "21");
    EXPECT_EQ(d.State(), TFactuur::Edit);

    EXPECT_TRUE(d.SetLocked(true));
    EXPECT_EQ(store.saves, 1);
    EXPECT_TRUE(store.locked);
    EXPECT_TRUE(d.Header().F_LOCKED);
    EXPECT_EQ(d.LineCount(), 1);
    EXPECT_FALSE(view.editable);
    EXPECT_TRUE(d.SetLocked(true)); // already locked: nothing happens
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0], StockDirection::Out);

    EXPECT_TRUE(d.SetLocked(false));
    EXPECT_EQ(updates.back(), StockDirection::In);
    EXPECT_TRUE(d.Line(d.LineCount() - 1).IsEmptyLine());
    EXPECT_TRUE(view.editable);

    // The header refuses: the document stays unlocked and stock is not touched.
    store.editable = false;
    EXPECT_FALSE(d.SetLocked(true));
    EXPECT_FALSE(d.Header().F_LOCKED);
    EXPECT_EQ(updates.size(), 2u);
}

} // namespace
