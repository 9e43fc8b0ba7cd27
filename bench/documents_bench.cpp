// Times the document engine on a document of 1,000 lines: recomputing the totals (target
// under 2 ms), building the line records from rows and preparing the rows of a save.
#include "documents/factuur.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

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
    return 0;
}
