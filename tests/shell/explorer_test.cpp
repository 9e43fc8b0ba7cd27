// The fixture's administration maker is shared with the data tests.
#include "data/store_fixture.cpp"

#include "explorer_fixture.h"

#include "data/recorddeletion.h"
#include "foundation/settingsfile.h"
#include "data/collation.h"
#include "shell/columnpicklist.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// Clicks the entry of the pick list that is about to open (the entry's text), or presses
// Esc when the text is empty. *seen gets the entries shown.
void AnswerPickList(const QString& text, QStringList* seen)
{
    QTimer::singleShot(0, [text, seen] {
        auto* list = qobject_cast<TfrmList*>(QApplication::activePopupWidget());
        if (!list) {
            ADD_FAILURE() << "no pick list";
            return;
        }
        QTreeWidget* tree = list->List();
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            seen->append(tree->topLevelItem(i)->text(0) + QLatin1Char('|') + tree->topLevelItem(i)->text(1));
        if (text.isEmpty()) {
            QTest::keyClick(list, Qt::Key_Escape);
            return;
        }
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = tree->topLevelItem(i);
            if (item->text(0) == text || item->text(1) == text) {
                QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
                return;
            }
        }
        ADD_FAILURE() << "no entry " << text.toStdString();
        QTest::keyClick(list, Qt::Key_Escape);
    });
}

} // namespace

using Explorer = ExplorerFixture;

TEST_F(Explorer, QuickSearchBoxFindsTextAsTypedCaseAndAccentsIgnored)
{
    EXPECT_EQ(explorer->SortField(), QStringLiteral("ComName"));
    TypeInSearch(QStringLiteral("smi"));
    EXPECT_EQ(Current(), QStringLiteral("Smith"));
    TypeInSearch(QStringLiteral("smits"));
    EXPECT_EQ(Current(), QStringLiteral("SMITS"));
    // Both spellings fold to "elodie": the first in the list is found, the other follows it.
    TypeInSearch(QString::fromUtf8("\xc3\x89lo"));
    EXPECT_EQ(FoldText(Current()), QStringLiteral("elodie"));
    const int found = CurrentId();
    Data().Next();
    EXPECT_EQ(FoldText(Current()), QStringLiteral("elodie"));
    EXPECT_NE(CurrentId(), found);
    // Nothing found: the record stays; the grid shows the current record selected.
    TypeInSearch(QStringLiteral("smi"));
    TypeInSearch(QStringLiteral("qq"));
    EXPECT_EQ(Current(), QStringLiteral("Smith"));
    EXPECT_EQ(explorer->Grid()->currentIndex().row(), Data().CurrentRow());
    EXPECT_TRUE(explorer->Grid()->selectionModel()->isRowSelected(Data().CurrentRow(), {}));
}

TEST_F(Explorer, DateTypedInFullMovesTheGridPartNot)
{
    explorer->OpenExplorer();
    ASSERT_TRUE(explorer->IsOpen());
    Data().First();
    SelectColumn("Birthday");
    EXPECT_EQ(explorer->SearchCaption()->text(), QStringLiteral("Snelzoeken in <%1>").arg(Data().FieldByName(QStringLiteral("Birthday"))->DisplayLabel()));
    const QString before = Current();
    TypeInSearch(QStringLiteral("25-12-200"));
    EXPECT_EQ(Current(), before);
    QTest::keyClicks(explorer->SearchBox(), QStringLiteral("0"));
    EXPECT_EQ(Current(), QStringLiteral("SMITS"));
}

TEST_F(Explorer, GridTypeAheadCutToColumnSizeAndShownInTheBox)
{
    explorer->OpenExplorer();
    SelectColumn("Title");  // 20 characters
    explorer->Grid()->setFocus();
    QTest::keyClicks(explorer->Grid(), QStringLiteral("mm"));
    EXPECT_EQ(Current("Title"), QStringLiteral("Mme"));
    EXPECT_EQ(explorer->SearchBox()->text(), QStringLiteral("mm"));
    QTest::keyClick(explorer->Grid(), Qt::Key_Backspace);
    QTest::keyClicks(explorer->Grid(), QStringLiteral("ll"));
    EXPECT_EQ(Current("Title"), QStringLiteral("Mlle"));
    QTest::keyClicks(explorer->Grid(), QString(25, QLatin1Char('x')));
    EXPECT_EQ(explorer->Grid()->typedText.size(), 19);
    EXPECT_EQ(explorer->SearchBox()->text().size(), 19);
    EXPECT_EQ(Current("Title"), QStringLiteral("Mlle"));
    // Enter in the open grid closes it.
    QTest::keyClick(explorer->Grid(), Qt::Key_Return);
    EXPECT_FALSE(explorer->IsOpen());
}

TEST_F(Explorer, LetterClickMovesOnToTheNextLetterWithRecords)
{
    QListWidget* letters = explorer->LetterList();
    ASSERT_TRUE(letters->isVisible());
    EXPECT_EQ(explorer->Grid()->columnWidth(0), 155);
    auto click = [&](char letter) {
        QListWidgetItem* item = letters->findItems(QString(QLatin1Char(letter)), Qt::MatchExactly).first();
        QTest::mouseClick(letters->viewport(), Qt::LeftButton, {}, letters->visualItemRect(item).center());
    };
    click('C');
    EXPECT_EQ(Current(), QStringLiteral("Dupont"));
    EXPECT_EQ(letters->currentItem()->text(), QStringLiteral("D"));
    click('T');
    EXPECT_EQ(Current(), QStringLiteral("Zola"));
    // The letter follows the record.
    TypeInSearch(QStringLiteral("ada"));
    EXPECT_EQ(letters->currentItem()->text(), QStringLiteral("A"));
}

TEST_F(Explorer, HeadingShowsCountAndActiveListCount)
{
    const QString label = Data().FieldByName(QStringLiteral("ComName"))->DisplayLabel();
    EXPECT_EQ(explorer->HeadingButton()->text(), label + QStringLiteral(" [7]"));
    TListHooks lists;
    lists.activeList = [](int module) { return module == 1 ? 2 : 0; };
    lists.activeListCount = [](int) { return 12; };
    explorer->SetListHooks(lists);
    explorer->Counts().contacts = 340;
    explorer->UpdateHeading();
    EXPECT_EQ(explorer->HeadingButton()->text(), label + QStringLiteral(" [12/340]"));
    // Documents show no count.
    Bind(7);
    EXPECT_FALSE(explorer->HeadingButton()->text().contains(QLatin1Char('[')));
}

TEST_F(Explorer, SortColumnPickListChoosesIndexedColumnsUnderlined)
{
    QStringList seen;
    AnswerPickList(QStringLiteral("Zip"), &seen);
    ASSERT_TRUE(explorer->ChooseSortColumn());
    EXPECT_FALSE(seen.filter(QStringLiteral("|LISTS")).size());
    EXPECT_FALSE(seen.filter(QStringLiteral("|Notes")).size());
    EXPECT_EQ(seen.filter(QStringLiteral("|ComName")).size(), 1);
    EXPECT_EQ(explorer->SortField(), QStringLiteral("Zip"));
    EXPECT_EQ(explorer->Grid()->Columns(), QStringList{QStringLiteral("Zip")});
    EXPECT_EQ(ReadSettingInt(admin->AdminIni(), QStringLiteral("VELDNR1"), -1), Data().FindField(QStringLiteral("Zip"))->Index());
    EXPECT_TRUE(explorer->HeadingButton()->text().startsWith(Data().FieldByName(QStringLiteral("Zip"))->DisplayLabel()
                                                             + QStringLiteral(" [")));
    EXPECT_EQ(dm.tabContacts->IndexFields(), QStringList{QStringLiteral("Zip")});
    // Esc cancels.
    AnswerPickList(QString(), &seen);
    EXPECT_FALSE(explorer->ChooseSortColumn());
    EXPECT_EQ(explorer->SortField(), QStringLiteral("Zip"));
}

TEST_F(Explorer, DocumentAmountAndCustomerQueriesOnEnter)
{
    Bind(7);
    explorer->OpenExplorer();
    ASSERT_TRUE(explorer->IsOpen());
    Data().First();
    SelectColumn("totvalincTB");
    // One unpaid document with 121,00 open: found at once.
    TypeInSearch(QStringLiteral("121.00"));
    QTest::keyClick(explorer->SearchBox(), Qt::Key_Return);
    EXPECT_EQ(CurrentId(), 1);
    EXPECT_TRUE(QFile::exists(fx.dataFolder() + QStringLiteral("sql.txt")));
    // Three documents of SMITS: the pick list lists them as identifier and number.
    SelectColumn("KLANTNAAM");
    TypeInSearch(QStringLiteral("smi"));
    QStringList seen;
    AnswerPickList(QStringLiteral("2024003"), &seen);
    QTest::keyClick(explorer->SearchBox(), Qt::Key_Return);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("1|2024001"), QStringLiteral("2|2024002"), QStringLiteral("3|2024003")}));
    EXPECT_EQ(CurrentId(), 3);
}

TEST_F(Explorer, SearchPanelMovesOnDoubleClickAndRemembersIt)
{
    EXPECT_TRUE(explorer->SearchPanelAtBottom());
    QTest::mouseDClick(explorer->SearchPanel(), Qt::LeftButton);
    EXPECT_FALSE(explorer->SearchPanelAtBottom());
    explorer->layout()->activate();
    EXPECT_LT(explorer->SearchPanel()->y(), explorer->Grid()->y());
    EXPECT_EQ(ReadSetting(fx.dataFolder() + QStringLiteral("ovra.ini"), QStringLiteral("LETITDOWN")), QStringLiteral("FALSE"));
    TExplorer other;
    other.SetProgramSettings(fx.dataFolder() + QStringLiteral("ovra.ini"));
    EXPECT_FALSE(other.SearchPanelAtBottom());
}

TEST_F(Explorer, AddAppendsAndCountsWithTheActiveList)
{
    ASSERT_TRUE(explorer->CanAdd());
    int focused = 0;
    explorer->focusFirstCard = [&] { ++focused; };
    ASSERT_TRUE(explorer->AddRecord());
    EXPECT_EQ(focused, 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Adressen"), 8);
    const QString label = Data().FieldByName(QStringLiteral("ComName"))->DisplayLabel();
    EXPECT_EQ(explorer->HeadingButton()->text(), label + QStringLiteral(" [8]"));
    EXPECT_FALSE(Data().FieldByName(QStringLiteral("INLIST"))->AsBoolean());

    TListHooks lists;
    QMap<int, int> members;
    lists.activeList = [](int) { return 3; };
    lists.activeListCount = [&] (int) { return members.value(3); };
    lists.adjustMemberCount = [&](int, int list, int delta) { members[list] += delta; };
    explorer->SetListHooks(lists);
    ASSERT_TRUE(explorer->AddRecord());
    EXPECT_EQ(Current("LISTS"), QStringLiteral("001"));
    EXPECT_TRUE(Data().FieldByName(QStringLiteral("INLIST"))->AsBoolean());
    EXPECT_EQ(members.value(3), 1);
    EXPECT_EQ(explorer->HeadingButton()->text(), label + QStringLiteral(" [1/9]"));
    // Documents other than templates need the contact chooser: not here.
    Bind(7);
    EXPECT_FALSE(explorer->CanAdd());
    explorer->documentKind = [] { return 10; };
    EXPECT_TRUE(explorer->CanAdd());
}

TEST_F(Explorer, SelectAllModeAndDraggingRecords)
{
    EXPECT_TRUE(explorer->CanSelectAll());
    EXPECT_FALSE(explorer->CanClearSelection());
    explorer->SelectAll();
    EXPECT_TRUE(explorer->AllSelected());
    EXPECT_TRUE(explorer->CanClearSelection());
    EXPECT_EQ(explorer->Grid()->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Highlight));
    // Any normal use of the grid returns it to grey.
    QTest::keyClick(explorer->Grid(), Qt::Key_Down);
    EXPECT_FALSE(explorer->AllSelected());
    EXPECT_EQ(explorer->Grid()->palette().color(QPalette::Base), TDBGridwListX::NormalColour());

    ASSERT_TRUE(explorer->Grid()->dragData);
    std::unique_ptr<QMimeData> data(explorer->Grid()->dragData());
    int module = 0;
    QList<qint64> ids;
    ASSERT_TRUE(ReadRecordsMimeData(data.get(), &module, &ids));
    EXPECT_EQ(module, 1);
    EXPECT_EQ(ids, QList<qint64>{CurrentId()});
}
