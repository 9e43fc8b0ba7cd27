// The explorer inside the main window: bound by the module switch, driven by the window's
// commands and keys, and followed by the card caption.

#include "mainwindow_fixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QTest>

#include "data/dm.h"
#include "data/table.h"
#include "shell/explorer.h"

namespace {

QAction* Action(TfrmMain& w, const char* name)
{
    return w.findChild<QAction*>(QString::fromLatin1(name));
}

QString Caption(TfrmMain& w)
{
    return w.findChild<QLabel*>(QStringLiteral("labMainCap"))->text();
}

} // namespace

class MainWindowExplorerTest : public MainWindowTest
{
protected:
    // Two more contacts beside the first one (the own company).
    void AddContacts(TfrmMain& w)
    {
        TTable* contacts = w.DataModule()->tabContacts;
        for (const char* name : {"Smits", "Dupont"}) {
            contacts->Append();
            contacts->FieldByName(QStringLiteral("Name"))->SetValue(QString::fromLatin1(name));
            ASSERT_TRUE(contacts->Post());
        }
    }
};

TEST_F(MainWindowExplorerTest, ModuleSwitchBindsTheExplorerAndTheCaptionFollowsItsSearch)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started);
    w->show();
    ASSERT_NO_FATAL_FAILURE(AddContacts(*w));
    TExplorer* explorer = w->Explorer();
    ASSERT_NE(explorer, nullptr);
    EXPECT_EQ(explorer->Module(), 1);
    EXPECT_EQ(explorer->DataSet(), w->DataModule()->tabContacts);

    explorer->SearchBox()->setFocus();
    QTest::keyClicks(explorer->SearchBox(), QStringLiteral("smi"));
    EXPECT_EQ(w->DataModule()->tabContacts->FieldByName(QStringLiteral("ComName"))->AsString(), QStringLiteral("Smits"));
    EXPECT_TRUE(Caption(*w).endsWith(QStringLiteral(" - Smits"))) << Caption(*w).toStdString();

    w->SwitchModule(6);
    EXPECT_EQ(explorer->Module(), 6);
    EXPECT_EQ(explorer->DataSet(), w->DataModule()->tabProducts);
    w->SwitchModule(1);
    EXPECT_EQ(explorer->DataSet(), w->DataModule()->tabContacts);
    // The contact shown when contacts were left is shown again.
    EXPECT_EQ(w->DataModule()->tabContacts->FieldByName(QStringLiteral("ComName"))->AsString(), QStringLiteral("Smits"));
}

TEST_F(MainWindowExplorerTest, CtrlROpensTheExplorerInPlaceOfThePageBookAndAModuleSwitchClosesIt)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started);
    w->show();
    auto* notebook = w->findChild<QStackedWidget*>(QStringLiteral("NotebookMain"));
    TExplorer* explorer = w->Explorer();
    EXPECT_EQ(explorer->width(), TExplorer::kNarrowWidth);

    Action(*w, "actExplorer")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(explorer->IsOpen());
    EXPECT_TRUE(notebook->isHidden());
    EXPECT_GT(explorer->width(), TExplorer::kNarrowWidth);

    w->SwitchModule(6);
    QApplication::processEvents();
    EXPECT_FALSE(explorer->IsOpen());
    EXPECT_FALSE(notebook->isHidden());
    EXPECT_EQ(explorer->width(), TExplorer::kNarrowWidth);
}

TEST_F(MainWindowExplorerTest, AddAndDeleteCommandsWorkThroughTheEditMenu)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started);
    w->show();
    TTable* contacts = w->DataModule()->tabContacts;
    const int before = contacts->RecordCount();

    Q_EMIT w->EditMenu()->aboutToShow();
    QAction* add = nullptr;
    QAction* remove = nullptr;
    for (QAction* a : w->EditMenu()->actions()) {
        const QString source = a->property("quillonSource").toString();
        if (source == QLatin1String("Toevoegen"))
            add = a;
        else if (source == QLatin1String("Verwijderen"))
            remove = a;
    }
    ASSERT_TRUE(add && remove);
    EXPECT_TRUE(add->isVisible() && add->isEnabled());
    // The new record is stored at once and becomes the current one.
    add->trigger();
    EXPECT_EQ(contacts->State(), TDataSetState::Browse);
    EXPECT_EQ(contacts->RecordCount(), before + 1);
    EXPECT_GT(contacts->Field(0)->AsInteger(), 1);

    // Delete asks first; the collected answer is the first button ("Ja").
    remove->trigger();
    EXPECT_EQ(contacts->RecordCount(), before);
    EXPECT_TRUE(Said(QStringLiteral("verwijderen")));
}

TEST_F(MainWindowExplorerTest, SelectAllModeDrivesTheEditMenuStates)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started);
    w->show();
    Action(*w, "actAllesSelecteren")->trigger();
    EXPECT_TRUE(w->Explorer()->AllSelected());
    EXPECT_FALSE(Action(*w, "actAllesSelecteren")->isEnabled());
    EXPECT_TRUE(Action(*w, "actSelectieOpheffen")->isEnabled());
    Action(*w, "actSelectieOpheffen")->trigger();
    EXPECT_FALSE(w->Explorer()->AllSelected());
    EXPECT_TRUE(Action(*w, "actAllesSelecteren")->isEnabled());
}
