#pragma once

#include <QDate>
#include <QString>

#include <optional>

struct FactuurOptions;

// Document type codes (F_TYPE).
enum DocumentType : int {
    DT_SALESINVOICE = 1,
    DT_QUOTATION = 2,
    DT_CREDITNOTE = 3,
    DT_PURCHASEINVOICE = 4,
    DT_ORDERFORM = 5,
    DT_DELIVERYNOTE = 6,
    DT_CONSOLIDATED = 7,
    DT_TEMPLATE = 10
};

// The values of one `factuur` record the document engine works with. The data layer copies
// them from and to the table; the engine never reaches into the table itself.
struct DocumentHeader
{
    int F_ID = 0;
    QString F_FACNR;
    QDate F_FACDATE;
    QDate F_EXPDATE;
    int F_CID = 0;
    QString F_CURRENCY;
    QString F_NOTES;
    bool F_PAYED = false;
    bool F_LOCKED = false;
    double F_DISCOUNT = 0.0;
    double F_TOTVAL = 0.0;
    double F_TOTEURO = 0.0;
    int F_TYPE = DT_SALESINVOICE;
    int F_HERCOUNT = 0;
    int F_VNR = 0;
    QString F_FREE;
    double F_VATCOEF = 1.0;
    std::optional<double> F_PREPAYED;
};

// A new document of the type for the contact: dated today, due after the payment term
// (months, each keeping the day cut to the month's length, then days), in the main
// currency, nothing prepaid, neither paid nor locked.
DocumentHeader NewDocumentHeader(int id, int type, int contactId, const QString& mainCurrency,
                                 const QDate& today, const FactuurOptions& options);

// The due date of a document dated `date`.
QDate DueDate(const QDate& date, int months, int days);

// A document discount the header accepts: 0 to 100 percent.
bool IsValidDocumentDiscount(double percent);
