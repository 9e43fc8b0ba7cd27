#include "explorer_fixture.h"

#include "foundation/progressdlg.h"

#include <QTimer>
#include <QToolButton>

using ExplorerDelete = ExplorerFixture;

TEST_F(ExplorerDelete, RefusesContactWithDocumentsAndLockedDocument)
{
    ASSERT_TRUE(Data().Locate(QStringLiteral("nummer"), 2));
    EXPECT_EQ(explorer->DeleteRecords(), 0);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown.at(0), QStringLiteral("Bent u zeker dat u <SMITS> wil verwijderen?"));
    EXPECT_EQ(shown.at(1), QStringLiteral("Er zijn facturen voor contact SMITS, dit contact kan niet verwijderd worden!"));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Adressen"), 7);

    Bind(7);
    ASSERT_TRUE(Data().Locate(QStringLiteral("F_ID"), 2));
    shown.clear();
    EXPECT_EQ(explorer->DeleteRecords(), 0);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown.at(1).startsWith(QStringLiteral("Dit verkoopsdocument is vergrendeld")));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM faclijn WHERE FL_FNR = 2"), 1);
    // An unlocked one goes with its lines.
    ASSERT_TRUE(Data().Locate(QStringLiteral("F_ID"), 1));
    EXPECT_EQ(explorer->DeleteRecords(), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM faclijn WHERE FL_FNR = 1"), 0);
}

TEST_F(ExplorerDelete, MarkedRowsAfterOneQuestion)
{
    TDBGridwListX* grid = explorer->Grid();
    auto click = [&](int row, Qt::KeyboardModifiers modifiers) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, grid->visualRect(grid->model()->index(row, 0)).center());
    };
    click(0, {});
    click(1, Qt::ControlModifier);
    click(3, Qt::ControlModifier);
    ASSERT_EQ(grid->MarkedRows().size(), 3);
    EXPECT_TRUE(explorer->CanClearSelection());
    const QString heading = explorer->HeadingButton()->text();
    EXPECT_EQ(explorer->DeleteRecords(), 3);
    EXPECT_EQ(shown.first(), QStringLiteral("Bent u zeker dat u deze <3> Contacten wilt verwijderen?"));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Adressen"), 4);
    EXPECT_TRUE(explorer->HeadingButton()->text().endsWith(QStringLiteral(" [4]"))) << heading.toStdString();
}

TEST_F(ExplorerDelete, AllRecordsSkipsFailingRecordOnce)
{
    dm.tabContacts->BeforeDelete = [](TDataSet& d) {
        if (d.Field(0)->AsInteger() == 5)
            d.Abort(QStringLiteral("in use"));
    };
    explorer->SelectAll();
    EXPECT_EQ(explorer->DeleteRecords(), 5);
    EXPECT_EQ(shown.first(), QStringLiteral("Bent u zeker dat u alle Contacten wil verwijderen?"));
    EXPECT_EQ(shown.count(QStringLiteral("Record kan niet verwijderd worden")), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Adressen"), 2);  // SMITS (documents) and contact 5
    EXPECT_FALSE(explorer->AllSelected());
    EXPECT_TRUE(explorer->HeadingButton()->text().endsWith(QStringLiteral(" [2]")));
    EXPECT_FALSE(TdlgProg::Instance()->isVisible());
}

TEST_F(ExplorerDelete, EscStopsTheWalk)
{
    explorer->SelectAll();
    // Esc in the progress window asks "Stoppen?"; the hook answers Ja.
    QTimer::singleShot(0, [] { QTest::keyClick(TdlgProg::Instance(), Qt::Key_Escape); });
    const int deleted = explorer->DeleteRecords();
    EXPECT_GE(deleted, 1);
    EXPECT_LT(deleted, 6);
    EXPECT_TRUE(shown.contains(QStringLiteral("Stoppen?")));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Adressen"), 7 - deleted);
}
