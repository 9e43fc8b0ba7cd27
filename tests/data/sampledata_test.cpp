#include "newadmin_fixture.h"

#include "data/administration.h"
#include "data/dm.h"
#include "data/documentstore_sql.h"
#include "data/sampledata.h"
#include "documents/factuur.h"
#include "foundation/settingsfile.h"

#include <QSqlQuery>

#include <cmath>

class SampleDataTest : public HomeFixture
{
protected:
    // Every stored document, loaded as the program loads it, gives back exactly its stored
    // totals and lines when the engine computes them afresh.
    void ExpectDocumentsAgreeWithTheEngine(const QString& name, bool vatInclusive)
    {
        Tdm dm;
        TAdministration admin(Folder(name), name, &dm);
        ASSERT_EQ(admin.Status(), asOpen) << admin.StatusReason().toStdString();
        ASSERT_EQ(admin.VatInclusive(), vatInclusive);
        SqlDocumentStore store(dm);
        FactuurSetup setup = ReadFactuurSetup(OvraIni(), DataFolder());
        setup.vatInclusive = admin.VatInclusive();
        QStringList notices;
        TFactuur engine(nullptr, setup, [&notices](const QString& text) { notices.append(text); });
        const DemoCounts size = Counts();
        ASSERT_EQ(dm.TabFact->RecordCount(), size.documents);
        int documents = 0;
        double sum = 0;
        for (dm.TabFact->First(); !dm.TabFact->Eof(); dm.TabFact->Next()) {
            DocumentHeader header;
            ASSERT_TRUE(store.ReadHeader(&header));
            QList<LineRow> rows;
            ASSERT_TRUE(store.ReadLines(header.F_ID, &rows));
            SCOPED_TRACE(header.F_FACNR.toStdString());
            ASSERT_FALSE(rows.isEmpty());
            engine.LoadLines(header, rows);
            const DocumentSave save = engine.PrepareSave();
            EXPECT_DOUBLE_EQ(save.F_TOTVAL, header.F_TOTVAL);
            EXPECT_DOUBLE_EQ(save.F_TOTEURO, header.F_TOTEURO);
            EXPECT_NEAR(save.F_VATCOEF, header.F_VATCOEF, 1e-12);
            EXPECT_GT(header.F_TOTVAL, 0.0);
            ASSERT_EQ(save.rows.size(), rows.size());
            for (qsizetype i = 0; i < rows.size(); ++i) {
                LineRow stored = rows.at(i);
                stored.FL_ID.reset();
                LineRow again = save.rows.at(i);
                again.FL_ID.reset();
                EXPECT_EQ(again, stored) << "line " << i;
            }
            sum += header.F_TOTVAL;
            ++documents;
        }
        EXPECT_EQ(documents, size.documents);
        EXPECT_GT(sum, 0.0);
        EXPECT_TRUE(notices.isEmpty()) << notices.join(u'\n').toStdString();
    }

    struct DemoCounts
    {
        int contacts, products, documents, lines;
    };
    DemoCounts Counts() const
    {
        const SampleSize s = DemoSampleSize();
        return {s.contacts, s.products, s.documents, s.lines};
    }
};

TEST_F(SampleDataTest, DemoDocumentsCarryTheEnginesTotals)
{
    Create(QStringLiteral("Demo"), true);
    ExpectDocumentsAgreeWithTheEngine(QStringLiteral("Demo"), false);
}

TEST_F(SampleDataTest, VatInclusiveDemoDocumentsCarryTheEnginesTotals)
{
    NewAdministration request;
    request.name = QStringLiteral("DemoBtwi");
    request.vatInclusive = true;
    request.sampleData = true;
    Create(request);
    ExpectDocumentsAgreeWithTheEngine(QStringLiteral("DemoBtwi"), true);
    // Prices of the lines include VAT in such an administration.
    auto db = Open(QStringLiteral("DemoBtwi"));
    const double gross = db->Scalar(QStringLiteral("SELECT SUM(F_TOTVAL) FROM factuur")).toDouble();
    const double net = db->Scalar(QStringLiteral("SELECT SUM(F_TOTVAL / F_VATCOEF) FROM factuur")).toDouble();
    EXPECT_GT(gross, net * 1.04);
}

TEST_F(SampleDataTest, DemoIsSmallBelievableAndConsistent)
{
    Create(QStringLiteral("Demo"), true);
    auto db = Open(QStringLiteral("Demo"));
    ASSERT_TRUE(db);
    const DemoCounts size = Counts();
    const struct
    {
        const char* sql;
        int expected;
    } checks[] = {
        {"SELECT COUNT(*) FROM Adressen", size.contacts},
        {"SELECT COUNT(*) FROM Products", size.products},
        {"SELECT COUNT(*) FROM factuur", size.documents},
        {"SELECT COUNT(*) FROM faclijn", size.lines},
        // The first contact stays the user's own company.
        {"SELECT COUNT(*) FROM Adressen WHERE nummer = 1", 1},
        // Belgian addresses from the shared postcodes.
        {"SELECT COUNT(*) FROM Adressen a WHERE nummer > 1 AND EXISTS "
         "(SELECT 1 FROM shared.Post p WHERE p.code = a.Zip) AND Place <> '' AND Address <> ''",
         size.contacts - 1},
        {"SELECT COUNT(*) FROM Products WHERE P_SPRICE > 0 AND P_PRICE > 0 AND P_VAT IN (6, 21) AND P_Quantity >= 0 "
         "AND P_NAME <> ''",
         size.products},
        {"SELECT COUNT(*) FROM Products p WHERE EXISTS (SELECT 1 FROM Adressen a WHERE a.nummer = p.P_SUPNR)", size.products},
        {"SELECT COUNT(*) FROM factuur f WHERE EXISTS (SELECT 1 FROM Adressen a WHERE a.nummer = f.F_CID AND a.nummer > 1)",
         size.documents},
        {"SELECT COUNT(*) FROM faclijn l WHERE EXISTS (SELECT 1 FROM Products p WHERE p.P_ID = l.FL_PID) "
         "AND EXISTS (SELECT 1 FROM factuur f WHERE f.F_ID = l.FL_FNR)",
         size.lines},
        {"SELECT COUNT(DISTINCT F_FACNR) FROM factuur", size.documents},
        {"SELECT COUNT(DISTINCT LISTS) FROM Adressen", 1},
    };
    for (const auto& c : checks)
        EXPECT_EQ(db->Scalar(QString::fromLatin1(c.sql)).toInt(), c.expected) << c.sql;
    // The counters go on where the sample stopped.
    const QString ini = Folder(QStringLiteral("Demo")) + QStringLiteral("admin.ini");
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("AdressenID"), 0), size.contacts);
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("factuurID"), 0), size.documents);
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("faclijnID"), 0), size.lines);
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("LASTNRF"), 0),
              db->Scalar(QStringLiteral("SELECT COUNT(*) FROM factuur WHERE F_TYPE = 1")).toInt());
}

TEST_F(SampleDataTest, SameSizeSameDataAndNeverOverUserData)
{
    Create(QStringLiteral("Een"), true);
    Create(QStringLiteral("Twee"), true);
    const QString names = QStringLiteral("SELECT group_concat(ComName || Zip, ';') FROM (SELECT * FROM Adressen ORDER BY nummer)");
    QString first;
    {
        auto one = Open(QStringLiteral("Een"));
        first = one->Scalar(names).toString();
        // Filling twice would mix two samples (and overwrite a user's products): refused.
        QString error;
        EXPECT_FALSE(FillSampleData(*one, Folder(QStringLiteral("Een")), DemoSampleSize(), &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(one->Scalar(QStringLiteral("SELECT COUNT(*) FROM Products")).toInt(), DemoSampleSize().products);
        EXPECT_EQ(one->Scalar(names).toString(), first);
    }
    auto two = Open(QStringLiteral("Twee"));
    EXPECT_EQ(two->Scalar(names).toString(), first);
}
