#include "documents/currency.h"

#include "foundation/currency.h"
#include "foundation/numbers.h"
#include "foundation/records.h"
#include "foundation/textfile.h"
#include "foundation/translate.h"

#include <QFileInfo>

namespace {

const QString kEuro = QStringLiteral("EUR");
const QString kEuroSign = QString(QChar(0x20AC));
const QString kFileName = QStringLiteral("EuroConvert.ini");

} // namespace

CurrencyRecord CurrencyRecordOf(const QString& line)
{
    CurrencyRecord record;
    if (line.trimmed().isEmpty())
        return record;
    record.code = FieldOf(line, 1).trimmed();
    record.rate = FloatOrDefault(FieldOf(line, 2), 0.0);
    record.decimalsText = FieldOf(line, 3).trimmed();
    record.decimals = qBound(0, IntOrDefault(record.decimalsText, 0), 10);
    record.found = !record.code.isEmpty();
    return record;
}

bool IsEuroCode(const QString& code)
{
    return code == kEuro || code == kEuroSign;
}

CurrencyBook::CurrencyBook(QString folder, NoticeSink warn)
    : m_folder(std::move(folder)), m_warn(warn ? std::move(warn) : DefaultNoticeSink())
{
}

CurrencyRecord CurrencyBook::Find(const QString& code) const
{
    CurrencyRecord record = CurrencyRecordOf(CurrencyLine(m_folder, code, QString()));
    if (!record.found && IsEuroCode(code))
        record = CurrencyRecordOf(CurrencyLine(m_folder, code == kEuro ? kEuroSign : kEuro, QString()));
    if (!record.found && IsEuroCode(code)) {
        record.rate = 1.0;
        record.decimals = 2;
        record.decimalsText = QStringLiteral("2");
        record.found = true;
    }
    if (record.found)
        record.code = code;
    return record;
}

void CurrencyBook::WarnNoRate(const QString& code) const
{
    m_warn(TranslatedWith(NL("Geen wisselkoers voor munt <%s>: bedragen worden niet omgerekend"), code));
}

CurrencyRecord CurrencyBook::Lookup(const QString& code) const
{
    CurrencyRecord record = Find(code);
    if (!record.HasRate())
        WarnNoRate(code);
    if (!record.found)
        record.code = code;
    return record;
}

CurrencyRecord CurrencyBook::LookupOr(const QString& code, const QString& fallbackCode) const
{
    const CurrencyRecord record = Find(code);
    if (record.found) {
        if (!record.HasRate())
            WarnNoRate(code);
        return record;
    }
    m_warn(TranslatedWith(NL("Munt <%s> is onbekend voor systeem en wordt vervangen door standaard munt"), code));
    return Lookup(fallbackCode);
}

double CurrencyBook::ConvertAmount(const QString& from, const QString& to, double x, bool* ok) const
{
    if (ok)
        *ok = true;
    if (from == to || (IsEuroCode(from) && IsEuroCode(to)))
        return x;
    const auto rateOf = [this, ok](const QString& code, double* rate) {
        const CurrencyRecord record = Find(code);
        if (record.HasRate()) {
            *rate = record.rate;
            return true;
        }
        WarnNoRate(code);
        if (ok)
            *ok = false;
        return false;
    };
    double fromRate = 1.0;
    double toRate = 1.0;
    if (IsEuroCode(from))
        return rateOf(to, &toRate) ? x * toRate : x;
    if (IsEuroCode(to))
        return rateOf(from, &fromRate) ? x / fromRate : x;
    if (!rateOf(from, &fromRate) || !rateOf(to, &toRate))
        return x;
    return x / (fromRate / toRate);
}

QStringList CurrencyBook::KnownCodes() const
{
    const QString file = m_folder + kFileName;
    if (!QFileInfo::exists(file))
        return {QStringLiteral("BEF")};
    QStringList codes;
    for (const QString& line : LoadTextLines(file)) {
        const QString code = FieldOf(line, 1).trimmed();
        if (!code.isEmpty())
            codes << code;
    }
    return codes;
}
