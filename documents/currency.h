#pragma once

#include "documents/notices.h"

#include <QString>
#include <QStringList>

// One currency of "EuroConvert.ini": code, units of the currency worth one euro, decimals.
struct CurrencyRecord
{
    QString code;
    double rate = 0.0;
    int decimals = 0;
    QString decimalsText;   // field 3 as written, used to build display formats
    bool found = false;     // false: no line in the file for the code

    // A rate a conversion can divide by.
    bool HasRate() const { return rate > 0.0; }
};

// The record of one '|' line (code|rate|decimals|...); "," and "." both read as decimal
// separator. An empty line gives an empty record that is not found.
CurrencyRecord CurrencyRecordOf(const QString& line);

// "EUR" and the euro sign alone both name the euro.
bool IsEuroCode(const QString& code);

// The currency file of a folder. Every lookup reads the file again, so a rate changed in the
// settings dialog counts at once; callers that need a record many times keep it.
//
// A code without a record (or with a rate of 0) is told to the notice sink: the original
// silently converted such amounts to 0. The euro always has a record: when the file lacks
// one, the euro is worth one euro with 2 decimals.
class CurrencyBook
{
public:
    explicit CurrencyBook(QString folder, NoticeSink warn = DefaultNoticeSink());

    QString Folder() const { return m_folder; }

    // The record of the code, or an empty record (with a warning) when there is none.
    CurrencyRecord Lookup(const QString& code) const;
    // The record of the code; when there is none, the record of the fallback code, with the
    // warning that the standard currency is used instead.
    CurrencyRecord LookupOr(const QString& code, const QString& fallbackCode) const;
    // The record of the code when the file has one; no warning.
    CurrencyRecord Find(const QString& code) const;

    // x in currency `from` expressed in currency `to`, through the euro rates. When a rate
    // the conversion needs is missing, the sink is told and x comes back unchanged with
    // *ok false, so an amount never silently turns into 0.
    double ConvertAmount(const QString& from, const QString& to, double x, bool* ok = nullptr) const;

    // The first field of every line; "BEF" alone when the file does not exist.
    QStringList KnownCodes() const;

    // Tells the sink that the code has no usable rate.
    void WarnNoRate(const QString& code) const;

private:
    QString m_folder;
    NoticeSink m_warn;
};
