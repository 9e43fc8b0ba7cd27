// The tool bar with its drop-down menus, the left button bar and the keyboard commands.

#include "shell/mainwindow.h"

#include <QAction>
#include <algorithm>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QToolBox>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "data/administration.h"
#include "data/datasource.h"
#include "data/dm.h"
#include "data/modules.h"
#include "data/recordrules.h"
#include "data/table.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/records.h"
#include "foundation/translate.h"
#include "shell/explorer.h"
#include "shell/messagesink.h"
#include "shell/pictures.h"

namespace {

constexpr int kToolButtonWidth = 66;
constexpr char kModulesProperty[] = "quillonModules";
constexpr char kSourceProperty[] = "quillonSource";
constexpr char kShownByRuleProperty[] = "quillonShownByRule";

QString SourceOf(const QAction* action)
{
    return action->property(kSourceProperty).toString();
}

QAction* FindAction(QMenu* menu, const QString& source)
{
    for (QAction* action : menu->actions()) {
        if (SourceOf(action) == source)
            return action;
    }
    return nullptr;
}

// The help file of the language: help/help.html, helpf.html, helpe.html, helpd.html.
QString HelpFile()
{
    const QString folder = ProgramFolder() + QStringLiteral("help/");
    const QString suffix = FieldOf(QStringLiteral("|f|e|d|"), LanguageIndex());
    const QStringList names{QStringLiteral("help") + suffix + QStringLiteral(".html"), QStringLiteral("help.html"),
                            QStringLiteral("index.html")};
    for (const QString& name : names) {
        if (QFileInfo(folder + name).isFile())
            return folder + name;
    }
    return {};
}

} // namespace

void TfrmMain::BuildToolBar(QWidget* band)
{
    m_toolbar = new QWidget(band);
    m_toolbar->setObjectName(QStringLiteral("tobaMain"));
    m_toolbar->setFixedSize(kToolButtonWidth * 6, 48);
    auto make = [this](const char* name, const QString& caption) {
        auto* button = new QToolButton(m_toolbar);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(caption);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(24, 24));
        button->setAutoRaise(true);
        button->setFixedSize(kToolButtonWidth - 2, 48);
        return button;
    };
    m_btnFile = make("btnMMBestand", NL("&Bestand"));
    m_btnEdit = make("btnMMBewerken", NL("Be&werken"));
    m_btnSearch = make("btnMMZoeken", NL("&Zoeken"));
    m_btnExtra = make("btnMMExtra", NL("E&xtra"));
    m_btnSelections = make("btnMMSelecties", NL("&Selecties"));
    m_btnHelp = make("btnMMHelp", NL("&Help"));
    m_btnFile->move(0, 0);
    m_btnEdit->move(kToolButtonWidth, 0);
    m_btnSearch->move(2 * kToolButtonWidth, 0);
}

QMenu* TfrmMain::BuildMenu(const QList<MenuItemDef>& items, const QString& name)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(name);
    menu->setSeparatorsCollapsible(true);
    for (const MenuItemDef& item : items) {
        QAction* action = nullptr;
        if (item.IsSeparator()) {
            action = menu->addSeparator();
        } else if (!item.children.isEmpty()) {
            auto* sub = new QMenu(item.caption, menu);
            for (const MenuItemDef& child : item.children) {
                QAction* c = child.IsSeparator() ? sub->addSeparator() : sub->addAction(child.caption);
                c->setProperty(kSourceProperty, child.caption);
            }
            action = menu->addMenu(sub);
        } else {
            action = menu->addAction(item.caption);
        }
        action->setProperty(kModulesProperty, item.modules);
        action->setProperty(kSourceProperty, item.caption);
    }
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { OnMenuAboutToShow(menu); });
    return menu;
}

void TfrmMain::BuildMenus()
{
    m_popFile = BuildMenu(FileMenuItems(), QStringLiteral("pop_File"));
    m_popEdit = BuildMenu(EditMenuItems(), QStringLiteral("pop_Edit"));
    m_popSearch = BuildMenu(SearchMenuItems(), QStringLiteral("pop_Search"));
    m_popExtra = BuildMenu(ExtraMenuItems(), QStringLiteral("pop_Extra"));
    // The selections fill their own menu.
    m_popSel = new QMenu(this);
    m_popSel->setObjectName(QStringLiteral("popSEL"));
    m_popHelp = new QMenu(this);
    m_popHelp->setObjectName(QStringLiteral("popHelp"));
    for (QMenu* menu : {m_popSel, m_popHelp})
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { OnMenuAboutToShow(menu); });

    connect(m_btnFile, &QToolButton::clicked, this, [this] { PopupMenu(m_btnFile, m_popFile); });
    connect(m_btnEdit, &QToolButton::clicked, this, [this] { PopupMenu(m_btnEdit, m_popEdit); });
    connect(m_btnSearch, &QToolButton::clicked, this, [this] { PopupMenu(m_btnSearch, m_popSearch); });
    connect(m_btnExtra, &QToolButton::clicked, this, [this] { PopupMenu(m_btnExtra, m_popExtra); });
    connect(m_btnSelections, &QToolButton::clicked, this, [this] { PopupMenu(m_btnSelections, m_popSel); });
    connect(m_btnHelp, &QToolButton::clicked, this, [this] { PopupMenu(m_btnHelp, m_popHelp, 63); });
}

void TfrmMain::PopupMenu(QToolButton* button, QMenu* menu, int offset)
{
    menu->popup(button->mapToGlobal(QPoint(offset, button->height())));
}

void TfrmMain::ApplyMenuRule(QMenu* menu, int module)
{
    for (QAction* action : menu->actions()) {
        const QVariant modules = action->property(kModulesProperty);
        if (!modules.isValid())
            continue;
        const bool byRule = IsMenuItemVisible(modules.toInt(), module);
        action->setProperty(kShownByRuleProperty, byRule);
        action->setVisible(byRule && IsMenuItemAvailable(SourceOf(action), modules.toInt()));
    }
}

void TfrmMain::OnMenuAboutToShow(QMenu* menu)
{
    if (m_dataSource && m_dataSource->DataSet())
        m_dataSource->DataSet()->CheckBrowseMode();
    if (menu == m_popHelp) {
        m_actHelp->setVisible(!HelpFile().isEmpty());
        m_actInfo->setVisible(bool(m_services.showInfo));
        return;
    }
    if (menu == m_popSel)
        return;
    if ((menu == m_popFile || menu == m_popEdit || menu == m_popExtra) && m_module == 7) {
        if (auto& save = m_dm->Rules().Hooks().saveEditedDocument)
            save();
    }
    ApplyMenuRule(menu, m_module);
    UpdateExplorerCommands();

    TModule* module = m_admin ? m_admin->Module() : nullptr;
    const QString singular = module ? module->Singular() : QString();
    if (menu == m_popEdit) {
        auto caption = [&](const QString& item, const QString& format) {
            if (QAction* a = FindAction(menu, item))
                a->setText(FillPlaceholders(Translate(format), {singular}));
        };
        caption(QStringLiteral("Toevoegen"), NL("%s toevoegen"));
        caption(QStringLiteral("&Dupliceren"), NL("%s &dupliceren"));
        caption(QStringLiteral("Verwijderen"), NL("%s verwijderen"));
        if (QAction* appointment = FindAction(menu, QStringLiteral("Afspraak toevoegen"))) {
            QString name;
            if (m_module == 1 && m_dm->tabContacts->Active())
                name = m_dm->tabContacts->FieldByName(QStringLiteral("ComName"))->AsString().left(15);
            appointment->setText(Translate(NL("Afspraak toevoegen")) + FillPlaceholders(QStringLiteral(" <%s...>"), {name}));
        }
    } else if (menu == m_popFile) {
        if (QAction* lists = FindAction(menu, QStringLiteral("Lijsten en Enveloppen")))
            lists->setText(Translate(m_module == 6 ? NL("Lijsten") : NL("Lijsten en Enveloppen")));
    } else if (menu == m_popExtra) {
        if (QAction* history = FindAction(menu, QStringLiteral("Historiek"))) {
            QString name;
            if (m_dm->tabContacts->Active())
                name = m_dm->tabContacts->FieldByName(QStringLiteral("ComName"))->AsString().left(15);
            history->setText(Translate(NL("Historiek")) + FillPlaceholders(QStringLiteral(" <%s...>"), {name}));
        }
    }
}

void TfrmMain::BuildButtonBar()
{
    auto page = [this](const char* name, const QString& caption) {
        auto* w = new QWidget(m_lookOut);
        w->setObjectName(QString::fromLatin1(name));
        auto* layout = new QVBoxLayout(w);
        layout->setContentsMargins(4, 6, 4, 6);
        layout->setSpacing(6);
        m_lookOutPages.append(w);
        m_lookOutCaptions.append(caption);
        m_lookOut->addItem(w, caption);
        return w;
    };
    auto button = [](QWidget* page, const char* name, const QString& caption, bool checkable) {
        auto* b = new QToolButton(page);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(caption);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setIconSize(QSize(24, 24));
        b->setAutoRaise(true);
        b->setCheckable(checkable);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setMinimumHeight(48);
        static_cast<QVBoxLayout*>(page->layout())->addWidget(b);
        return b;
    };
    m_pageMenu = page("LOPHoofdMenu", NL("Menu"));
    m_btnContacts = button(m_pageMenu, "btnMenuContacts", NL("C&ontacten"), true);
    m_btnCalendar = button(m_pageMenu, "btnMenuCalender", NL("Ka&lender"), true);
    m_btnProducts = button(m_pageMenu, "btnMenuProducts", NL("&Producten"), true);
    m_btnDocuments = button(m_pageMenu, "btnMenuFacs", NL("Fact&uren"), true);
    m_pageLayout = page("LOPLayout", NL("Lay-out"));
    m_btnLists = button(m_pageLayout, "btnLayoutLijsten", NL("Lijsten"), true);
    m_btnEmails = button(m_pageLayout, "btnLayoutEmail", NL("E-mails"), true);
    m_btnWord = button(m_pageLayout, "btnLayoutWord", NL("Word"), false);
    // The selections put their "Alles" button and one per saved selection here.
    m_pageSelections = page("LOPSelecties", NL("Selecties"));
    m_pageDesign = page("LOPDesign", NL("Design"));
    m_btnDesignClose = button(m_pageDesign, "xbtnDesSluiten", NL("Sluiten"), false);
    for (QWidget* w : m_lookOutPages)
        static_cast<QVBoxLayout*>(w->layout())->addStretch(1);

    connect(m_btnContacts, &QToolButton::clicked, this, [this] {
        qint64 supplier = -1;
        // From a product the supplier's contact is shown.
        if (m_module == 6 && m_dm->tabProducts->Active()) {
            if (TField* f = m_dm->tabProducts->FindField(QStringLiteral("P_SUPNR")); f && f->AsInteger() > 0)
                supplier = f->AsInteger();
        }
        SwitchModule(1, 1, supplier);
    });
    connect(m_btnProducts, &QToolButton::clicked, this, [this] { SwitchModule(6, 1, -1); });
    connect(m_btnCalendar, &QToolButton::clicked, this, [this] { SwitchModule(5, 1, -1); });
    connect(m_btnDocuments, &QToolButton::clicked, this, [this] { SwitchModule(7, 1, -1); });
    RefreshButtonBar();
}

void TfrmMain::SetLookOutPageVisible(QWidget* page, bool visible)
{
    const int shownAt = m_lookOut->indexOf(page);
    if (visible == (shownAt >= 0))
        return;
    if (!visible) {
        m_lookOut->removeItem(shownAt);
        page->hide();
        return;
    }
    // Back in its place among the pages that are shown.
    const int order = m_lookOutPages.indexOf(page);
    int at = 0;
    for (int i = 0; i < order; ++i) {
        if (m_lookOut->indexOf(m_lookOutPages.at(i)) >= 0)
            ++at;
    }
    m_lookOut->insertItem(at, page, Translate(m_lookOutCaptions.at(order)));
}

void TfrmMain::RefreshButtonBar()
{
    m_btnContacts->setVisible(IsFeatureAvailable(TFeature::Contacts));
    m_btnCalendar->setVisible(IsFeatureAvailable(TFeature::Calendar));
    m_btnProducts->setVisible(IsFeatureAvailable(TFeature::Products));
    m_btnDocuments->setVisible(IsFeatureAvailable(TFeature::SalesDocuments));
    m_btnLists->setVisible(IsFeatureAvailable(TFeature::ListDesigner));
    m_btnEmails->setVisible(IsFeatureAvailable(TFeature::EmailDesigner));
    m_btnWord->setVisible(IsFeatureAvailable(TFeature::WordMerge));
    const bool designing = m_module == 2 || m_module == 8;
    SetLookOutPageVisible(m_pageMenu, !designing);
    SetLookOutPageVisible(m_pageLayout, !designing
                                            && (IsFeatureAvailable(TFeature::ListDesigner)
                                                || IsFeatureAvailable(TFeature::EmailDesigner)
                                                || IsFeatureAvailable(TFeature::WordMerge)));
    SetLookOutPageVisible(m_pageSelections, (m_module == 1 || m_module == 6)
                                                && IsFeatureAvailable(TFeature::Selections));
    SetLookOutPageVisible(m_pageDesign, designing);
}

void TfrmMain::PressModuleButton(QToolButton* button, bool pressed)
{
    if (button)
        button->setChecked(pressed);
}

void TfrmMain::BuildActions()
{
    struct Command
    {
        const char* name;
        QString caption;
        QKeySequence key;
        TFeature feature;
    };
    const Command commands[] = {
        // The explorer connects its add command here (and the edit menu's "Toevoegen").
        {"actToevoegen", NL("Toevoegen"), QKeySequence(Qt::CTRL | Qt::Key_N), TFeature::Explorer},
        // The explorer connects its delete command here (and the edit menu's "Verwijderen").
        {"actVerwijderen", NL("Verwijderen"), QKeySequence(Qt::CTRL | Qt::Key_Delete), TFeature::Explorer},
        {"actVervangen", NL("Vervangen"), QKeySequence(Qt::CTRL | Qt::Key_H), TFeature::Replace},
        {"actHelp", NL("Help"), QKeySequence(Qt::Key_F1), TFeature::Help},
        // The explorer connects its select-all mode here (and the edit menu's item).
        {"actAllesSelecteren", NL("Alles selecteren"), QKeySequence(Qt::CTRL | Qt::Key_A), TFeature::Explorer},
        // The explorer connects the end of its multi-selection here (and the edit menu's item).
        {"actSelectieOpheffen", NL("Selectie opheffen"), QKeySequence(), TFeature::Explorer},
        {"actZoeken", NL("Zoeken"), QKeySequence(Qt::CTRL | Qt::Key_F), TFeature::Search},
        {"actInstellingen", NL("Instellingen"), QKeySequence(Qt::CTRL | Qt::Key_S), TFeature::SettingsDialog},
        {"actLogboek", NL("Logboek"), QKeySequence(Qt::CTRL | Qt::Key_L), TFeature::History},
        {"actNieuwFactuur", NL("Factuur"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F), TFeature::SalesDocuments},
        {"actNieuwOfferte", NL("Offerte"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_O), TFeature::SalesDocuments},
        {"actNieuwCreditnota", NL("Creditnota"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C), TFeature::SalesDocuments},
        {"actNieuwBestelbon", NL("Bestelbon"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_B), TFeature::SalesDocuments},
        {"actNieuwGlobalisatiefactuur", NL("Globalisatiefactuur"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_G),
         TFeature::SalesDocuments},
        {"actNieuwLeveringsbon", NL("Leveringsbon"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_L), TFeature::SalesDocuments},
        // The explorer connects its show/hide here (modules 1, 6 and 7 only).
        {"actExplorer", NL("Verkenner"), QKeySequence(Qt::CTRL | Qt::Key_R), TFeature::Explorer},
        {"actAfdrukken", NL("Afdrukken"), QKeySequence(Qt::CTRL | Qt::Key_P), TFeature::Print},
        {"actLopendeAfspraken", NL("Lopende afspraken"), QKeySequence(Qt::CTRL | Qt::Key_M), TFeature::Reminders},
        {"actProductPrijs", NL("Product prijs"), QKeySequence(Qt::CTRL | Qt::Key_E), TFeature::DocumentTools},
    };
    for (const Command& c : commands) {
        auto* action = new QAction(c.caption, this);
        action->setObjectName(QString::fromLatin1(c.name));
        action->setShortcut(c.key);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(IsFeatureAvailable(c.feature));
        addAction(action);
        if (c.feature == TFeature::Help)
            m_actHelp = action;
    }
    connect(m_actHelp, &QAction::triggered, this, &TfrmMain::OnHelp);
    m_popHelp->addAction(m_actHelp);
    m_actInfo = m_popHelp->addAction(NL("Info"));
    m_actInfo->setObjectName(QStringLiteral("actInfo"));
    connect(m_actInfo, &QAction::triggered, this, [this] {
        if (m_services.showInfo)
            m_services.showInfo(this);
    });
}

QAction* TfrmMain::Command(const char* name) const
{
    return findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

void TfrmMain::InstallExplorer()
{
    TExplorer* explorer = m_explorerWidget;
    explorer->SetProgramSettings(OvraIni());
    connect(Command("actToevoegen"), &QAction::triggered, explorer, [this] {
        if (m_explorerWidget->CanAdd())
            m_explorerWidget->AddRecord();
    });
    connect(Command("actVerwijderen"), &QAction::triggered, explorer, [this] {
        if (m_module == 1 || m_module == 6 || m_module == 7)
            m_explorerWidget->DeleteRecords();
    });
    connect(Command("actAllesSelecteren"), &QAction::triggered, explorer, [this] {
        // Modules 2 and 8 select the card designer's controls once the designer exists.
        if (m_module == 1 || m_module == 6 || m_module == 7)
            m_explorerWidget->SelectAll();
    });
    connect(Command("actSelectieOpheffen"), &QAction::triggered, explorer, &TExplorer::ClearSelection);
    connect(Command("actExplorer"), &QAction::triggered, explorer, [this] {
        if (m_explorerWidget->CanOpen())
            m_explorerWidget->ToggleExplorer();
    });
    // The edit menu's items are the same commands.
    const struct { const char* item; const char* action; } items[] = {
        {"Toevoegen", "actToevoegen"},
        {"Verwijderen", "actVerwijderen"},
        {"Alles selecteren", "actAllesSelecteren"},
        {"Selectie opheffen", "actSelectieOpheffen"},
    };
    for (const auto& entry : items) {
        if (QAction* item = FindAction(m_popEdit, QString::fromLatin1(entry.item)))
            connect(item, &QAction::triggered, Command(entry.action), &QAction::trigger);
    }
    // Open, the explorer fills the window in place of the page book.
    connect(explorer, &TExplorer::openChanged, this, [this](bool open) { ShowExplorerOpen(open); });
    connect(explorer, &TExplorer::selectionChanged, this, &TfrmMain::UpdateExplorerCommands);
    connect(explorer, &TExplorer::cellClicked, this, [this] {
        if (m_dataSource && m_dataSource->DataSet())
            m_dataSource->DataSet()->CheckBrowseMode();
    });
}

void TfrmMain::ShowExplorerOpen(bool open)
{
    m_notebook->setVisible(!open);
    if (open) {
        m_explorer->setMinimumWidth(0);
        m_explorer->setMaximumWidth(QWIDGETSIZE_MAX);
    } else {
        m_explorer->setFixedWidth(TExplorer::kNarrowWidth);
    }
    m_body->setStretchFactor(m_explorer, open ? 1 : 0);
}

void TfrmMain::UpdateExplorerCommands()
{
    if (!IsFeatureAvailable(TFeature::Explorer))
        return;
    const bool listing = m_module == 1 || m_module == 6 || m_module == 7;
    const bool open = m_admin && m_admin->Status() == asOpen;
    // While a list or selection is active, adding and deleting wait for the selections' own
    // commands; the explorer's list hooks say whether one is.
    const TListHooks& lists = m_explorerWidget->ListHooks();
    const bool listActive = lists.ActiveList(m_module) != 0;
    const bool recordCommands = open && (!listActive || m_module == 7);
    const struct { const char* action; const char* item; bool enabled; } states[] = {
        {"actToevoegen", "Toevoegen", recordCommands && m_explorerWidget->CanAdd()},
        {"actVerwijderen", "Verwijderen", recordCommands && listing},
        {"actAllesSelecteren", "Alles selecteren", open && listing && m_explorerWidget->CanSelectAll()},
        {"actSelectieOpheffen", "Selectie opheffen", open && listing && m_explorerWidget->CanClearSelection()},
        {"actExplorer", nullptr, open && m_explorerWidget->CanOpen()},
    };
    for (const auto& state : states) {
        Command(state.action)->setEnabled(state.enabled);
        if (state.item) {
            if (QAction* item = FindAction(m_popEdit, QString::fromLatin1(state.item)))
                item->setEnabled(state.enabled);
        }
    }
}

void TfrmMain::ConnectMenuCommands()
{
    if (QAction* exit = FindAction(m_popFile, QStringLiteral("&Afsluiten")))
        connect(exit, &QAction::triggered, this, &QWidget::close);
    if (QAction* charmap = FindAction(m_popExtra, QStringLiteral("Speciale tekens")))
        connect(charmap, &QAction::triggered, this, &TfrmMain::OnCharacterMap);
}

void TfrmMain::ApplyModuleToolbar(int module)
{
    const ModuleToolbar bar = ModuleToolbarOf(module);
    const QString picture = PictureFile(bar.picture);
    if (!picture.isEmpty())
        m_image1->setPixmap(QPixmap(picture));
    m_btnFile->setIcon(ToolIcon(bar.file));
    m_btnEdit->setIcon(ToolIcon(bar.edit));
    m_btnSearch->setIcon(ToolIcon(bar.search));
    m_btnExtra->setIcon(ToolIcon(bar.extra));
    m_btnSelections->setIcon(ToolIcon(bar.selections));
    m_btnHelp->setIcon(ToolIcon(bar.help));

    const bool selections = bar.showSelections && IsFeatureAvailable(TFeature::Selections);
    m_btnExtra->move(bar.extraX, 0);
    m_btnSelections->move(bar.selectionsX, 0);
    m_btnSelections->setVisible(selections);
    // Help takes the place of a Selecties button that is not there.
    m_btnHelp->move(selections ? bar.helpX : bar.selectionsX, 0);

    m_btnFile->setText(Translate(NL("&Bestand")));
    m_btnEdit->setText(Translate(NL("Be&werken")));
    m_btnSearch->setText(Translate(SearchButtonCaption(module)));
    m_btnExtra->setText(Translate(ExtraButtonCaption(module)));
    m_btnSelections->setText(Translate(SelectionsButtonCaption(module)));
    m_btnHelp->setText(Translate(NL("&Help")));
    SetAccelerators();
    // A menu with nothing built for this module leaves its button greyed.
    const std::pair<QToolButton*, QMenu*> menus[] = {
        {m_btnFile, m_popFile}, {m_btnEdit, m_popEdit}, {m_btnSearch, m_popSearch}, {m_btnExtra, m_popExtra}};
    for (const auto& [button, menu] : menus) {
        ApplyMenuRule(menu, module);
        const QList<QAction*> actions = menu->actions();
        button->setEnabled(std::any_of(actions.begin(), actions.end(),
                                       [](const QAction* a) { return a->isVisible() && !a->isSeparator(); }));
    }
}

void TfrmMain::SetAccelerators()
{
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             m_btnFile, m_btnEdit, m_btnSearch, m_btnHelp, m_btnSelections, m_btnDocuments}) {
        const QChar key = AcceleratorOf(button->text());
        button->setShortcut(key.isNull() ? QKeySequence()
                                         : QKeySequence(QStringLiteral("Alt+") + key.toUpper()));
    }
}

void TfrmMain::OnHelp()
{
    const QString file = HelpFile();
    if (!file.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

void TfrmMain::OnCharacterMap()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("gucharmap"));
    if (program.isEmpty() || !QProcess::startDetached(program, {}))
        ShowNotice(NL("Om deze functie te kunnen gebruiken moet u eerst het Windows onderdeel \"Speciale Tekens\" installeren"));
}

void TfrmMain::ShowIndexName()
{
    auto* table = m_dataSource ? qobject_cast<TTable*>(m_dataSource->DataSet()) : nullptr;
    if (table)
        ShowNotice(table->IndexName(), false);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_image1 && event->type() == QEvent::MouseButtonDblClick) {
        ShowIndexName();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
