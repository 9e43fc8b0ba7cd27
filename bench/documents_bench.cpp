// Times the document engine on a document of 1,000 lines: recomputing the totals (target
// under 2 ms), building the line records from rows and preparing the rows of a save; then
// loading (under 20 ms) and saving (under 50 ms) it in an administration's SQLite file,
// each beside plain sqlite3 doing the same selects and inserts on the same connection.
#include "data/connection.h"
#include "data/dm.h"
#include "data/documentbinder.h"
#include "data/documentstore_sql.h"
#include "data/tabletemplate.h"
#include "documents/factuur.h"
#include "foundation/homefolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLines = 1000;

QList<LineRow> Rows()
{
    const double rates[] = {21.0, 6.0, 12.0, 0.0};
    QList<LineRow> rows;
    for (int i = 0; i < kLines; ++i) {
        LineRow row;
        row.FL_FNR = 1;
        row.FL_ID = i + 1;
        row.FL_AMOUNT = (i % 7 == 0) ? std::optional<double>() : std::optional<double>(1 + i % 5 + 0.25 * (i % 3));
        row.FL_PRODUCT = QStringLiteral("Product %1").arg(i);
        row.FL_PRICE = 0.07 + (i % 97) * 1.13;
        row.FL_EURO = *row.FL_PRICE;
        row.FL_VAT = rates[i % 4];
        row.FL_Discount = double(i % 11);
        row.FL_PID = i;
        rows.append(row);
    }
    return rows;
}

struct Timing
{
    double median = 0.0;
    double best = 0.0;
};

template <typename F>
Timing Measure(int runs, F&& work)
{
    std::vector<double> ms;
    ms.reserve(size_t(runs));
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        work();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front()};
}

void Print(const char* what, const Timing& t, double target)
{
    std::printf("%-44s %10.3f %10.3f %10.1f  %s\n", what, t.median, t.best, target,
                t.median < target ? "ok" : "TOO SLOW");
}

void PrintBeside(const char* what, const Timing& t, const Timing& plain, double target)
{
    std::printf("%-44s %10.3f %10.3f %10.1f  %s   plain sqlite3 %8.3f (%.1fx)\n", what, t.median, t.best, target,
                t.median < target ? "ok" : "TOO SLOW", plain.median, plain.median > 0 ? t.median / plain.median : 0.0);
}

bool Run(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// What loading does, in plain sqlite3: the header row and the document's lines.
void PlainLoad(sqlite3* db, int documentId)
{
    sqlite3_stmt* header = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM factuur WHERE F_ID = ?", -1, &header, nullptr);
    sqlite3_bind_int(header, 1, documentId);
    while (sqlite3_step(header) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(header); ++c)
            (void)sqlite3_column_double(header, c);
    }
    sqlite3_finalize(header);
    sqlite3_stmt* lines = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT FL_ID, FL_FNR, FL_AMOUNT, FL_PRODUCT, FL_PRICE, FL_EURO, FL_VAT, FL_Discount, FL_PID, "
                       "FL_Afkoef, FL_Afsoort FROM faclijn WHERE FL_FNR = ? ORDER BY FL_ID",
                       -1, &lines, nullptr);
    sqlite3_bind_int(lines, 1, documentId);
    while (sqlite3_step(lines) == SQLITE_ROW) {
        for (int c = 0; c < 11; ++c) {
            if (c == 3)
                (void)QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(lines, c)));
            else
                (void)sqlite3_column_double(lines, c);
        }
    }
    sqlite3_finalize(lines);
}

// What saving does, in plain sqlite3: one transaction deleting the lines, inserting them
// again and updating the header's totals.
void PlainSave(sqlite3* db, int documentId, const QList<LineRow>& rows)
{
    Run(db, "BEGIN IMMEDIATE");
    sqlite3_stmt* del = nullptr;
    sqlite3_prepare_v2(db, "DELETE FROM faclijn WHERE FL_FNR = ?", -1, &del, nullptr);
    sqlite3_bind_int(del, 1, documentId);
    sqlite3_step(del);
    sqlite3_finalize(del);
    sqlite3_stmt* max = nullptr;
    sqlite3_prepare_v2(db, "SELECT COALESCE(MAX(FL_ID), 0) FROM faclijn", -1, &max, nullptr);
    sqlite3_step(max);
    qint64 id = sqlite3_column_int64(max, 0) + 1;
    sqlite3_finalize(max);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO faclijn (FL_ID, FL_FNR, FL_AMOUNT, FL_PRODUCT, FL_PRICE, FL_EURO, FL_VAT, "
                       "FL_Discount, FL_PID, FL_Afkoef, FL_Afsoort) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    const auto real = [insert](int index, const std::optional<double>& value) {
        if (value)
            sqlite3_bind_double(insert, index, *value);
        else
            sqlite3_bind_null(insert, index);
    };
    for (const LineRow& row : rows) {
        sqlite3_reset(insert);
        sqlite3_bind_int64(insert, 1, id++);
        sqlite3_bind_int(insert, 2, documentId);
        real(3, row.FL_AMOUNT);
        const QByteArray product = row.FL_PRODUCT.value_or(QString()).toUtf8();
        sqlite3_bind_text(insert, 4, product.constData(), int(product.size()), SQLITE_TRANSIENT);
        real(5, row.FL_PRICE);
        real(6, row.FL_EURO);
        real(7, row.FL_VAT);
        real(8, row.FL_Discount);
        sqlite3_bind_int(insert, 9, row.FL_PID.value_or(0));
        sqlite3_bind_null(insert, 10);
        sqlite3_bind_null(insert, 11);
        sqlite3_step(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(db, "UPDATE factuur SET F_TOTVAL = ?, F_TOTEURO = ?, F_VATCOEF = ? WHERE F_ID = ?", -1, &update,
                       nullptr);
    sqlite3_bind_double(update, 1, 1.0);
    sqlite3_bind_double(update, 2, 1.0);
    sqlite3_bind_double(update, 3, 1.21);
    sqlite3_bind_int(update, 4, documentId);
    sqlite3_step(update);
    sqlite3_finalize(update);
    Run(db, "COMMIT");
}

// An administration with 200 other documents of 20 lines around the measured one.
bool MakeAdministration(const QString& folder)
{
    QString error;
    auto db = TDatabase::Open(folder + QStringLiteral("admin.sqlite"), QString(), &error);
    if (!db || !CreateAdministrationTables(db->sql(), &error)) {
        std::printf("cannot make the administration: %s\n", qPrintable(error));
        return false;
    }
    sqlite3* h = db->handle();
    Run(h, "BEGIN");
    for (int doc = 1; doc <= 201; ++doc) {
        const QByteArray sql = "INSERT INTO factuur (F_ID, F_FACNR, F_FACDATE, F_CID, F_CURRENCY, F_PAYED, F_LOCKED, "
                               "F_DISCOUNT, F_TOTVAL, F_TOTEURO, F_TYPE, F_VATCOEF, F_PREPAYED) VALUES ("
                               + QByteArray::number(doc) + ", 'F" + QByteArray::number(doc)
                               + "', '2026-12-01', 1, 'EUR', 0, 0, 5, 0, 0, 1, 1, 0)";
        Run(h, sql.constData());
        if (doc == 1)
            continue;
        for (int line = 0; line < 20; ++line) {
            const QByteArray fl = "INSERT INTO faclijn (FL_FNR, FL_AMOUNT, FL_PRODUCT, FL_PRICE, FL_EURO, FL_VAT) VALUES ("
                                  + QByteArray::number(doc) + ", 1, 'Other', 9.5, 9.5, 21)";
            Run(h, fl.constData());
        }
    }
    Run(h, "COMMIT");
    return true;
}

void TablesSection(const QString& root, const QString& currencyFolder, const QList<LineRow>& rows)
{
    const QString data = root + QStringLiteral("/data/");
    const QString admin = data + QStringLiteral("Bench/");
    QDir().mkpath(admin);
    SetProgramFolder(root + QLatin1Char('/'));
    if (!MakeAdministration(admin))
        return;
    Tdm dm;
    QString error;
    const bool bound = dm.Bind(admin, data, &error);
    dm.TabFL->SetIndexName(QStringLiteral("indFNR"));
    if (!bound || !dm.TabFact->Open() || !dm.TabFL->Open()) {
        std::printf("cannot open the administration: %s\n", qPrintable(error + dm.TabFact->LastError()));
        return;
    }
    for (const bool inclusive : {false, true}) {
        FactuurSetup setup;
        setup.options.USEIVK = false;
        setup.currencyFolder = currencyFolder;
        setup.mainCurrency = QStringLiteral("EUR");
        setup.vatInclusive = inclusive;
        TFactuur doc(nullptr, setup, [](const QString& text) { std::printf("notice: %s\n", qPrintable(text)); });
        SqlDocumentStore store(dm);
        DocumentBinder binder(dm, doc, store, [](const QString& text) { std::printf("notice: %s\n", qPrintable(text)); });
        binder.SetDocumentsShown(true);
        dm.TabFact->FindKey(1);
        DocumentHeader header;
        store.ReadHeader(&header);
        doc.LoadLines(header, rows);
        doc.SetEditState(TFactuur::Edit);
        if (!doc.SaveLines())
            return;

        sqlite3* h = dm.Database()->handle();
        const Timing load = Measure(30, [&] { binder.ShowCurrent(); });
        const Timing plainLoad = Measure(30, [&] { PlainLoad(h, 1); });
        const Timing save = Measure(30, [&] {
            doc.SetEditState(TFactuur::Edit);
            doc.SaveLines();
        });
        const QList<LineRow> saved = doc.PrepareSave().rows;
        const Timing plainSave = Measure(30, [&] { PlainSave(h, 1, saved); });
        std::printf("%s, in admin.sqlite (%d lines stored)\n", inclusive ? "VAT-inclusive" : "VAT-exclusive",
                    int(saved.size()));
        PrintBeside("  load: header, lines, records, totals", load, plainLoad, 20.0);
        PrintBeside("  save: one transaction, header posted", save, plainSave, 50.0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    {
        QFile file(folder.filePath(QStringLiteral("EuroConvert.ini")));
        if (file.open(QIODevice::WriteOnly))
            file.write("EUR|1|2|\r\nUSD|1,2|2|\r\n");
    }
    const QList<LineRow> rows = Rows();

    std::printf("Document of %d lines (times in ms)\n", kLines);
    std::printf("%-44s %10s %10s %10s\n", "", "median", "best", "target");
    for (const bool inclusive : {false, true}) {
        FactuurSetup setup;
        setup.options.USEIVK = false;
        setup.currencyFolder = folder.path() + QLatin1Char('/');
        setup.mainCurrency = QStringLiteral("EUR");
        setup.vatInclusive = inclusive;
        TFactuur doc(nullptr, setup, [](const QString&) {});
        DocumentHeader header = NewDocumentHeader(1, DT_SALESINVOICE, 1, QStringLiteral("USD"),
                                                  QDate(2026, 12, 11), setup.options);
        header.F_DISCOUNT = 5.0;

        const Timing load = Measure(50, [&] { doc.LoadLines(header, rows); });
        // Every line read afresh from its texts, as right after loading.
        Timing cold;
        {
            std::vector<double> ms;
            QElapsedTimer timer;
            for (int i = 0; i < 30; ++i) {
                doc.LoadLines(header, rows);
                timer.start();
                doc.ComputeTotals(-1.0, false);
                ms.push_back(double(timer.nsecsElapsed()) / 1e6);
            }
            std::sort(ms.begin(), ms.end());
            cold = {ms[ms.size() / 2], ms.front()};
        }
        // After an edit: one line changed, the others already read.
        int line = 0;
        const Timing totals = Measure(200, [&] {
            doc.ApplyCellEdit(LF_QUANTITY, QString::number(1 + line % 9), 1 + line % kLines);
            ++line;
        });
        const Timing texts = Measure(200, [&] { doc.ComputeTotals(-1.0, false); (void)doc.TotalsText(); (void)doc.SummaryText(); });
        const Timing save = Measure(50, [&] { (void)doc.PrepareSave(); });

        const char* mode = inclusive ? "VAT-inclusive" : "VAT-exclusive";
        std::printf("%s (net %.2f, gross %.2f)\n", mode, doc.Totals().net, doc.Totals().gross);
        Print("  recompute totals, every line parsed", cold, 2.0);
        Print("  edit a quantity and recompute", totals, 2.0);
        Print("  recompute totals and label texts", texts, 2.0);
        Print("  line records from rows (load, no SQL)", load, 20.0);
        Print("  rows of a save (no SQL)", save, 50.0);
    }
    TablesSection(folder.path(), folder.path() + QLatin1Char('/'), rows);
    return 0;
}
