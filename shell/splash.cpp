#include "shell/splash.h"

#include "foundation/homefolder.h"
#include "foundation/translate.h"
#include "foundation/version.h"
#include "shell/startupsettings.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QVBoxLayout>

namespace {

TfrmSplash::UrlOpener& Opener()
{
    static TfrmSplash::UrlOpener opener;
    return opener;
}

QLabel* LinkLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setText(QStringLiteral("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped()));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setFocusPolicy(Qt::StrongFocus);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

} // namespace

TfrmSplash::TfrmSplash(QWidget* parent, bool infoMode) : QDialog(parent), m_infoMode(infoMode)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(ApplicationTitle());
    QFont f = font();
    f.setFamily(QStringLiteral("Liberation Sans"));
    setFont(f);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("panelSplash"));
    panel->setFrameShape(QFrame::Box);
    panel->setStyleSheet(QStringLiteral("#panelSplash { background: white; border: 1px solid #7a8a99; }"));
    outer->addWidget(panel);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(6);

    m_picture = new QLabel(panel);
    m_picture->setAlignment(Qt::AlignCenter);
    const QString bmp = ProgramFolder() + QStringLiteral("bmp/");
    for (const char* name : {"splash.bmp", "logo.bmp"}) {
        const QPixmap picture(bmp + QString::fromLatin1(name));
        if (!picture.isNull()) {
            m_picture->setPixmap(picture);
            break;
        }
    }
    m_picture->setVisible(m_picture->pixmap().isNull() == false);
    layout->addWidget(m_picture);

    m_title = new QLabel(ApplicationTitle(), panel);
    QFont titleFont = f;
    titleFont.setPointSize(f.pointSize() + 6);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_title);

    m_version = new QLabel(QStringLiteral("Version: ") + ProgramVersion(), panel);
    m_version->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_version);

    m_progress = new QLabel(panel);
    m_progress->setAlignment(Qt::AlignCenter);
    m_progress->setMinimumWidth(320);
    layout->addWidget(m_progress);

    m_help = LinkLabel(Translate(NL("Helpdesk: de hulppagina's openen")), panel);
    m_folder = LinkLabel(Translate(NL("De programmamap openen")), panel);
    for (QLabel* link : {m_help, m_folder}) {
        link->setAlignment(Qt::AlignCenter);
        link->setVisible(m_infoMode);
        layout->addWidget(link);
    }
    connect(m_help, &QLabel::linkActivated, this, [] {
        const UrlOpener& open = Opener();
        open ? open(HelpUrl()) : QDesktopServices::openUrl(HelpUrl());
    });
    connect(m_folder, &QLabel::linkActivated, this, [] {
        const UrlOpener& open = Opener();
        open ? open(ProgramFolderUrl()) : QDesktopServices::openUrl(ProgramFolderUrl());
    });

    // In the Info window a click on the panel, the picture or the title closes it.
    panel->installEventFilter(this);
    m_picture->installEventFilter(this);
    m_title->installEventFilter(this);

    if (!m_infoMode)
        SetProgress(Translate(NL("Opstarten van")) + QLatin1Char(' ') + ApplicationTitle());
    else
        m_progress->hide();
    adjustSize();
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void TfrmSplash::SetProgress(const QString& text)
{
    m_progress->setText(text);
    if (isVisible())
        m_progress->repaint();
}

QString TfrmSplash::Progress() const
{
    return m_progress->text();
}

void TfrmSplash::ShowInfo(QWidget* parent)
{
    TfrmSplash info(parent, true);
    info.exec();
}

QUrl TfrmSplash::HelpUrl()
{
    const QString folder = ProgramFolder() + QStringLiteral("help/");
    const QString index = folder + QStringLiteral("index.html");
    return QUrl::fromLocalFile(QFileInfo::exists(index) ? index : folder);
}

QUrl TfrmSplash::ProgramFolderUrl()
{
    return QUrl::fromLocalFile(ProgramFolder());
}

void TfrmSplash::SetUrlOpener(UrlOpener opener)
{
    Opener() = std::move(opener);
}

bool TfrmSplash::ClosesOn(const QMouseEvent* event) const
{
    if (!m_infoMode || event->button() != Qt::LeftButton)
        return false;
    // A click on a link opens it; the press a label leaves unused must not close the window.
    const QWidget* hit = QApplication::widgetAt(event->globalPosition().toPoint());
    return hit != m_help && hit != m_folder;
}

void TfrmSplash::mousePressEvent(QMouseEvent* event)
{
    if (ClosesOn(event)) {
        accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

bool TfrmSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && ClosesOn(static_cast<QMouseEvent*>(event))) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
