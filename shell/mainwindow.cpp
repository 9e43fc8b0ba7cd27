#include "shell/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>
#include <QToolBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "cards/imagelist.h"
#include "data/administration.h"
#include "data/dm.h"
#include "data/modules.h"
#include "data/recordrules.h"
#include "foundation/files.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/translate.h"
#include "shell/explorer.h"
#include "shell/messagesink.h"
#include "shell/pictures.h"

namespace {

constexpr int kTitleBarHeight = 21;
constexpr int kDefaultRecordIcon = 13;

} // namespace

TfrmMain::TfrmMain(TStartupServices services, Tdm* dm, QWidget* parent)
    : QMainWindow(parent)
    , m_services(std::move(services))
    , m_dm(dm)
{
    setObjectName(QStringLiteral("frmMain"));
    keyboardModifiers = [] { return QGuiApplication::queryKeyboardModifiers(); };
    BuildWindow();
    CreationSteps();
}

TfrmMain::~TfrmMain()
{
    EndSteps();
}

void TfrmMain::CreationSteps()
{
    SetRunPhase(0);
    m_settings = ReadStartupSettings(OvraIni());
    SetLanguageIndex(m_settings.languageIndex);
    if (m_settings.placement.maximised) {
        setWindowState(Qt::WindowMaximized);
    } else {
        // A placement from another screen is kept inside a sensible size.
        const QRect bounds = m_settings.placement.Bounds();
        resize(bounds.size().expandedTo(minimumSize()));
        move(bounds.topLeft());
    }

    // An unclean previous run gets the repair before any table is opened.
    if (m_settings.HasDefaultAdministration()) {
        if (!WasCleanExit() && m_services.repair) {
            QStringList names;
            for (const QString& line : LoadExitMarker()) {
                if (!line.trimmed().isEmpty() && line != QLatin1String("OK") && !names.contains(line))
                    names.append(line);
            }
            if (!names.contains(m_settings.defaultAdministration))
                names.append(m_settings.defaultAdministration);
            m_services.repair(names);
        }
        MarkRunStarted(m_settings.defaultAdministration);
    }

    if (!m_dm) {
        m_ownDm = std::make_unique<Tdm>();
        m_dm = m_ownDm.get();
    }
    InstallRecordHooks();
    LoadImageLists();
    DrawRecordIcon(kDefaultRecordIcon);
    m_notebook->setCurrentIndex(0);
    const QColor panel = m_settings.CardPanelColor();
    if (panel.isValid()) {
        QPalette palette = m_scrollBox->widget()->palette();
        palette.setColor(QPalette::Window, panel);
        m_scrollBox->widget()->setPalette(palette);
    }
    m_reminderTimer->setInterval(m_settings.reminderIntervalMs);
    UpdateCaption();
    UpdateCardCaption();
}

void TfrmMain::BuildWindow()
{
    setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    resize(922, 605);
    setMinimumSize(758, 390);
    setWindowTitle(ApplicationTitle());

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("panelMain"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(BuildTopBand());

    auto* body = m_body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    column->addLayout(body, 1);

    m_lookOut = new QToolBox(central);
    m_lookOut->setObjectName(QStringLiteral("LookOut1"));
    m_lookOut->setFixedWidth(104);
    m_lookOut->setAutoFillBackground(true);
    QPalette bar = m_lookOut->palette();
    bar.setColor(QPalette::Window, QColor(0xDC, 0xE3, 0xEB));
    m_lookOut->setPalette(bar);
    body->addWidget(m_lookOut);

    m_notebook = new QStackedWidget(central);
    m_notebook->setObjectName(QStringLiteral("NotebookMain"));
    m_notebook->addWidget(BuildCardPage());
    auto addHost = [this](const char* page, const char* host) {
        auto* w = new QWidget(m_notebook);
        w->setObjectName(QString::fromLatin1(page));
        auto* layout = new QVBoxLayout(w);
        layout->setContentsMargins(0, 0, 0, 0);
        if (host) {
            auto* panel = new QWidget(w);
            panel->setObjectName(QString::fromLatin1(host));
            new QVBoxLayout(panel);
            layout->addWidget(panel);
        }
        m_notebook->addWidget(w);
    };
    addHost("RapportLayout", "PanelRapDesigner");
    addHost("Facturen", nullptr);   // the document page hosts the document view
    addHost("Calender", nullptr);   // the calendar window lives here while module 5 is current
    body->addWidget(m_notebook, 1);

    // The explorer grid docks here; the card designer's panel beside it.
    m_explorer = new QWidget(central);
    m_explorer->setObjectName(QStringLiteral("panel_explorer"));
    m_explorerLayout = new QVBoxLayout(m_explorer);
    m_explorerLayout->setContentsMargins(0, 0, 0, 0);
    m_explorerLayout->setSpacing(0);
    // The explorer sets its own width: 194 narrow, the whole window open.
    m_explorerWidget = new TExplorer(m_explorer);
    m_explorerLayout->addWidget(m_explorerWidget);
    m_explorer->setFixedWidth(TExplorer::kNarrowWidth);
    body->addWidget(m_explorer);
    m_screenDesigner = new QWidget(central);
    m_screenDesigner->setObjectName(QStringLiteral("PanelScreenDesigner"));
    new QVBoxLayout(m_screenDesigner);
    m_screenDesigner->hide();
    body->addWidget(m_screenDesigner);

    setCentralWidget(central);

    m_reminderTimer = new QTimer(this);
    m_reminderTimer->setObjectName(QStringLiteral("Timer1"));
    connect(m_reminderTimer, &QTimer::timeout, this, &TfrmMain::OnReminderTimer);

    BuildMenus();
    BuildButtonBar();
    BuildActions();
    ConnectMenuCommands();
    InstallExplorer();
}

QWidget* TfrmMain::BuildTopBand()
{
    auto* band = new QWidget(this);
    band->setObjectName(QStringLiteral("panelTop"));
    band->setFixedHeight(56);
    band->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(band);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(8);
    m_image1 = new QLabel(band);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setFixedSize(48, 48);
    m_image1->setScaledContents(true);
    m_image1->installEventFilter(this);
    row->addWidget(m_image1);
    BuildToolBar(band);
    row->addWidget(m_toolbar);
    row->addStretch(1);
    return band;
}

QWidget* TfrmMain::BuildCardPage()
{
    auto* page = new QWidget(m_notebook);
    page->setObjectName(QStringLiteral("BasisScherm"));
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_titleBar = new QWidget(page);
    m_titleBar->setObjectName(QStringLiteral("panelMainTitelbalk"));
    m_titleBar->setFixedHeight(kTitleBarHeight);
    m_titleBar->setAutoFillBackground(true);
    QPalette bar = m_titleBar->palette();
    bar.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    bar.setColor(QPalette::WindowText, Qt::white);
    m_titleBar->setPalette(bar);
    auto* row = new QHBoxLayout(m_titleBar);
    row->setContentsMargins(4, 0, 4, 0);
    row->setSpacing(6);
    m_imaPersIco = new QLabel(m_titleBar);
    m_imaPersIco->setObjectName(QStringLiteral("imaPersIco"));
    m_imaPersIco->setFixedSize(16, 16);
    row->addWidget(m_imaPersIco);
    m_labMainCap = new QLabel(m_titleBar);
    m_labMainCap->setObjectName(QStringLiteral("labMainCap"));
    QFont bold = m_labMainCap->font();
    bold.setBold(true);
    m_labMainCap->setFont(bold);
    row->addWidget(m_labMainCap, 1);
    column->addWidget(m_titleBar);

    m_scrollBox = new QScrollArea(page);
    m_scrollBox->setObjectName(QStringLiteral("ScrollBoxKla"));
    m_scrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scrollBox->setFrameShape(QFrame::NoFrame);
    auto* card = new QWidget;
    card->setObjectName(QStringLiteral("ScrollBoxKlaContents"));
    card->setAutoFillBackground(true);
    m_scrollBox->setWidget(card);
    m_scrollBox->setWidgetResizable(true);
    column->addWidget(m_scrollBox, 1);
    return page;
}

void TfrmMain::LoadImageLists()
{
    m_toolIcons = LoadImageList(PictureFile(QStringLiteral("IL265.bmp")), 24);
    m_smallIcons = LoadImageList(PictureFile(QStringLiteral("ILsmall.bmp")), 16);
    m_contactIcons = LoadImageList(PictureFile(QStringLiteral("conIcons.gmp")), 16);
    ApplyModuleToolbar(1);
    auto setIcon = [this](QToolButton* button, int index) {
        if (button)
            button->setIcon(ToolIcon(index));
    };
    setIcon(m_btnContacts, 9);
    setIcon(m_btnCalendar, 10);
    setIcon(m_btnProducts, 11);
    setIcon(m_btnDocuments, 12);
    setIcon(m_btnLists, 24);
    setIcon(m_btnEmails, 14);
    setIcon(m_btnWord, 45);
    setIcon(m_btnDesignClose, 37);
}

QIcon TfrmMain::ToolIcon(int index) const
{
    return index >= 0 && index < m_toolIcons.size() ? m_toolIcons.at(index) : QIcon();
}

void TfrmMain::InstallRecordHooks()
{
    TRecordHooks& hooks = m_dm->Rules().Hooks();
    hooks.drawRecordIcon = [this](int icon) { DrawRecordIcon(icon); };
    hooks.refreshRecordCounter = [this] {
        UpdateCardCaption();
        m_explorerWidget->UpdateHeading();
    };
}

void TfrmMain::DrawRecordIcon(int icon)
{
    QIcon picture;
    if (icon > 0 && icon < m_contactIcons.size())
        picture = m_contactIcons.at(icon);
    else if (kDefaultRecordIcon < m_smallIcons.size())
        picture = m_smallIcons.at(kDefaultRecordIcon);
    m_imaPersIco->setPixmap(picture.pixmap(16, 16));
    m_lastIcon = icon;
}

void TfrmMain::Progress(const QString& text)
{
    if (m_services.progress)
        m_services.progress(text);
}

void TfrmMain::CloseSplash()
{
    if (m_services.closeSplash)
        m_services.closeSplash();
}

bool TfrmMain::StartUp()
{
    bool running = false;
    if (m_settings.HasDefaultAdministration()) {
        running = OpenDefaultAdministration();
    } else {
        CloseSplash();
        running = m_services.firstRun && m_services.firstRun(*this) && m_admin && m_admin->Status() == asOpen;
        if (running) {
            SetRunPhase(1);
        } else {
            m_outcome = RunOutcome::FirstRunCancelled;
            SetRunPhase(3);
            FreeAdministration();
            CloseSteps();
            close();
        }
    }
    CloseSplash();
    if (!running)
        return false;
    if (m_settings.reminderOn && m_reminderTimer->interval() > 0)
        m_reminderTimer->start();
    if (LanguageIndex() != 1)
        TranslateAll();
    else
        SetAccelerators();
    return true;
}

bool TfrmMain::OpenDefaultAdministration()
{
    const QString name = m_settings.defaultAdministration;
    const QString folder = DataFolder() + name + QLatin1Char('/');
    Progress(NL("Laden van database"));
    const QFileInfo info(folder);
    if (info.isDir() && !info.isWritable()) {
        SendMessage({}, QStringLiteral("directory: \"") + DataFolder() + name + QStringLiteral("/\"  is READ-ONLY"));
    }
    int status = OpenAdministration(name);
    if (status == asOpen)
        Progress(NL("Laden van interface"));
    if (status == asFolderMissing && !FolderExists(DataFolder() + QStringLiteral("standaard/"))) {
        CloseSplash();
        if (m_services.firstRun && m_services.firstRun(*this) && m_admin)
            status = m_admin->Status();
    }
    if (status != asOpen) {
        FailStart(status);
        return false;
    }
    SetRunPhase(1);
    return true;
}

void TfrmMain::FailStart(int status)
{
    QString reason;
    switch (status) {
    case asFolderMissing: reason = QStringLiteral("Administration not found"); break;
    case asTablesFailed: reason = QStringLiteral("Cannot open database"); break;
    case asPostFailed: reason = QStringLiteral("Corrupt Zip"); break;
    case asCalendarFailed: reason = QStringLiteral("Corrupt Calender"); break;
    case asProfilesFailed:
        reason = QStringLiteral("Corrupt Profile");
        DeleteFileIfExists(DataFolder() + QStringLiteral("profiles.val"));
        break;
    case asBindingFailed: reason = QStringLiteral("Active database error"); break;
    case asScreenMissing: reason = QStringLiteral("Misssing screen lay-out"); break;
    default: break;
    }
    SetRunPhase(3);
    m_outcome = RunOutcome::StartFailed;
    CloseSplash();
    const QString text = FillPlaceholders(
        Translate(NL("Een van de bestanden die nodig zijn voor opstarten is beschadigd of onbreekt. "
                     "%s kan niet opgestart worden! (")),
        {ApplicationTitle()});
    ShowNotice(text + reason + QLatin1Char(')'), false);
    MarkFailedStart();
    FreeAdministration();
    CloseSteps();
    close();
}

void TfrmMain::UpdateCaption()
{
    if (m_admin && m_admin->Status() == asOpen)
        setWindowTitle(MainWindowCaption(m_admin->Name(), m_admin->VatInclusive()));
    else
        setWindowTitle(ApplicationTitle());
}

void TfrmMain::TranslateAll()
{
    TranslateWindow(this);
    for (QMenu* menu : {m_popFile, m_popEdit, m_popSearch, m_popExtra, m_popSel, m_popHelp})
        TranslateMenu(menu);
    // Texts that follow the module are set again from their sources.
    ApplyModuleToolbar(m_module > 0 ? m_module : 1);
    for (int i = 0; i < m_lookOut->count(); ++i) {
        const int at = m_lookOutPages.indexOf(m_lookOut->widget(i));
        if (at >= 0)
            m_lookOut->setItemText(i, Translate(m_lookOutCaptions.at(at)));
    }
    UpdateCaption();
    UpdateCardCaption();
    SetAccelerators();
}
