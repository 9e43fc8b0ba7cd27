#include "documents/doclist.h"

#include "foundation/dates.h"
#include "foundation/numbers.h"
#include "foundation/translate.h"

#include <gtest/gtest.h>

namespace {

QString Dec(const char* text)
{
    return QString::fromUtf8(text).replace(QLatin1Char('.'), DecimalSeparator());
}

DocumentHeader Header(double totVal, double totEuro, double vatCoef, std::optional<double> prepaid = std::nullopt)
{
    DocumentHeader header;
    header.F_FACNR = QStringLiteral("F202600042");
    header.F_FACDATE = QDate(2026, 3, 5);
    header.F_CURRENCY = QStringLiteral("EUR");
    header.F_TOTVAL = totVal;
    header.F_TOTEURO = totEuro;
    header.F_VATCOEF = vatCoef;
    header.F_PREPAYED = prepaid;
    return header;
}

TEST(DocumentList, OpenAmount)
{
    DocumentHeader paid = Header(100, 100, 1.21);
    paid.F_PAYED = true;
    EXPECT_EQ(TotValIncTB(paid, false), QLatin1Char(' ') + Translate(QStringLiteral("Betaald")));

    const struct
    {
        DocumentHeader header;
        bool vatInclusive;
        const char* expected;
    } cases[] = {
        {Header(100, 100, 1.21, 21.0), false, "100.00.- EUR"},
        {Header(100, 100, 1.21), false, "121.00.- EUR"},
        {Header(121, 121, 1.21, 1.0), true, "120.00.- EUR"},
        {Header(0, 0, 1), false, "  0.00.- EUR"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TotValIncTB(c.header, c.vatInclusive), Dec(c.expected)) << c.expected;
}

TEST(DocumentList, NumberDateAndTotal)
{
    const QString start = QStringLiteral("F202600042  ") + DateTextOf(QDate(2026, 3, 5));
    const struct
    {
        DocumentHeader header;
        bool vatInclusive;
        bool verkExcl;
        bool mainIsEuro;
        const char* amount;
    } cases[] = {
        {Header(4034, 100, 1.21), false, false, true, "  121.00.-"},
        {Header(4034, 100, 1.21), false, true, true, "  100.00.-"},
        {Header(4881, 121, 1.21), true, false, true, "  121.00.-"},
        {Header(4034.4, 100, 1.21), false, true, false, "    4034.-"},
        {Header(4881.14, 121, 1.21), true, false, false, "  4881.14.-"},
        {Header(4034, 100, 1.21), false, false, false, "  4881.14.-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FnrDatum(c.header, c.vatInclusive, c.verkExcl, c.mainIsEuro), start + Dec(c.amount)) << c.amount;

    DocumentHeader undated = Header(1, 1, 1);
    undated.F_FACDATE = QDate();
    EXPECT_EQ(FnrDatum(undated, false, false, true), QStringLiteral("F202600042 "));
}

TEST(DocumentList, ContactName)
{
    EXPECT_EQ(KlantNaam(QString(150, QLatin1Char('x'))).size(), 101);
    EXPECT_EQ(KlantNaam(QStringLiteral("ACME Jan")), QStringLiteral("ACME Jan"));
}

} // namespace
