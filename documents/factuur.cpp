#include "documents/factuur.h"

#include "documents/documentview.h"
#include "documents/linerows.h"
#include "documents/money.h"

#include "foundation/numbers.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"

#include <cmath>

namespace {

QString ZeroText()
{
    return QLatin1Char('0') + DecimalSeparator() + QLatin1String("00");
}

QString OneText()
{
    return QLatin1Char('1') + DecimalSeparator() + QLatin1String("00");
}

// The "%8.4f" of money fields that are recomputed from another field.
QString RecomputedText(double x)
{
    return FixedText(8, 4, x);
}

bool SameNumber(const LineRecord& a, const LineRecord& b, int field)
{
    if (a.IsBlank(field) || b.IsBlank(field))
        return a.IsBlank(field) && b.IsBlank(field);
    double x = 0.0;
    double y = 0.0;
    if (!ReadNumber(a.Field(field), &x) || !ReadNumber(b.Field(field), &y))
        return a.Field(field).trimmed() == b.Field(field).trimmed();
    return x == y;
}

bool ChangesTotals(int field)
{
    return (field >= LF_QUANTITY && field <= LF_DISCOUNT) || field == LF_GROSS || field == LF_GROSSEURO;
}

} // namespace

FactuurOptions ReadFactuurOptions(const QString& ovraIni)
{
    FactuurOptions options;
    options.STBTW = ReadSettingFloat(ovraIni, QStringLiteral("STBTW"), 21.0);
    options.BETTERMMND = ReadSettingInt(ovraIni, QStringLiteral("BETTERMMND"), 1);
    options.BETTERMDAY = ReadSettingInt(ovraIni, QStringLiteral("BETTERMDAY"), 0);
    options.USEIVK = ReadSettingBool(ovraIni, QStringLiteral("USEIVK"));
    options.ADDDATETOFL = ReadSettingBool(ovraIni, QStringLiteral("ADDDATETOFL"));
    options.VERKEXCL = ReadSettingBool(ovraIni, QStringLiteral("VERKEXCL"));
    options.GROEPIFSAME = ReadSettingBool(ovraIni, QStringLiteral("GROEPIFSAME"));
    options.SCANNERMODE = ReadSettingBool(ovraIni, QStringLiteral("SCANNERMODE"));
    return options;
}

FactuurSetup ReadFactuurSetup(const QString& ovraIni, const QString& dataFolder)
{
    FactuurSetup setup;
    setup.options = ReadFactuurOptions(ovraIni);
    setup.currencyFolder = dataFolder;
    bool found = false;
    const QString main = ReadSetting(ovraIni, QStringLiteral("MUNT"), &found);
    if (found)
        setup.mainCurrency = main;
    const QString alternative = ReadSetting(ovraIni, QStringLiteral("ALTMUNT"), &found);
    if (found)
        setup.alternativeCurrency = alternative;
    return setup;
}

TFactuur::TFactuur(DocumentView* view, FactuurSetup setup, NoticeSink notices)
    : m_view(view),
      m_setup(std::move(setup)),
      m_notices(notices ? std::move(notices) : DefaultNoticeSink()),
      m_book(m_setup.currencyFolder, m_notices)
{
    m_euro = m_book.Lookup(QStringLiteral("EUR"));
    m_alternative = IsEuroCode(m_setup.alternativeCurrency) ? m_euro : m_book.Lookup(m_setup.alternativeCurrency);
    m_currency = m_book.Find(m_setup.mainCurrency);
    m_header.F_CURRENCY = m_setup.mainCurrency;
    m_totals.groups.assign(kVatGroupCount, VatGroup());
}

TFactuur::~TFactuur() = default;

void TFactuur::SetPaymentTerm(int months, int days)
{
    m_setup.options.BETTERMMND = months;
    m_setup.options.BETTERMDAY = days;
}

void TFactuur::Notify(const QString& text) const
{
    m_notices(text);
}

void TFactuur::SetLineField(int index, int field, const QString& text)
{
    if (index >= 0 && index < LineCount())
        m_lines[index].SetField(field, text);
}

LineConversion TFactuur::Conversion() const
{
    LineConversion conversion;
    conversion.vatInclusive = m_setup.vatInclusive;
    conversion.documentDecimals = CurrencyDecimals();
    conversion.euroDecimals = m_euro.decimals;
    conversion.standardVat = m_setup.options.STBTW;
    conversion.useContribution = m_setup.options.USEIVK;
    conversion.purchaseInvoice = (m_listedType != 0 ? m_listedType : m_header.F_TYPE) == DT_PURCHASEINVOICE;
    return conversion;
}

double TFactuur::VatFactor(const LineRecord& line) const
{
    return 1.0 + line.Number(LF_VAT, m_setup.options.STBTW) / 100.0;
}

void TFactuur::LoadLines(const DocumentHeader& header, const QList<LineRow>& rows)
{
    m_header = header;
    const QString code = header.F_CURRENCY.trimmed();
    m_currency = code.isEmpty() ? m_book.Lookup(m_setup.mainCurrency) : m_book.LookupOr(code, m_setup.mainCurrency);

    m_lines.clear();
    m_lines.reserve(rows.size() + 1);
    const LineConversion conversion = Conversion();
    for (const LineRow& row : rows)
        m_lines.append(LineRecordFromRow(row, conversion));
    if (!m_header.F_LOCKED)
        m_lines.append(LineRecord::Empty());
    m_storedLineCount = int(rows.size());
    m_points.clear();
    m_lastSave = DocumentSave();
}

void TFactuur::SetDiscount(double percent)
{
    if (!IsValidDocumentDiscount(percent)) {
        Notify(Translate(NL("Korting moet tussen 0 en 100% liggen!")));
        return;
    }
    m_header.F_DISCOUNT = percent;
    ComputeTotals(m_lastRate, true);
}

void TFactuur::SetPrepayment(std::optional<double> amount)
{
    m_header.F_PREPAYED = amount;
    ComputeTotals(m_lastRate, true);
}

bool TFactuur::ChangeCurrency(const QString& code)
{
    if (code == m_header.F_CURRENCY)
        return true;
    if (!CanChangeLines())
        return false;
    m_header.F_CURRENCY = code;
    m_currency = m_book.LookupOr(code, m_setup.mainCurrency);
    const double rate = Rate();
    for (LineRecord& line : m_lines) {
        double euroNet = 0.0;
        if (!line.ReadField(LF_NETEURO, &euroNet))
            continue;
        const double net = euroNet * rate;
        line.SetField(LF_NET, FixedText(8, 2, net));
        line.SetField(LF_NETFULL, RecomputedText(net));
        line.SetField(LF_GROSS, FixedText(8, 2, net * VatFactor(line)));
    }
    ShowLines(true);
    return true;
}

const DocumentTotals& TFactuur::ComputeTotals(double x, bool display)
{
    if (x < 0.0)
        x = Rate();
    m_lastRate = x;
    const int d = CurrencyDecimals();
    const double D = m_header.F_DISCOUNT;
    const bool inclusive = m_setup.vatInclusive;
    const bool useIvk = m_setup.options.USEIVK;

    DocumentTotals t;
    t.groups.assign(kVatGroupCount, VatGroup());
    for (const LineRecord& line : std::as_const(m_lines)) {
        if (useIvk && !line.IsBlank(LF_IVK) && !line.IsBlank(LF_QUANTITY)) {
            const double q = line.Number(LF_QUANTITY, 0.0);
            t.contribution += q * line.Number(LF_IVK, 0.0);
            t.contributionQuantity += q;
        }
        double percentage = 0.0;
        if (!line.ReadField(LF_VAT, &percentage))
            continue;
        VatGroup* group = nullptr;
        for (VatGroup& g : t.groups) {
            if (g.percentage == percentage || g.percentage == -1.0) {
                group = &g;
                break;
            }
        }
        if (!group) {
            t.groups.push_back(VatGroup());
            group = &t.groups.back();
        }
        group->percentage = percentage;

        const double p = line.Number(LF_DISCOUNT, 0.0);
        const double net = line.Number(LF_NETFULL, 0.0);
        double q = line.Number(LF_QUANTITY, 0.0);
        if (line.IsBlank(LF_QUANTITY) && net != 0.0)
            q = 1.0;
        if (inclusive) {
            const double g = line.Number(LF_GROSS, 0.0);
            group->base += (100.0 - p) / 100.0 * g * q * (100.0 - D) / 100.0;
            t.grossBeforeDiscounts += q * g;
            t.netBeforeDiscounts += q * NetFromGross(d, percentage, g);
        } else {
            group->base += net * (100.0 - p) / 100.0 * q * (100.0 - D) / 100.0;
            t.grossBeforeDiscounts += net * (percentage / 100.0 + 1.0) * q;
            t.netBeforeDiscounts += net * q;
        }
        t.quantity += q;
    }

    t.netBeforeDiscounts = RoundHalfUp(d, t.netBeforeDiscounts);
    t.grossBeforeDiscounts = RoundHalfUp(d, t.grossBeforeDiscounts);
    t.netBeforeDiscountsEuro = SafeDivide(t.netBeforeDiscounts, x);
    t.grossBeforeDiscountsEuro = SafeDivide(t.grossBeforeDiscounts, x);

    // Base and VAT are rounded once per rate, never per line.
    for (VatGroup& group : t.groups) {
        if (group.percentage == -1.0)
            continue;
        double base = RoundHalfUp(d, group.base);
        if (inclusive) {
            group.vat = VatOfGross(d, group.percentage, base);
            t.gross += base;
            t.net += base - group.vat;
            base = NetFromGross(d, group.percentage, base);
        } else {
            group.vat = RoundHalfUp(d, base * group.percentage / 100.0);
            t.net += base;
            t.gross += base + group.vat;
        }
        group.base = base;
        group.baseEuro = SafeDivide(base, x);
        group.vatEuro = SafeDivide(group.vat, x);
    }
    // Sums of amounts already at d decimals: rounding only takes away binary noise.
    t.net = RoundHalfUp(d, t.net);
    t.gross = RoundHalfUp(d, t.gross);
    t.netEuro = SafeDivide(t.net, x);
    t.grossEuro = SafeDivide(t.gross, x);

    const double prepaid = m_header.F_PREPAYED.value_or(0.0);
    if (prepaid != 0.0) {
        t.due = RoundHalfUp(d, t.gross - prepaid);
        t.dueEuro = t.grossEuro - SafeDivide(prepaid, x);
    } else {
        t.due = t.gross;
        t.dueEuro = t.grossEuro;
    }
    m_totals = std::move(t);

    if (display && m_view) {
        m_view->SetTotalsText(TotalsText());
        m_view->SetSummaryText(SummaryText());
    }
    return m_totals;
}

QString TFactuur::TotalsText() const
{
    const QString code = m_currency.code;
    const bool documentInEuro = IsEuroCode(code);
    const bool alternativeIsEuro = IsEuroCode(m_alternative.code);
    const auto line = [&](double total, double totalEuro) -> QString {
        QString text = FixedText(8, m_currency.decimals, total) + QLatin1Char(' ') + code;
        if (documentInEuro && alternativeIsEuro)
            return text;
        if (!documentInEuro)
            return text + QLatin1String(" (") + FixedText(0, 2, totalEuro) + QLatin1String(" EUR)");
        double y = m_lastRate;
        if (y == 1.0 && !alternativeIsEuro)
            y = m_alternative.rate;
        return text + QLatin1String(" (") + FixedText(0, m_alternative.decimals, y * totalEuro) + QLatin1Char(' ')
               + m_alternative.code + QLatin1Char(')');
    };
    return line(m_totals.net, m_totals.netEuro) + QLatin1Char('\n') + line(m_totals.gross, m_totals.grossEuro);
}

QString TFactuur::SummaryText() const
{
    QString text = Translate(NL("Aantal:")) + QLatin1Char(' ') + FixedText(6, 2, m_totals.quantity);
    if (m_setup.options.USEIVK)
        text += QLatin1String("  ")
                + Translate(NL("IVK: %2.2f EUR")).replace(QLatin1String("%2.2f"), TwoDecimals(m_totals.contribution));
    text += QLatin1Char('\n') + Translate(NL("Korting:")) + QLatin1Char(' ') + FixedText(1, 2, m_header.F_DISCOUNT)
            + QLatin1String("% (") + FixedText(1, 0, m_totals.net - m_totals.netBeforeDiscounts) + QLatin1Char(' ')
            + m_currency.code + QLatin1Char(')');
    return text;
}

bool TFactuur::SetEditState(int state)
{
    if (state == Browse) {
        if (m_store && m_store->IsHeaderEditing())
            m_store->PostHeader();
        m_state = Browse;
        return true;
    }
    if (state != Edit)
        return false;
    if (m_store) {
        if (!m_store->HasDocument())
            return false;
        if (!m_store->IsHeaderEditing())
            m_store->EditHeader();
        if (!m_store->IsHeaderEditing())
            return false;
    }
    m_state = Edit;
    return true;
}

bool TFactuur::CanChangeLines()
{
    return !m_header.F_LOCKED && SetEditState(Edit);
}

bool TFactuur::VatRateFits(int index, const QString& vatText) const
{
    double rate = 0.0;
    if (!ReadNumber(vatText, &rate))
        return true;
    QList<double> rates;
    for (int i = 0; i < LineCount(); ++i) {
        double other = 0.0;
        if (i == index || !m_lines.at(i).ReadField(LF_VAT, &other))
            continue;
        if (other == rate)
            return true;
        if (!rates.contains(other))
            rates.append(other);
    }
    return rates.size() < kVatGroupCount;
}

void TFactuur::FillLineDefaults(LineRecord& line, int except) const
{
    static const int order[] = {LF_QUANTITY, LF_NET, LF_NETEURO, LF_VAT, LF_DISCOUNT,
                                LF_AFKOEF, LF_AFSOORT, LF_GROSS, LF_GROSSEURO};
    for (const int field : order) {
        if (field == except || !line.IsBlank(field))
            continue;
        switch (field) {
        case LF_QUANTITY:
        case LF_AFKOEF:
            line.SetField(field, OneText());
            break;
        case LF_VAT:
            line.SetField(field, TwoDecimals(m_setup.options.STBTW));
            break;
        case LF_AFSOORT:
            line.SetField(field, QStringLiteral("1"));
            break;
        default:
            line.SetField(field, ZeroText());
            if (field == LF_NET)
                line.SetField(LF_NETFULL, ZeroText());
            break;
        }
    }
}

void TFactuur::ShowChangedCells(int index, const LineRecord& before)
{
    if (!m_view || index < 0 || index >= LineCount())
        return;
    const LineRecord& line = m_lines.at(index);
    for (int field = 1; field <= LineFieldCount; ++field) {
        if (line.Field(field) != before.Field(field))
            m_view->SetCellText(index, field, line.Field(field));
    }
}

bool TFactuur::ApplyCellEdit(int field, const QString& text, int lineNumber)
{
    const int index = lineNumber - 1;
    if (field < 1 || field > LineFieldCount || index < 0 || index >= LineCount())
        return false;
    if (!CanChangeLines())
        return false;

    const LineRecord before = m_lines.at(index);
    if (field == LF_DESCRIPTION && m_productFiller && !text.trimmed().isEmpty()) {
        const int count = LineCount();
        if (m_productFiller(*this, index, text.trimmed())) {
            if (!VatRateFits(index, m_lines.at(index).Field(LF_VAT))) {
                m_lines[index] = before;
                Notify(Translate(NL("Een document kan hoogstens vier verschillende BTW-percentages hebben!")));
            }
            if (LineCount() != count)
                ShowLines(true);
            else
                ShowChangedCells(index, before);
            ComputeTotals(-1.0, true);
            return true;
        }
    }

    LineRecord line = before;
    const int d = CurrencyDecimals();
    const int e = m_euro.decimals;
    const double R = Rate();
    double W = VatFactor(line);
    QString stored = text;
    QString shown;          // the cell's text when it is not the stored one
    bool hasShown = false;
    double value = 0.0;
    const bool isNumber = ReadNumber(text, &value);
    const bool isBlank = text.trimmed().isEmpty();

    switch (field) {
    case LF_QUANTITY:
        if (isBlank) {
            stored.clear();
            shown = ShortestText(1.0);
            hasShown = true;
        } else {
            stored = ShortestText(isNumber ? value : 1.0);
        }
        FillLineDefaults(line, field);
        break;
    case LF_NET: {
        const double n = isNumber ? value : 0.0;
        if (!isNumber)
            stored = MoneyText(d + 2, n);
        line.SetField(LF_GROSS, MoneyText(d + 2, n * W));
        line.SetField(LF_NETEURO, RecomputedText(SafeDivide(n, R)));
        line.SetField(LF_GROSSEURO, RecomputedText(SafeDivide(n * W, R)));
        FillLineDefaults(line, field);
        break;
    }
    case LF_NETEURO: {
        const double x = isNumber ? value : 0.0;
        if (!isNumber)
            stored = MoneyText(e + 2, x);
        line.SetField(LF_NETFULL, RecomputedText(x * R));
        line.SetField(LF_NET, MoneyText(d + 2, x * R));
        line.SetField(LF_GROSS, MoneyText(d + 2, x * R * W));
        line.SetField(LF_GROSSEURO, RecomputedText(x * W));
        FillLineDefaults(line, field);
        break;
    }
    case LF_VAT: {
        if (isBlank)
            return false;
        double v = value;
        if (!isNumber || v < 0.0) {
            Notify(Translate(NL("BTW moet groter of gelijk aan 0 zijn!")));
            stored = ZeroText();
            v = 0.0;
        }
        W = 1.0 + v / 100.0;
        const double n = line.Number(LF_NETFULL, 0.0);
        line.SetField(LF_GROSS, MoneyText(d + 2, n * W));
        line.SetField(LF_GROSSEURO, RecomputedText(SafeDivide(n * W, R)));
        break;
    }
    case LF_DISCOUNT:
        if (isBlank)
            return false;
        if (!isNumber || value < 0.0 || value > 100.0) {
            Notify(Translate(NL("Korting moet tussen 0 en 100% liggen!")));
            stored = ZeroText();
        }
        break;
    case LF_AFKOEF:
        if (isBlank)
            return false;
        if (!isNumber || value < 0.0 || value > 1.0) {
            Notify(Translate(NL("Afschrijvingcoeficient moet tussen 0 en 1 liggen!")));
            stored = ZeroText();
        }
        break;
    case LF_AFSOORT: {
        if (isBlank)
            return false;
        const int kind = IntOrDefault(text, 0);
        if (kind < 1 || kind > 9) {
            Notify(Translate(NL("Soort afschrijving moet (1 - kosten 2 - goederen 3 - investeringen 4..9 door gebruiker gedefinieerd) zijn")));
            stored = QStringLiteral("1");
        } else {
            stored = QString::number(kind);
        }
        break;
    }
    case LF_GROSS: {
        const double y = isNumber ? value : 0.0;
        if (!isNumber)
            stored = MoneyText(d + 2, y);
        line.SetField(LF_NETFULL, RecomputedText(y / W));
        line.SetField(LF_NET, MoneyText(d + 2, y / W));
        line.SetField(LF_NETEURO, RecomputedText(SafeDivide(y / W, R)));
        line.SetField(LF_GROSSEURO, RecomputedText(SafeDivide(y, R)));
        FillLineDefaults(line, field);
        break;
    }
    case LF_GROSSEURO: {
        const double x = isNumber ? value : 0.0;
        if (!isNumber)
            stored = MoneyText(e + 2, x);
        line.SetField(LF_NETFULL, RecomputedText(R * (x / W)));
        line.SetField(LF_NET, MoneyText(d + 2, R * (x / W)));
        line.SetField(LF_GROSS, MoneyText(d + 2, R * x));
        line.SetField(LF_NETEURO, RecomputedText(x / W));
        FillLineDefaults(line, field);
        break;
    }
    default:
        break;
    }

    line.SetField(field, stored);
    if (field == LF_NET)
        line.SetField(LF_NETFULL, stored);

    // A fifth rate would have no VAT group: refuse the edit rather than leave the line out.
    if (!VatRateFits(index, line.Field(LF_VAT))) {
        Notify(Translate(NL("Een document kan hoogstens vier verschillende BTW-percentages hebben!")));
        if (m_view)
            m_view->SetCellText(index, field, before.Field(field));
        return false;
    }

    m_lines[index] = line;
    ShowChangedCells(index, before);
    if (m_view)
        m_view->SetCellText(index, field, hasShown ? shown : stored);
    if (ChangesTotals(field))
        ComputeTotals(-1.0, true);
    return false;
}

void TFactuur::ShowLines(bool fresh)
{
    if (!m_header.F_LOCKED && (m_lines.isEmpty() || !m_lines.last().IsEmptyLine()))
        m_lines.append(LineRecord::Empty());

    const int count = std::max(1, LineCount());
    if (m_view) {
        if (m_store && !m_store->HasDocument() && m_state != Edit) {
            m_view->ShowNoDocument(Translate(NL("Kies \"Bewerken -> Toevoegen\" voor nieuw document")));
        } else {
            m_view->SetFieldCaption(LF_NET, QStringLiteral("3|") + m_currency.code);
            m_view->SetFieldCaption(LF_GROSS, QStringLiteral("9|") + m_currency.code + QLatin1Char('i'));
            m_view->SetLineCount(count);
            for (int i = 0; i < LineCount(); ++i) {
                for (int field = 1; field <= LineFieldCount; ++field)
                    m_view->SetCellText(i, field, m_lines.at(i).Field(field));
            }
            if (m_lines.isEmpty()) {
                for (int field = 1; field <= LineFieldCount; ++field)
                    m_view->SetCellText(0, field, QString());
            }
            m_view->SetEditable(!m_header.F_LOCKED);
        }
    }

    double rate = -1.0;
    // A stored document keeps the conversion it was saved with.
    if (!fresh && m_header.F_TOTEURO != 0.0 && m_header.F_TOTVAL != 0.0)
        rate = m_header.F_TOTVAL / m_header.F_TOTEURO;
    if (rate <= 0.0)
        rate = -1.0;
    ComputeTotals(rate, true);
    if (m_view)
        m_view->SetCurrentLine(count - 1, true);
}

bool TFactuur::InsertEmptyLine(int index)
{
    if (!CanChangeLines())
        return false;
    m_lines.insert(std::clamp(index, 0, LineCount()), LineRecord::Empty());
    ShowLines();
    return true;
}

bool TFactuur::DeleteLine(int index)
{
    if (index < 0 || index >= LineCount() || !CanChangeLines())
        return false;
    m_lines.removeAt(index);
    if (m_lines.isEmpty())
        m_lines.append(LineRecord::Empty());
    ShowLines();
    if (m_view) {
        m_view->CloseCellEditor();
        m_view->SetCurrentLine(index == 0 ? 0 : std::min(index - 1, LineCount() - 1), false);
    }
    return true;
}

bool TFactuur::AppendEmptyLine()
{
    if (m_header.F_LOCKED)
        return false;
    m_lines.append(LineRecord::Empty());
    ShowLines();
    return true;
}

int TFactuur::MergeSameProduct(int index)
{
    if (index < 0 || index >= LineCount())
        return -1;
    const LineRecord& line = m_lines.at(index);
    for (int i = 0; i < LineCount(); ++i) {
        const LineRecord& other = m_lines.at(i);
        if (i == index || other.Field(LF_DESCRIPTION) != line.Field(LF_DESCRIPTION)
            || !SameNumber(other, line, LF_NETFULL))
            continue;
        if (!CanChangeLines())
            return -1;
        const double sum = other.Number(LF_QUANTITY, 1.0) + line.Number(LF_QUANTITY, 1.0);
        m_lines[i].SetField(LF_QUANTITY, TwoDecimals(sum));
        DeleteLine(index);
        return i > index ? i - 1 : i;
    }
    return -1;
}

DocumentSave TFactuur::PrepareSave(bool* write)
{
    // The totals stored are those of exactly these lines.
    ComputeTotals(m_lastRate, false);

    DocumentSave save;
    save.F_ID = m_header.F_ID;
    const bool onlyTheEmptyLine = LineCount() == 0 || (LineCount() == 1 && m_lines.first().IsEmptyLine());
    if (write)
        *write = !(onlyTheEmptyLine && m_storedLineCount == 0);

    save.rows = LineRowsToSave(m_lines, m_header.F_ID, Conversion());

    const bool inclusive = m_setup.vatInclusive;
    if (inclusive) {
        save.F_TOTVAL = m_totals.gross;
        save.F_TOTEURO = m_totals.grossEuro;
    } else {
        save.F_TOTVAL = m_totals.net;
        save.F_TOTEURO = m_totals.netEuro;
    }
    save.F_VATCOEF = m_totals.net == 0.0 ? 1.0 : m_totals.gross / m_totals.net;
    return save;
}

bool TFactuur::SaveLines()
{
    if (m_view) {
        int line = -1;
        int field = 0;
        QString text;
        if (m_view->PendingCellEdit(&line, &field, &text) && line >= 0 && line < LineCount()
            && text != m_lines.at(line).Field(field))
            ApplyCellEdit(field, text, line + 1);
    }
    bool write = false;
    const DocumentSave save = PrepareSave(&write);
    if (!write) {
        SetEditState(Browse);
        return true;
    }
    if (m_store) {
        QString error;
        if (!m_store->SaveDocument(save, &error)) {
            Notify(Translate(NL("Het document is niet opgeslagen:")) + QLatin1Char('\n') + error);
            return false;
        }
    }
    m_header.F_TOTVAL = save.F_TOTVAL;
    m_header.F_TOTEURO = save.F_TOTEURO;
    m_header.F_VATCOEF = save.F_VATCOEF;
    m_storedLineCount = int(save.rows.size());
    m_lastSave = save;
    SetEditState(Browse);
    return true;
}

StockDirection StockDirectionOf(int listedType, bool locking)
{
    switch (listedType) {
    case DT_SALESINVOICE:
        return locking ? StockDirection::Out : StockDirection::In;
    case DT_CREDITNOTE:
    case DT_PURCHASEINVOICE:
        return locking ? StockDirection::In : StockDirection::Out;
    default:
        return StockDirection::None;
    }
}

bool TFactuur::SetLocked(bool locked)
{
    if (m_header.F_LOCKED == locked)
        return true;
    if (m_state == Edit && !SaveLines())
        return false;
    if (m_store && !m_store->PostLocked(locked))
        return false;
    m_header.F_LOCKED = locked;
    if (locked) {
        while (!m_lines.isEmpty() && m_lines.last().IsEmptyLine())
            m_lines.removeLast();
    }
    const int listedType = m_listedType != 0 ? m_listedType : m_header.F_TYPE;
    const StockDirection direction = StockDirectionOf(listedType, locked);
    if (m_stockUpdate && direction != StockDirection::None)
        m_stockUpdate(*this, direction);
    ShowLines();
    return true;
}
