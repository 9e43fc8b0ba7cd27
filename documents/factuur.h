#pragma once

#include "documents/currency.h"
#include "documents/documentheader.h"
#include "documents/documentstore.h"
#include "documents/linerecord.h"
#include "documents/linerows.h"
#include "documents/linerow.h"
#include "documents/notices.h"

#include <QList>
#include <QString>

#include <functional>
#include <vector>

class DocumentView;
class TFactuur;

// Document options of "ovra.ini", read once when the engine is made. An absent boolean key
// reads as true, as everywhere in the settings.
struct FactuurOptions
{
    double STBTW = 21.0;        // standard VAT percentage
    int BETTERMMND = 1;         // payment term, months
    int BETTERMDAY = 0;         // payment term, extra days
    bool USEIVK = true;         // lines carry a contribution per unit (field 14)
    bool ADDDATETOFL = true;    // consolidated invoices: date appended to product descriptions
    bool VERKEXCL = true;       // document lists show sales totals without VAT
    bool GROEPIFSAME = true;    // a product line merges into an earlier equal line
    bool SCANNERMODE = true;    // after a product code the cursor goes to a new empty line
};

FactuurOptions ReadFactuurOptions(const QString& ovraIni);

// Everything the engine needs to know about its surroundings when it is made.
struct FactuurSetup
{
    FactuurOptions options;
    QString currencyFolder;                             // where "EuroConvert.ini" lives
    QString mainCurrency = QStringLiteral("BEF");       // MUNT
    QString alternativeCurrency = QStringLiteral("EUR"); // ALTMUNT
    bool vatInclusive = false;                          // VATINC of the administration
};

// The options, MUNT and ALTMUNT of "ovra.ini"; the currency file is in the data folder.
FactuurSetup ReadFactuurSetup(const QString& ovraIni, const QString& dataFolder);

// One VAT rate of a document: its base and VAT, in the document currency and in euro.
struct VatGroup
{
    double percentage = -1.0;   // -1: not in use
    double base = 0.0;
    double vat = 0.0;
    double vatEuro = 0.0;
    double baseEuro = 0.0;
};

struct DocumentTotals
{
    // Four groups are what the labels and reports read; a stored document with more rates
    // (made before refusing a fifth) gets further groups, so no line drops out of the totals.
    std::vector<VatGroup> groups;
    double netBeforeDiscounts = 0.0;
    double grossBeforeDiscounts = 0.0;
    double net = 0.0;
    double gross = 0.0;
    double due = 0.0;
    double netBeforeDiscountsEuro = 0.0;
    double grossBeforeDiscountsEuro = 0.0;
    double netEuro = 0.0;
    double grossEuro = 0.0;
    double dueEuro = 0.0;
    double quantity = 0.0;
    double contribution = 0.0;          // euro
    double contributionQuantity = 0.0;
};

// Fills a line from the product whose code was typed as description (products and prices);
// returns false when no product has that code. Line index from 0.
using ProductFiller = std::function<bool(TFactuur& document, int line, const QString& code)>;

constexpr int kVatGroupCount = 4;

// What locking or unlocking a document does to the stock of its products.
enum class StockDirection { None, In, Out };

// Sales invoices take stock out when locked and put it back when unlocked; credit notes and
// purchase invoices the other way round; other types leave stock alone. By the listed type.
StockDirection StockDirectionOf(int listedType, bool locking);

// Applies the stock and points effect of the document's lines (products and prices).
using StockUpdate = std::function<void(const TFactuur& document, StockDirection direction)>;

// The open sales document: its lines in memory, the arithmetic on them and what is written
// back. One per running program.
class TFactuur
{
public:
    enum EditState { Browse = 1, Edit = 2 };

    explicit TFactuur(DocumentView* view, FactuurSetup setup, NoticeSink notices = DefaultNoticeSink());
    virtual ~TFactuur();

    TFactuur(const TFactuur&) = delete;
    TFactuur& operator=(const TFactuur&) = delete;

    // Surroundings, set by the program (all optional: without a store the header lives here).
    void SetStore(DocumentStore* store) { m_store = store; }
    void SetProductFiller(ProductFiller filler) { m_productFiller = std::move(filler); }
    void SetStockUpdate(StockUpdate update) { m_stockUpdate = std::move(update); }
    // The type the document list shows (process-wide); 0 follows the document's own type.
    void SetListedType(int type) { m_listedType = type; }
    void SetVatInclusive(bool vatInclusive) { m_setup.vatInclusive = vatInclusive; }
    // Options the settings dialog changes in the live engine.
    void SetScannerMode(bool on) { m_setup.options.SCANNERMODE = on; }
    void SetPaymentTerm(int months, int days);
    void SetGroupIfSame(bool on) { m_setup.options.GROEPIFSAME = on; }
    void SetUseContribution(bool on) { m_setup.options.USEIVK = on; }

    const FactuurOptions& Options() const { return m_setup.options; }
    bool VatInclusive() const { return m_setup.vatInclusive; }
    QString MainCurrency() const { return m_setup.mainCurrency; }
    const DocumentHeader& Header() const { return m_header; }
    const CurrencyRecord& DocumentCurrency() const { return m_currency; }
    const CurrencyRecord& EuroCurrency() const { return m_euro; }
    const CurrencyBook& Currencies() const { return m_book; }

    // Lines (index from 0).
    int LineCount() const { return int(m_lines.size()); }
    const LineRecord& Line(int index) const { return m_lines.at(index); }
    const QList<LineRecord>& Lines() const { return m_lines; }
    // For the product filler: replaces a line's fields without any further rule.
    void SetLineField(int index, int field, const QString& text);

    // LoadLines over rows the data layer read (the document's `faclijn` records in order).
    void LoadLines(const DocumentHeader& header, const QList<LineRow>& rows);
    // The header values changed by the header record (discount, prepayment, currency ...).
    void SetDiscount(double percent);
    void SetPrepayment(std::optional<double> amount);
    // The document dialog chose another currency: every line with a euro net price gets its
    // document-currency prices from it at the new rate. False when the lines cannot change.
    bool ChangeCurrency(const QString& code);

    void ShowLines(bool fresh = false);
    // x: units of document currency per euro, or -1 for the rate of the currency record.
    const DocumentTotals& ComputeTotals(double x, bool display);
    const DocumentTotals& Totals() const { return m_totals; }
    double LastRate() const { return m_lastRate; }

    // Applies a typed value to field 1..14 of line `lineNumber` (from 1). True only when the
    // text was a recognised product code.
    bool ApplyCellEdit(int field, const QString& text, int lineNumber);

    // The save: a no-op (true) for a new document holding only the empty line; false when
    // the store refused, and then the document stays in edit state with its lines.
    bool SaveLines();
    // What a save writes now; write is false when nothing is to be saved.
    DocumentSave PrepareSave(bool* write = nullptr);
    const DocumentSave& LastSave() const { return m_lastSave; }

    int State() const { return m_state; }
    bool SetEditState(int state);

    bool InsertEmptyLine(int index);
    bool DeleteLine(int index);
    bool AppendEmptyLine();
    // Merges line `index` into the first other line with the same description and the same
    // net price (as numbers); returns the index of that line after the merge, or -1.
    int MergeSameProduct(int index);

    // Locks or unlocks the document; pending line changes are saved first. False when the
    // save or the header refused, and then nothing changed.
    bool SetLocked(bool locked);

    // Whether a line may carry this VAT text: only four distinct rates per document.
    bool VatRateFits(int index, const QString& vatText) const;

    QString TotalsText() const;
    QString SummaryText() const;
    QString PointsText() const { return m_points; }
    void SetPointsText(const QString& text) { m_points = text; }

private:
    bool CanChangeLines();
    void FillLineDefaults(LineRecord& line, int except) const;
    void ShowChangedCells(int index, const LineRecord& before);
    void Notify(const QString& text) const;
    int CurrencyDecimals() const { return m_currency.decimals; }
    double Rate() const { return m_currency.rate; }
    double VatFactor(const LineRecord& line) const;
    LineConversion Conversion() const;

    DocumentView* m_view = nullptr;
    DocumentStore* m_store = nullptr;
    FactuurSetup m_setup;
    NoticeSink m_notices;
    CurrencyBook m_book;
    ProductFiller m_productFiller;
    StockUpdate m_stockUpdate;
    int m_listedType = 0;

    DocumentHeader m_header;
    CurrencyRecord m_currency;
    CurrencyRecord m_euro;
    CurrencyRecord m_alternative;
    QList<LineRecord> m_lines;
    int m_storedLineCount = 0;
    int m_state = Browse;
    DocumentTotals m_totals;
    double m_lastRate = -1.0;
    DocumentSave m_lastSave;
    QString m_points;
};
