#pragma once

#include <QString>

#include <functional>

class TDatabase;

// How much sample data FillSampleData makes. contacts counts every row of the contacts table
// afterwards (the first contact, the user's own company, included); the first contacts after
// it are the suppliers of the products. lines is the total over all documents.
struct SampleSize
{
    int contacts = 0;
    int products = 0;
    int documents = 0;
    int lines = 0;
    int suppliers = 0;
};

// A small believable demo administration: 40 contacts, 25 products, 15 documents.
SampleSize DemoSampleSize();
// The large benchmark administration: 100,000 contacts, 20,000 products, 10,000 documents with
// 100,000 lines.
SampleSize LargeSampleSize();

// Fills the administration (contacts and products tables made from the templates, the fixed
// tables present) with contacts with Belgian addresses from the shared postcodes, products with
// prices, VAT and stock, and sales documents whose stored totals are those the document engine
// computes for their lines. Existing products are replaced; the first contact is kept. The
// identifier and number counters of admin.ini follow. The same size always gives the same
// data. One transaction per table group.
// report (optional) hears each step's name and milliseconds, and the total.
using SampleStepReport = std::function<void(const QString& step, qint64 milliseconds)>;
bool FillSampleData(TDatabase& db, const QString& administrationFolder, const SampleSize& size,
                    QString* error = nullptr, const SampleStepReport& report = {});
