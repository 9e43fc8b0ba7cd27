#pragma once

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "data/datasource.h"
#include "shell/exitmarker.h"
#include "shell/features.h"
#include "shell/menurules.h"
#include "shell/startupsettings.h"

class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class QStackedWidget;
class QTimer;
class QToolBox;
class QToolButton;
class QVBoxLayout;
class TAdministration;
class TExplorer;
class Tdm;

// What the start-up asks of units outside the main window. Each may stay empty: no splash,
// no repair, no first-run set-up (which then counts as cancelled).
struct TStartupServices
{
    // A progress text on the splash window (a Dutch source text, translated when shown).
    std::function<void(const QString& text)> progress;
    // The splash window goes away (step 6 of the show, and before the first-run set-up).
    std::function<void()> closeSplash;
    // The built-in repair after an unclean exit, before any table is opened. administrations:
    // the names the exit marker lists (and DEFADMIN). It shows its own report.
    std::function<void(const QStringList& administrations)> repair;
    // The first-run set-up: asks the user and creates the administration through
    // TfrmMain::CreateAdministration. True when an administration is open afterwards.
    std::function<bool(class TfrmMain& window)> firstRun;
    // The help menu's "Info": the splash window again, modal. Empty: the item stays hidden.
    std::function<void(QWidget* parent)> showInfo;
};

// The main window: tool bar with its drop-down menus, the left button bar, the page book with
// the card page, the explorer and designer panels. It owns the open administration and the
// current module; SwitchModule is the one place where the module, the data source and the
// visible page change.
//
// Life cycle: the constructor runs the creation steps (settings, exit marker and repair, image
// lists); StartUp() the show steps (the default administration or the first-run set-up);
// closing leaves the module and frees the administration; the destructor deletes temp/, makes
// the exit backups and marks the clean exit.
class TfrmMain : public QMainWindow
{
    Q_OBJECT
public:
    // dm: the data module; when empty the window makes and owns one. services are used from
    // the constructor on (the repair runs there).
    explicit TfrmMain(TStartupServices services = {}, Tdm* dm = nullptr, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The show steps. False when the program ends: the start failed (reported) or the first
    // run was cancelled; the window is closed then.
    bool StartUp();
    RunOutcome Outcome() const { return m_outcome; }

    // Modules: 1 contacts, 2 contact card designer, 3 list designer, 4 e-mail designer,
    // 5 calendar, 6 products, 7 sales documents, 8 product card designer; 100 while closing.
    void SwitchModule(int module, int documentKind = 1, qint64 recordToLocate = -1);
    qint64 LeaveModule(int newModule, qint64 recordToLocate, bool forced = false);
    bool BindDataSource(TDataSource* dataSource);
    int CurrentModule() const { return m_module; }
    TDataSource* CurrentDataSource() const { return m_dataSource; }
    qint64 LastContact() const { return m_lastContact; }

    TAdministration* Administration() const { return m_admin.get(); }
    Tdm* DataModule() const { return m_dm; }
    const StartupSettings& Settings() const { return m_settings; }

    // Frees the open administration and opens data folder + name; the status tells the rest.
    // With an open one the contacts module is switched to.
    int OpenAdministration(const QString& name);
    // The window's side of creating an administration: run phase 2, free the open one,
    // createFiles (folder, tables, profile), DEFADMIN, open it, contacts module, run phase 1,
    // caption. False (with the message shown) when the files could not be made or the new
    // administration does not open; the run phase is back to 1 either way.
    bool CreateAdministration(const QString& name, const std::function<bool(QString* error)>& createFiles);

    // "%s   Administratie: %s " with the title and the open administration.
    void UpdateCaption();
    // The title bar of the card page: the module title and the current record.
    void UpdateCardCaption();
    QString CardCaption() const;
    // Translates the whole window into the current language and sets the access keys.
    void TranslateAll();

    // Shows the items of a menu by the module rule and what is built.
    void ApplyMenuRule(QMenu* menu, int module);

    // While a print preview is open the window refuses to close (message 13).
    void SetPrintPreviewOpen(bool open) { m_previewOpen = open; }
    bool PrintPreviewOpen() const { return m_previewOpen; }

    QMenu* FileMenu() const { return m_popFile; }
    QMenu* EditMenu() const { return m_popEdit; }
    QMenu* SearchMenu() const { return m_popSearch; }
    QMenu* ExtraMenu() const { return m_popExtra; }
    QMenu* SelectionsMenu() const { return m_popSel; }
    QMenu* HelpMenu() const { return m_popHelp; }
    QWidget* ExplorerPanel() const { return m_explorer; }
    TExplorer* Explorer() const { return m_explorerWidget; }
    QTimer* ReminderTimer() const { return m_reminderTimer; }

    // Work of later features (each empty until it lands).
    std::function<void()> reminderTick;          // asks the reminder window about due appointments
    // The keyboard state at the end; tests stand in for a held Shift key.
    std::function<Qt::KeyboardModifiers()> keyboardModifiers;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // mainwindow.cpp: creation and show
    void CreationSteps();
    void BuildWindow();
    QWidget* BuildTopBand();
    QWidget* BuildCardPage();
    void LoadImageLists();
    void InstallRecordHooks();
    void InstallExplorer();
    // Unbinds the explorer and the data source, then frees the open administration.
    void FreeAdministration();
    void DrawRecordIcon(int icon);
    bool OpenDefaultAdministration();
    void FailStart(int status);
    void Progress(const QString& text);
    void CloseSplash();

    // mainwindow_menus.cpp: tool bar, button bar, menus and keyboard commands
    void BuildToolBar(QWidget* band);
    void BuildButtonBar();
    void BuildMenus();
    void BuildActions();
    QMenu* BuildMenu(const QList<MenuItemDef>& items, const QString& name);
    void PopupMenu(QToolButton* button, QMenu* menu, int offset = 0);
    void OnMenuAboutToShow(QMenu* menu);
    void UpdateExplorerCommands();
    // Open, the explorer fills the window in place of the page book; narrow, it docks right.
    void ShowExplorerOpen(bool open);
    QAction* Command(const char* name) const;
    void ConnectMenuCommands();
    void ApplyModuleToolbar(int module);
    void SetAccelerators();
    void SetLookOutPageVisible(QWidget* page, bool visible);
    void PressModuleButton(QToolButton* button, bool pressed);
    void RefreshButtonBar();
    void OnHelp();
    void OnCharacterMap();
    void ShowIndexName();
    QIcon ToolIcon(int index) const;

    // mainwindow_modules.cpp: the module switch
    void EnterContacts(int previous);
    void EnterProducts(int previous);
    void EnterDocuments(int documentKind);
    void LocateRecord(qint64 id);

    // mainwindow_close.cpp: closing and the end
    void CloseSteps();
    void EndSteps();
    void OnReminderTimer();

    TStartupServices m_services;
    StartupSettings m_settings;
    Tdm* m_dm = nullptr;
    std::unique_ptr<Tdm> m_ownDm;
    std::unique_ptr<TAdministration> m_admin;
    QPointer<TDataSource> m_dataSource;
    int m_module = 0;
    qint64 m_lastContact = 0;
    RunOutcome m_outcome = RunOutcome::Running;
    bool m_previewOpen = false;
    bool m_closed = false;
    bool m_ended = false;
    int m_lastIcon = -1;

    QList<QIcon> m_toolIcons;    // bmp/IL265.bmp
    QList<QIcon> m_smallIcons;   // bmp/ILsmall.bmp
    QList<QIcon> m_contactIcons; // bmp/conIcons.gmp

    QLabel* m_image1 = nullptr;
    QWidget* m_toolbar = nullptr;
    QToolButton* m_btnFile = nullptr;
    QToolButton* m_btnEdit = nullptr;
    QToolButton* m_btnSearch = nullptr;
    QToolButton* m_btnExtra = nullptr;
    QToolButton* m_btnSelections = nullptr;
    QToolButton* m_btnHelp = nullptr;
    QMenu* m_popFile = nullptr;
    QMenu* m_popEdit = nullptr;
    QMenu* m_popSearch = nullptr;
    QMenu* m_popExtra = nullptr;
    QMenu* m_popSel = nullptr;
    QMenu* m_popHelp = nullptr;
    QAction* m_actHelp = nullptr;
    QAction* m_actInfo = nullptr;

    QToolBox* m_lookOut = nullptr;
    QList<QWidget*> m_lookOutPages;      // in their order, also the hidden ones
    QStringList m_lookOutCaptions;       // Dutch sources
    QWidget* m_pageMenu = nullptr;
    QWidget* m_pageLayout = nullptr;
    QWidget* m_pageSelections = nullptr;
    QWidget* m_pageDesign = nullptr;
    QToolButton* m_btnContacts = nullptr;
    QToolButton* m_btnCalendar = nullptr;
    QToolButton* m_btnProducts = nullptr;
    QToolButton* m_btnDocuments = nullptr;
    QToolButton* m_btnLists = nullptr;
    QToolButton* m_btnEmails = nullptr;
    QToolButton* m_btnWord = nullptr;
    QToolButton* m_btnDesignClose = nullptr;

    QStackedWidget* m_notebook = nullptr;
    QWidget* m_titleBar = nullptr;
    QLabel* m_labMainCap = nullptr;
    QLabel* m_imaPersIco = nullptr;
    QScrollArea* m_scrollBox = nullptr;
    QWidget* m_explorer = nullptr;
    QVBoxLayout* m_explorerLayout = nullptr;
    class QHBoxLayout* m_body = nullptr;   // button bar, page book, explorer, designer
    TExplorer* m_explorerWidget = nullptr;
    QWidget* m_screenDesigner = nullptr;
    QTimer* m_reminderTimer = nullptr;
};
