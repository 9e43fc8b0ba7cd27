#pragma once

#include "data/store_fixture.h"

#include "data/administration.h"
#include "data/datasetmodel.h"
#include "data/dm.h"
#include "data/modules.h"
#include "foundation/msgdlg.h"
#include "foundation/textfile.h"
#include "shell/explorer.h"
#include "shell/explorergrid.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

// An administration with a few contacts and documents, and an explorer in a plain window on
// the contacts (module 1), as the main window hosts it.
class ExplorerFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(fx.MakeAdministration());
        SaveTextLines(fx.dataFolder() + QStringLiteral("ovra.ini"), {QStringLiteral("MUNT EUR")});
        SetMessageHook([this](const MessageRequest& request) {
            shown.append(request.text);
            return MessageAnswer{answer, {}, false};
        });
        fx.Exec(QStringLiteral("DELETE FROM Adressen"));
        fx.Exec(QStringLiteral("DELETE FROM factuur"));
        fx.Exec(QStringLiteral("DELETE FROM faclijn"));
        const QList<QVariantList> rows = {
            {1, QStringLiteral("Adams"), QStringLiteral("1999-05-01"), QStringLiteral("Mr")},
            {2, QStringLiteral("SMITS"), QStringLiteral("2000-12-25"), QStringLiteral("Ms")},
            {3, QStringLiteral("Smith"), QStringLiteral("2001-01-02"), QStringLiteral("Dr")},
            {4, QString::fromUtf8("élodie"), QStringLiteral("2002-02-02"), QStringLiteral("Mme")},
            {5, QStringLiteral("Elodie"), QStringLiteral("2003-03-03"), QStringLiteral("Mlle")},
            {6, QStringLiteral("Dupont"), QStringLiteral("2004-04-04"), QStringLiteral("M")},
            {7, QStringLiteral("Zola"), QStringLiteral("2005-05-05"), QStringLiteral("M")},
        };
        for (const QVariantList& row : rows)
            fx.Exec(QStringLiteral("INSERT INTO Adressen (nummer, ComName, Birthday, Title, LISTS) VALUES (?, ?, ?, ?, '0')"),
                    row);
        // Contact 2 has a document; document 2 is locked.
        fx.Exec(QStringLiteral("INSERT INTO factuur (F_ID, F_FACNR, F_CID, F_TYPE, F_LOCKED, F_TOTVAL, F_VATCOEF, "
                               "F_PREPAYED, F_PAYED) VALUES "
                               "(1, '2024001', 2, 1, 0, 100, 1.21, 0, 0), (2, '2024002', 2, 1, 1, 200, 1.21, 0, 0), "
                               "(3, '2024003', 2, 1, 0, 50, 1.0, 0, 0)"));
        fx.Exec(QStringLiteral("INSERT INTO faclijn (FL_ID, FL_FNR, FL_PRODUCT) VALUES (1, 1, 'x'), (2, 2, 'y')"));
        OpenAdministration();
        host = std::make_unique<QWidget>();
        host->resize(900, 500);
        auto* layout = new QVBoxLayout(host.get());
        explorer = new TExplorer(host.get());
        layout->addWidget(explorer);
        explorer->SetProgramSettings(fx.dataFolder() + QStringLiteral("ovra.ini"));
        explorer->SetAdministration(admin.get());
        Bind(1);
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
    }
    void TearDown() override
    {
        host.reset();
        admin.reset();
        SetMessageHook(nullptr);
    }
    void OpenAdministration()
    {
        admin = std::make_unique<TAdministration>(fx.folder(), QStringLiteral("Test"), &dm);
        ASSERT_EQ(admin->Status(), asOpen) << admin->StatusReason().toStdString();
    }
    void Bind(int module)
    {
        const QString ini = admin->AdminIni();
        if (module == 1) {
            admin->SetModule(std::make_unique<TContacts_Module>(dm, ini));
            explorer->BindDataSource(dm.dsPersPerCat, 1);
        } else if (module == 7) {
            admin->SetModule(std::make_unique<TInvoices_Module>(dm, ini));
            if (!dm.TabFact->Active())
                dm.TabFact->Open();
            explorer->BindDataSource(dm.dsTabFacturen, 7);
        }
    }
    TDataSet& Data() { return *explorer->DataSet(); }
    QString Current(const char* field = "ComName")
    {
        return Data().FieldByName(QString::fromLatin1(field))->AsString();
    }
    int CurrentId() { return Data().Field(0)->AsInteger(); }
    // Makes the column of the open explorer the selected one.
    void SelectColumn(const char* field)
    {
        TDBGridwListX* grid = explorer->Grid();
        const int column = grid->ColumnOfField(QString::fromLatin1(field));
        ASSERT_GE(column, 0) << field;
        grid->setCurrentIndex(grid->model()->index(qMax(0, Data().CurrentRow()), column));
    }
    void TypeInSearch(const QString& text)
    {
        explorer->SearchBox()->setFocus();
        explorer->SearchBox()->clear();
        QTest::keyClicks(explorer->SearchBox(), text);
    }
    int Count(const char* sql) { return fx.Scalar(QString::fromLatin1(sql)).toInt(); }

    StoreFixture fx;
    Tdm dm;
    std::unique_ptr<TAdministration> admin;
    std::unique_ptr<QWidget> host;
    TExplorer* explorer = nullptr;
    QStringList shown;
    int answer = AskFirst;
};
