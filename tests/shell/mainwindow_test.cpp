#include "mainwindow_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolBox>
#include <QToolButton>

#include "data/dm.h"
#include "data/table.h"
#include "shell/features.h"
#include "shell/menurules.h"

namespace {

QAction* MenuAction(QMenu* menu, const QString& source, int modules = -1)
{
    for (QAction* a : menu->actions()) {
        if (a->property("quillonSource").toString() == source
            && (modules < 0 || a->property("quillonModules").toInt() == modules))
            return a;
    }
    return nullptr;
}

QString Caption(TfrmMain& w)
{
    return w.findChild<QLabel*>(QStringLiteral("labMainCap"))->text();
}

// Sets a feature for one test and puts it back.
class FeatureOn
{
public:
    explicit FeatureOn(TFeature f) : m_feature(f), m_was(IsFeatureAvailable(f)) { SetFeatureAvailable(f, true); }
    ~FeatureOn() { SetFeatureAvailable(m_feature, m_was); }

private:
    TFeature m_feature;
    bool m_was;
};

} // namespace

TEST_F(MainWindowTest, StartOpensTheDefaultAdministrationOnTheFirstContact)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(RunPhase(), 1);
    EXPECT_EQ(w->CurrentModule(), 1);
    EXPECT_EQ(w->CurrentDataSource(), w->DataModule()->dsPersPerCat);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Quillon PRO   Administratie: Demo "));
    EXPECT_EQ(Caption(*w), QStringLiteral("CONTACTEN - Bakkerij Peeters Jan"));
    EXPECT_EQ(LoadExitMarker(), QStringList{QStringLiteral("Demo")}) << "the marker lists the open administration";
    EXPECT_EQ(w->findChild<QStackedWidget*>(QStringLiteral("NotebookMain"))->currentIndex(), 0);
    EXPECT_EQ(w->minimumSize(), QSize(758, 390));
    EXPECT_EQ(w->font().family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(w->findChild<QWidget*>(QStringLiteral("panelMainTitelbalk"))->height(), 21);
    EXPECT_EQ(w->findChild<QWidget*>(QStringLiteral("panel_explorer"))->width(), 194);
    EXPECT_TRUE(w->findChild<QWidget*>(QStringLiteral("PanelScreenDesigner"))->isHidden());
    EXPECT_FALSE(w->findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull()) << "contacts.bmp";
}

TEST_F(MainWindowTest, CardPanelTakesScrollBoxColorOverMainColor)
{
    MakeAdministration();
    auto background = [](TfrmMain& w) {
        return w.findChild<QWidget*>(QStringLiteral("ScrollBoxKlaContents"))->palette().color(QPalette::Window);
    };
    WriteSetting(OvraIni(), QStringLiteral("MAINCOLOR"), QStringLiteral("16711680"));   // blue (BGR)
    {
        auto w = Started();
        EXPECT_EQ(background(*w), QColor(0, 0, 255));
    }
    WriteSetting(OvraIni(), QStringLiteral("SCROLLBOXCOLOR"), QStringLiteral("255"));   // red
    auto w = Started();
    EXPECT_EQ(background(*w), QColor(255, 0, 0));
}

TEST_F(MainWindowTest, VatInclusiveAdministrationShowsItInTheCaption)
{
    NewAdministration request;
    request.name = QStringLiteral("Incl");
    request.vatInclusive = true;
    ASSERT_TRUE(CreateAdministrationFiles(request));
    WriteSetting(OvraIni(), QStringLiteral("DEFADMIN"), request.name);
    auto w = Started();
    ASSERT_TRUE(started);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Quillon PRO   Administratie: Incl (BTWi)"));
}

TEST_F(MainWindowTest, ModuleButtonsSwitchBetweenContactsAndProducts)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started);
    Tdm* dm = w->DataModule();
    // A second contact, current when the module is left.
    ASSERT_TRUE(dm->tabContacts->Append());
    dm->tabContacts->FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("Aerts"));
    ASSERT_TRUE(dm->tabContacts->Post()) << dm->tabContacts->LastError().toStdString();
    const qint64 second = dm->tabContacts->Field(0)->AsInteger();
    EXPECT_EQ(Caption(*w), QStringLiteral("CONTACTEN - Aerts")) << "the caption follows the current record";

    auto* products = w->findChild<QToolButton*>(QStringLiteral("btnMenuProducts"));
    auto* contacts = w->findChild<QToolButton*>(QStringLiteral("btnMenuContacts"));
    QTest::mouseClick(products, Qt::LeftButton);
    EXPECT_EQ(w->CurrentModule(), 6);
    EXPECT_EQ(w->CurrentDataSource(), dm->dsProducts);
    EXPECT_TRUE(products->isChecked());
    EXPECT_FALSE(contacts->isChecked());
    EXPECT_TRUE(Caption(*w).startsWith(QStringLiteral("PRODUCTEN"))) << Caption(*w).toStdString();
    EXPECT_EQ(w->LastContact(), second);

    dm->tabContacts->First();
    QTest::mouseClick(contacts, Qt::LeftButton);
    EXPECT_EQ(w->CurrentModule(), 1);
    EXPECT_EQ(dm->tabContacts->Field(0)->AsInteger(), second) << "the last contact is shown again";
    EXPECT_EQ(Caption(*w), QStringLiteral("CONTACTEN - Aerts"));
}

TEST_F(MainWindowTest, LeavingAProductWithASupplierShowsThatContact)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started);
    Tdm* dm = w->DataModule();
    ASSERT_TRUE(dm->tabContacts->Append());
    dm->tabContacts->FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("Leverancier"));
    ASSERT_TRUE(dm->tabContacts->Post());
    const qint64 supplier = dm->tabContacts->Field(0)->AsInteger();
    dm->tabContacts->First();
    w->SwitchModule(6);
    ASSERT_TRUE(dm->tabProducts->Append());
    dm->tabProducts->FieldByName(QStringLiteral("P_SUPNR"))->SetValue(supplier);
    ASSERT_TRUE(dm->tabProducts->Post()) << dm->tabProducts->LastError().toStdString();
    QTest::mouseClick(w->findChild<QToolButton*>(QStringLiteral("btnMenuContacts")), Qt::LeftButton);
    EXPECT_EQ(dm->tabContacts->Field(0)->AsInteger(), supplier);
}

TEST_F(MainWindowTest, DocumentsModuleBindsTheDocumentsAndUnbuiltModulesAreRefused)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started);
    w->SwitchModule(7);
    EXPECT_EQ(w->CurrentModule(), 7);
    EXPECT_EQ(w->CurrentDataSource(), w->DataModule()->dsTabFacturen);
    EXPECT_EQ(w->findChild<QStackedWidget*>(QStringLiteral("NotebookMain"))->currentIndex(), 2);
    w->SwitchModule(1);
    EXPECT_EQ(w->CurrentModule(), 1);
    for (int module : {2, 3, 4, 5, 8, 9}) {
        w->SwitchModule(module);
        EXPECT_EQ(w->CurrentModule(), 1) << "module " << module << " has no window yet";
    }
}

TEST_F(MainWindowTest, MenusShowTheirItemsByTheModuleDigits)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started);
    QMenu* file = w->FileMenu();
    w->SwitchModule(6);
    Q_EMIT file->aboutToShow();
    QAction* labels = MenuAction(file, QStringLiteral("Etiketten"));
    QAction* diaries = MenuAction(file, QStringLiteral("Agendas"));
    QAction* exit = MenuAction(file, QStringLiteral("&Afsluiten"));
    ASSERT_TRUE(labels && diaries && exit);
    EXPECT_TRUE(labels->property("quillonShownByRule").toBool()) << "16 holds 6";
    EXPECT_FALSE(diaries->property("quillonShownByRule").toBool()) << "1 does not hold 6";
    EXPECT_FALSE(labels->isVisible()) << "the label printing is not built yet";
    EXPECT_TRUE(exit->isVisible());
    {
        FeatureOn lists(TFeature::ListDesigner);
        Q_EMIT file->aboutToShow();
        EXPECT_TRUE(labels->isVisible());
        EXPECT_FALSE(diaries->isVisible());
        w->SwitchModule(1);
        Q_EMIT file->aboutToShow();
        EXPECT_TRUE(labels->isVisible());
        EXPECT_TRUE(diaries->isVisible());
        EXPECT_EQ(MenuAction(file, QStringLiteral("Lijsten en Enveloppen"))->text(), QStringLiteral("Lijsten en Enveloppen"));
        w->SwitchModule(6);
        Q_EMIT file->aboutToShow();
        EXPECT_EQ(MenuAction(file, QStringLiteral("Lijsten en Enveloppen"))->text(), QStringLiteral("Lijsten"));
    }
    // Every item follows the rule of its number, in the module shown, on every menu.
    for (int module : {1, 6, 7}) {
        w->SwitchModule(module);
        for (QMenu* menu : {w->FileMenu(), w->EditMenu(), w->SearchMenu(), w->ExtraMenu()}) {
            Q_EMIT menu->aboutToShow();
            for (QAction* a : menu->actions()) {
                const int modules = a->property("quillonModules").toInt();
                EXPECT_EQ(a->property("quillonShownByRule").toBool(), IsMenuItemVisible(modules, module))
                    << a->property("quillonSource").toString().toStdString() << " in " << module;
                if (a->isVisible() && !a->isSeparator()) {
                    EXPECT_TRUE(IsMenuItemAvailable(a->property("quillonSource").toString(), modules));
                }
            }
        }
    }
}

TEST_F(MainWindowTest, EditMenuCaptionsFollowTheModuleNoun)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started);
    Q_EMIT w->EditMenu()->aboutToShow();
    EXPECT_EQ(MenuAction(w->EditMenu(), QStringLiteral("Toevoegen"))->text(), QStringLiteral("Contact toevoegen"));
    EXPECT_EQ(MenuAction(w->EditMenu(), QStringLiteral("Afspraak toevoegen"))->text(),
              QStringLiteral("Afspraak toevoegen <Bakkerij Peeter...>"));
    w->SwitchModule(6);
    Q_EMIT w->EditMenu()->aboutToShow();
    EXPECT_EQ(MenuAction(w->EditMenu(), QStringLiteral("Verwijderen"))->text(), QStringLiteral("Product verwijderen"));
}

TEST_F(MainWindowTest, UnbuiltCommandsStayHiddenAndTheExplorerCommandsWork)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started);
    for (const char* hidden : {"btnMenuCalender", "btnMenuFacs", "btnLayoutLijsten", "btnLayoutEmail", "btnLayoutWord",
                               "btnMMSelecties"})
        EXPECT_TRUE(w->findChild<QWidget*>(QString::fromLatin1(hidden))->isHidden()) << hidden;
    auto* bar = w->findChild<QToolBox*>(QStringLiteral("LookOut1"));
    ASSERT_EQ(bar->count(), 1) << "only the Menu page has working buttons";
    EXPECT_EQ(bar->itemText(0), QStringLiteral("Menu"));
    for (const char* working : {"actToevoegen", "actVerwijderen", "actAllesSelecteren", "actExplorer"})
        EXPECT_TRUE(w->findChild<QAction*>(QString::fromLatin1(working))->isEnabled()) << working;
    EXPECT_FALSE(w->findChild<QWidget*>(QStringLiteral("btnMMZoeken"))->isEnabled()) << "nothing to search with yet";
    EXPECT_TRUE(w->findChild<QWidget*>(QStringLiteral("btnMMBewerken"))->isEnabled());
    for (const char* waiting : {"actZoeken", "actSelectieOpheffen", "actInstellingen"})
        EXPECT_FALSE(w->findChild<QAction*>(QString::fromLatin1(waiting))->isEnabled()) << waiting;
    EXPECT_EQ(w->findChild<QAction*>(QStringLiteral("actToevoegen"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    // Help needs the help pages; Info needs the splash.
    Q_EMIT w->HelpMenu()->aboutToShow();
    EXPECT_FALSE(w->findChild<QAction*>(QStringLiteral("actHelp"))->isVisible());
    EXPECT_FALSE(w->findChild<QAction*>(QStringLiteral("actInfo"))->isVisible());
    home.write(QStringLiteral("help/help.html"), "<html></html>");
    Q_EMIT w->HelpMenu()->aboutToShow();
    EXPECT_TRUE(w->findChild<QAction*>(QStringLiteral("actHelp"))->isVisible());
    // Help sits where Selecties would be, as in the modules without selections.
    EXPECT_EQ(w->findChild<QWidget*>(QStringLiteral("btnMMHelp"))->x(), 264);
    EXPECT_EQ(w->findChild<QWidget*>(QStringLiteral("btnMMExtra"))->x(), 198);
}

TEST_F(MainWindowTest, ToolButtonsChangeCaptionPerModuleAndKeepTheirAccessKeys)
{
    MakeAdministration();
    {
        auto w = Started();
        ASSERT_TRUE(started);
        auto* file = w->findChild<QToolButton*>(QStringLiteral("btnMMBestand"));
        EXPECT_EQ(file->shortcut(), QKeySequence(QStringLiteral("Alt+B")));
        EXPECT_EQ(w->findChild<QToolButton*>(QStringLiteral("btnMMBewerken"))->shortcut(),
                  QKeySequence(QStringLiteral("Alt+W")));
    }
    LoadTranslations(ProgramFolder() + QStringLiteral("dll/Strings.DAT"));
    WriteSetting(OvraIni(), QStringLiteral("LANGUAGE"), QStringLiteral("UK"));
    auto w = Started();
    ASSERT_TRUE(started);
    auto* file = w->findChild<QToolButton*>(QStringLiteral("btnMMBestand"));
    EXPECT_EQ(LanguageIndex(), 3);
    EXPECT_EQ(file->text(), QStringLiteral("&File"));
    EXPECT_EQ(w->findChild<QToolButton*>(QStringLiteral("btnMenuProducts"))->text(), QStringLiteral("&Products"));
    EXPECT_NE(file->text(), QStringLiteral("&Bestand"));
    EXPECT_EQ(file->shortcut(), QKeySequence(QStringLiteral("Alt+F")));
    EXPECT_EQ(w->findChild<QToolButton*>(QStringLiteral("btnMMBewerken"))->shortcut(), QKeySequence(QStringLiteral("Alt+E")));
    EXPECT_EQ(w->windowTitle(), MainWindowCaption(QStringLiteral("Demo"), false));
    EXPECT_EQ(Caption(*w), QStringLiteral("CONTACTS - Bakkerij Peeters Jan"));
    // Back in Dutch from the kept sources.
    SetLanguageIndex(1);
    w->TranslateAll();
    EXPECT_EQ(file->text(), QStringLiteral("&Bestand"));
    ResetTranslations();
}

TEST_F(MainWindowTest, PlacementIsReadAtCreationAndWrittenAtClose)
{
    MakeAdministration();
    struct Case
    {
        const char* stored;   // nullptr: no MAINPOS
        bool maximised;
        QRect bounds;
        const char* written;
    };
    const Case cases[] = {
        {"|10|20|700|500|", false, QRect(10, 20, 758, 500), "|10|20|758|500|"},
        {"|30|40|900|600|", false, QRect(30, 40, 900, 600), "|30|40|900|600|"},
        {"|||", false, QRect(0, 0, 800, 600), "|0|0|800|600|"},
        {"MAX|", true, {}, "MAX|"},
        {nullptr, true, {}, "MAX|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(none)");
        if (c.stored)
            WriteSetting(OvraIni(), QStringLiteral("MAINPOS"), QString::fromLatin1(c.stored));
        else
            WriteSetting(OvraIni(), QStringLiteral("MAINPOS"), QString());
        if (!c.stored) {
            // An absent key, not an empty one.
            QFile::remove(OvraIni());
            WriteSetting(OvraIni(), QStringLiteral("DEFADMIN"), QStringLiteral("Demo"));
        }
        auto w = Started();
        ASSERT_TRUE(started);
        EXPECT_EQ(w->windowState().testFlag(Qt::WindowMaximized), c.maximised);
        if (!c.maximised) {
            EXPECT_EQ(w->geometry(), c.bounds) << "narrower than the minimum width is widened";
        }
        EXPECT_TRUE(w->close());
        EXPECT_EQ(ReadSetting(OvraIni(), QStringLiteral("MAINPOS")), QString::fromLatin1(c.written));
    }
}

TEST_F(MainWindowTest, ClosingIsRefusedWhileAPrintPreviewIsOpen)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started);
    w->show();
    w->SetPrintPreviewOpen(true);
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(Said(QStringLiteral("Er is printvoorbeeld open. Sluit dit eerst om verder te gaan.")));
    EXPECT_EQ(RunPhase(), 1) << "the run goes on as it was";
    ASSERT_NE(w->Administration(), nullptr);
    EXPECT_EQ(w->CurrentModule(), 1);
    w->SetPrintPreviewOpen(false);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(w->Administration(), nullptr);
    EXPECT_EQ(RunPhase(), 3);
}

TEST_F(MainWindowTest, ReminderTimerFollowsTimerIntAndReminderOn)
{
    MakeAdministration();
    struct Case
    {
        const char* interval;
        const char* on;
        int ms;
        bool active;
    };
    const Case cases[] = {
        {nullptr, nullptr, 120000, true},
        {"5", "TRUE", 300000, true},
        {"0", "TRUE", 0, false},
        {"abc", "TRUE", 120000, true},
        {"5", "FALSE", 300000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.interval ? c.interval : "(none)");
        WriteSetting(OvraIni(), QStringLiteral("TIMERINT"), c.interval ? QString::fromLatin1(c.interval) : QString());
        WriteSetting(OvraIni(), QStringLiteral("REMINDERON"), c.on ? QString::fromLatin1(c.on) : QStringLiteral("TRUE"));
        auto w = Started();
        ASSERT_TRUE(started);
        EXPECT_EQ(w->ReminderTimer()->interval(), c.ms);
        EXPECT_EQ(w->ReminderTimer()->isActive(), c.active);
        int ticks = 0;
        w->reminderTick = [&ticks] { ++ticks; };
        QMetaObject::invokeMethod(w->ReminderTimer(), "timeout");
        EXPECT_EQ(ticks, 1) << "the contacts module asks about reminders";
    }
}

TEST_F(MainWindowTest, CreatingAnAdministrationOpensItAndMakesItTheDefault)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started);
    int phaseDuringCreation = 0;
    const bool ok = w->CreateAdministration(QStringLiteral("Tweede"), [&](QString* error) {
        phaseDuringCreation = RunPhase();
        NewAdministration request;
        request.name = QStringLiteral("Tweede");
        request.copyProfileFrom = QStringLiteral("Demo");
        return CreateAdministrationFiles(request, error);
    });
    ASSERT_TRUE(ok) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(phaseDuringCreation, 2);
    EXPECT_EQ(RunPhase(), 1);
    EXPECT_EQ(w->Administration()->Name(), QStringLiteral("Tweede"));
    EXPECT_EQ(w->CurrentModule(), 1);
    EXPECT_EQ(ReadSetting(OvraIni(), QStringLiteral("DEFADMIN")), QStringLiteral("Tweede"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Quillon PRO   Administratie: Tweede "));
    EXPECT_EQ(LoadExitMarker(), (QStringList{QStringLiteral("Demo"), QStringLiteral("Tweede")}));

    // A failed creation says why, opens the administration that was open again and leaves
    // the run phase at 1.
    EXPECT_FALSE(w->CreateAdministration(QStringLiteral("Derde"), [](QString* error) {
        *error = QStringLiteral("kan niet");
        return false;
    }));
    EXPECT_EQ(RunPhase(), 1);
    EXPECT_TRUE(Said(QStringLiteral("kan niet")));
    ASSERT_NE(w->Administration(), nullptr);
    EXPECT_EQ(w->Administration()->Name(), QStringLiteral("Tweede"));
    EXPECT_EQ(w->CurrentModule(), 1);
    EXPECT_EQ(ReadSetting(OvraIni(), QStringLiteral("DEFADMIN")), QStringLiteral("Tweede"));
}

TEST_F(MainWindowTest, AccessKeysDropTheMenusAndTheKeyboardWorksThem)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_B, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->FileMenu()->isVisible(); }, 2000)) << "Alt+B drops the file menu";
    // Below the button's left edge.
    auto* file = w->findChild<QToolButton*>(QStringLiteral("btnMMBestand"));
    EXPECT_EQ(w->FileMenu()->pos(), file->mapToGlobal(QPoint(0, file->height())));
    QTest::keyClick(w->FileMenu(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->FileMenu()->isVisible(); }, 2000));
    // "&Afsluiten" from the keyboard closes the window.
    QTest::keyClick(w.get(), Qt::Key_B, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->FileMenu()->isVisible(); }, 2000));
    QTest::keyClick(w->FileMenu(), Qt::Key_A);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }, 2000));
    EXPECT_EQ(w->Administration(), nullptr);
}

TEST_F(MainWindowTest, InfoShowsTheSplashWindowAgain)
{
    MakeAdministration();
    QWidget* shownOver = nullptr;
    TStartupServices services;
    services.showInfo = [&shownOver](QWidget* parent) { shownOver = parent; };
    auto w = Started(services);
    ASSERT_TRUE(started);
    Q_EMIT w->HelpMenu()->aboutToShow();
    QAction* info = w->findChild<QAction*>(QStringLiteral("actInfo"));
    ASSERT_TRUE(info->isVisible());
    info->trigger();
    EXPECT_EQ(shownOver, w.get());
}
