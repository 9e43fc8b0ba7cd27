#include "explorer_fixture.h"

#include "data/columnops.h"
#include "data/explorercolumns.h"
#include "data/schema.h"
#include "foundation/settingsfile.h"

#include <QHeaderView>
#include <QListWidget>
#include <QToolButton>

using ExplorerColumnSet = ExplorerFixture;

namespace {

QListWidgetItem* ChooserEntry(TExplorer& explorer, const QString& field)
{
    QListWidget* chooser = explorer.ColumnChooser();
    for (int i = 0; i < chooser->count(); ++i) {
        if (chooser->item(i)->data(Qt::UserRole).toString() == field)
            return chooser->item(i);
    }
    return nullptr;
}

} // namespace

TEST_F(ExplorerColumnSet, OpenFormShowsListableColumnsAndSurvivesARestart)
{
    bool opened = false;
    QObject::connect(explorer, &TExplorer::openChanged, [&](bool open) { opened = open; });
    explorer->SetCardCaption(QStringLiteral("CONTACTEN - Adams"));
    explorer->OpenExplorer();
    ASSERT_TRUE(opened);
    EXPECT_EQ(explorer->HeadingText(), QStringLiteral("CONTACTEN - Adams"));
    EXPECT_FALSE(explorer->HeadingButton()->isVisible());
    EXPECT_TRUE(explorer->FieldsButton()->isVisible());
    TDBGridwListX* grid = explorer->Grid();
    const QStringList columns = grid->Columns();
    EXPECT_EQ(columns.first(), QStringLiteral("ComName"));  // the narrow column stays first
    for (const char* hidden : {"Notes", "LISTS", "INLIST", "ICON"})
        EXPECT_FALSE(columns.contains(QString::fromLatin1(hidden))) << hidden;
    EXPECT_TRUE(columns.contains(QStringLiteral("Place")));
    EXPECT_TRUE(grid->IsDarkColumn(0));
    EXPECT_FALSE(grid->IsDarkColumn(grid->ColumnOfField(QStringLiteral("Place"))));

    // The user hides Zip, widens Place and moves Place to the front, then closes.
    QListWidgetItem* zip = ChooserEntry(*explorer, QStringLiteral("Zip"));
    ASSERT_TRUE(zip);
    zip->setCheckState(Qt::Unchecked);
    EXPECT_TRUE(grid->isColumnHidden(grid->ColumnOfField(QStringLiteral("Zip"))));
    const int place = grid->ColumnOfField(QStringLiteral("Place"));
    grid->setColumnWidth(place, 133);
    grid->horizontalHeader()->moveSection(grid->horizontalHeader()->visualIndex(place), 0);
    explorer->CloseExplorer();
    EXPECT_FALSE(opened);
    EXPECT_FALSE(explorer->IsOpen());
    EXPECT_EQ(grid->Columns(), QStringList{QStringLiteral("Place")});  // the column moved first
    EXPECT_EQ(ReadSetting(fx.dataFolder() + QStringLiteral("ovra.ini"), QStringLiteral("KIEZERX1")), QStringLiteral("ComName"));
    EXPECT_TRUE(QFile::exists(fx.folder() + QStringLiteral("Adressen1.grw")));

    // A new explorer on the same administration finds the set again.
    host.reset();
    host = std::make_unique<QWidget>();
    host->resize(900, 500);
    auto* again = new TExplorer(host.get());
    (new QVBoxLayout(host.get()))->addWidget(again);
    again->SetProgramSettings(fx.dataFolder() + QStringLiteral("ovra.ini"));
    again->SetAdministration(admin.get());
    again->BindDataSource(dm.dsPersPerCat, 1);
    host->show();
    again->OpenExplorer();
    TDBGridwListX* second = again->Grid();
    EXPECT_EQ(second->VisualColumns().first(), QStringLiteral("Place"));
    EXPECT_EQ(second->columnWidth(second->ColumnOfField(QStringLiteral("Place"))), 133);
    EXPECT_TRUE(second->isColumnHidden(second->ColumnOfField(QStringLiteral("Zip"))));
    EXPECT_EQ(ChooserEntry(*again, QStringLiteral("Zip"))->checkState(), Qt::Unchecked);
    // Sorted again by the column it was sorted by.
    EXPECT_EQ(dm.tabContacts->IndexFields(), QStringList{QStringLiteral("ComName")});
    EXPECT_TRUE(second->IsDarkColumn(second->ColumnOfField(QStringLiteral("ComName"))));
    explorer = again;
}

TEST_F(ExplorerColumnSet, RemovedColumnDisappearsFromTheSet)
{
    ASSERT_TRUE(AddColumn(QStringLiteral("Adressen"), QStringLiteral("Extra"), true, fx.folder(), dtText, 20, 0));
    explorer->BindDataSource(dm.dsPersPerCat, 1);
    explorer->OpenExplorer();
    ASSERT_GE(explorer->Grid()->ColumnOfField(QStringLiteral("Extra")), 0);
    explorer->CloseExplorer();
    const QString file = ExplorerColumnsFile(fx.folder(), QStringLiteral("Adressen"), 1);
    ASSERT_TRUE(LoadTextFile(file).contains(QStringLiteral("Extra|")));

    TFieldContext context;
    context.folder = fx.folder();
    context.tableName = QStringLiteral("Adressen");
    context.module = 2;
    context.dm = &dm;
    ASSERT_TRUE(RemoveColumn(context, QStringLiteral("Extra"), 0));
    explorer->BindDataSource(dm.dsPersPerCat, 1);
    explorer->OpenExplorer();
    EXPECT_LT(explorer->Grid()->ColumnOfField(QStringLiteral("Extra")), 0);
    EXPECT_FALSE(ChooserEntry(*explorer, QStringLiteral("Extra")));
    explorer->CloseExplorer();
    EXPECT_FALSE(LoadTextFile(file).contains(QStringLiteral("Extra|")));
}

TEST_F(ExplorerColumnSet, DamagedSetIsRebuiltFromTheTable)
{
    SaveTextLines(ExplorerColumnsFile(fx.folder(), QStringLiteral("Adressen"), 1), {QStringLiteral("garbage")});
    explorer->OpenExplorer();
    EXPECT_EQ(explorer->Grid()->Columns().first(), QStringLiteral("ComName"));
    EXPECT_GT(explorer->Grid()->Columns().size(), 10);
}
