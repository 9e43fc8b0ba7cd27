#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTableView>

#include "data/datasetmodel.h"
#include "enginefixture.h"

TEST_F(EngineTest, ModelFollowsEditsInsertsAndDeletes)
{
    AddContact(1, QStringLiteral("Aerts"));
    AddContact(2, QStringLiteral("Claes"));
    auto table = OpenContacts();
    TDataSetModel model(table.get());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetColumns({QStringLiteral("ComName"), QStringLiteral("Place")});
    ASSERT_EQ(model.columnCount(), 2);
    ASSERT_EQ(model.rowCount(), 2);
    table->FieldByName(QStringLiteral("ComName"))->SetDisplayLabel(QStringLiteral("Naam"));
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Naam"));
    auto cell = [&](int row) { return model.data(model.index(row, 0)).toString(); };

    ASSERT_TRUE(table->Append());
    table->FieldByName(QStringLiteral("ComName"))->SetValue(QStringLiteral("Bosmans"));
    ASSERT_TRUE(table->Post());
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(cell(1), QStringLiteral("Bosmans"));

    // Typing shows at once; the post moves the row to its place.
    ASSERT_TRUE(table->Edit());
    table->FieldByName(QStringLiteral("ComName"))->SetValue(QStringLiteral("Dewael"));
    EXPECT_EQ(cell(1), QStringLiteral("Dewael"));
    ASSERT_TRUE(table->Post());
    EXPECT_EQ(cell(1), QStringLiteral("Claes"));
    EXPECT_EQ(cell(2), QStringLiteral("Dewael"));

    QSignalSpy current(&model, &TDataSetModel::currentRowChanged);
    table->First();
    ASSERT_EQ(current.size(), 1);
    EXPECT_EQ(current.first().first().toInt(), 0);
    ASSERT_TRUE(table->Delete());
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(cell(0), QStringLiteral("Claes"));

    // A new order or filter resets the rows; so does EnableControls after a bulk change.
    table->SetFilter(QStringLiteral("ComName = 'Claes'"));
    table->SetFiltered(true);
    EXPECT_EQ(model.rowCount(), 1);
    table->SetFiltered(false);
    table->DisableControls();
    table->Append();
    table->FieldByName(QStringLiteral("ComName"))->SetValue(QStringLiteral("Aaa"));
    table->Post();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_TRUE(model.data(model.index(1, 0)).isValid());
    table->EnableControls();
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(cell(0), QStringLiteral("Aaa"));

    // Editing through the model writes through the data set.
    model.SetEditable(true);
    EXPECT_TRUE(model.setData(model.index(2, 1), QStringLiteral("Gent")));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT Place FROM Adressen WHERE ComName = 'Dewael'")).toString(), QStringLiteral("Gent"));
    table->Close();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(EngineTest, ModelReadsOnlyTheRowsOnScreen)
{
    Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
         "INSERT INTO Adressen (nummer, ComName) SELECT i, printf('Name%05d', i) FROM n");
    auto table = OpenContacts();
    TDataSetModel model(table.get());
    QTableView view;
    view.resize(400, 300);
    view.setModel(&model);
    view.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(model.rowCount(), 5000);
    view.scrollToBottom();
    QCoreApplication::processEvents();
    EXPECT_EQ(model.data(model.index(4999, 1)).toString(), QStringLiteral("Name05000"));
}
