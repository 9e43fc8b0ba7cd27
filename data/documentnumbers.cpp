#include "data/documentnumbers.h"

#include "data/connection.h"
#include "data/counters.h"
#include "foundation/records.h"
#include "foundation/settingsfile.h"
#include "foundation/textutil.h"

#include <QDate>

namespace {

const QString kLetters = QStringLiteral("F|O|C||B|L|");
const QString kDefaultPattern = QStringLiteral("|TRUE|TRUE|");

QString CounterKeyOf(int type)
{
    return QStringLiteral("LASTNR") + DocumentTypeLetter(type);
}

QString PatternOf(const QString& adminIni)
{
    bool found = false;
    const QString pattern = ReadSetting(adminIni, QStringLiteral("FNRCODE"), &found);
    return found ? pattern : kDefaultPattern;
}

// Whether a stored document of the type carries the number already. admin.ini is a shared
// file that other programs rewrite whole (settings, sort columns, counters): one that wrote an
// older copy while this counter moved on sets the counter back, and a user may set it back
// by hand. Such a number is skipped instead of being issued twice.
bool NumberTaken(TDatabase* db, int type, const QString& number)
{
    if (!db)
        return false;
    QString error;
    const QVariant found = db->Scalar(
        QStringLiteral("SELECT COUNT(*) FROM factuur WHERE F_FACNR = ? COLLATE QCI AND F_TYPE = ?"), {number, type}, &error);
    return error.isEmpty() && found.toLongLong() > 0;
}

} // namespace

QString DocumentTypeLetter(int type)
{
    return type >= 1 ? FieldOf(kLetters, type) : QString();
}

bool IsNumberedDocumentType(int type)
{
    return type == 1 || type == 2 || type == 3 || type == 5 || type == 6;
}

QString DocumentNumberText(const QString& pattern, int type, int counter, int year)
{
    const QString code = pattern.isEmpty() ? kDefaultPattern : pattern;
    QString number = FieldOf(code, 1);
    if (EvalBool(FieldOf(code, 2)))
        number += DocumentTypeLetter(type);
    if (EvalBool(FieldOf(code, 3)))
        number += QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0'));
    return number + QStringLiteral("%1").arg(counter, 5, 10, QLatin1Char('0'));
}

QString NextDocumentNumber(TDatabase* db, const QString& adminIni, int type, bool peek)
{
    int counter = ReadCounterSetting(db, adminIni, CounterKeyOf(type), 0);
    const QString pattern = PatternOf(adminIni);
    const int year = QDate::currentDate().year();
    if (peek)
        return DocumentNumberText(pattern, type, counter, year);
    QString number;
    do
        number = DocumentNumberText(pattern, type, ++counter, year);
    while (NumberTaken(db, type, number));
    SetCounterSetting(db, adminIni, CounterKeyOf(type), counter);
    return number;
}

bool ReleaseDocumentNumber(TDatabase* db, const QString& adminIni, int type, const QString& number,
                           bool movingYears)
{
    if (!IsNumberedDocumentType(type))
        return false;
    const QString key = CounterKeyOf(type);
    const int counter = ReadCounterSetting(db, adminIni, key, 1);
    if (counter == 1)
        SetCounterSetting(db, adminIni, key, 1);
    if (movingYears || number != DocumentNumberText(PatternOf(adminIni), type, counter, QDate::currentDate().year()))
        return false;
    return SetCounterSetting(db, adminIni, key, counter - 1);
}
