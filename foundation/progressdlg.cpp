#include "foundation/progressdlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include "foundation/msgdlg.h"

TdlgProg* TdlgProg::Instance()
{
    // Never parented: it outlives every window that uses it.
    static QPointer<TdlgProg> instance;
    if (!instance)
        instance = new TdlgProg;
    return instance;
}

TdlgProg::TdlgProg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgProg"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(364, 58);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    QPalette grey = m_bar->palette();
    grey.setColor(QPalette::Highlight, QColor(0x80, 0x80, 0x80));
    m_bar->setPalette(grey);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    SetCaption(NL("Opmaken van E-mails"));
}

void TdlgProg::SetCaption(const QString& caption, bool translate)
{
    setWindowTitle(translate ? Translate(caption) : caption);
}

void TdlgProg::SetMaximum(int maximum)
{
    m_bar->setMaximum(std::max(0, maximum));
}

void TdlgProg::SetPosition(int position)
{
    m_bar->setValue(std::clamp(position, m_bar->minimum(), m_bar->maximum()));
}

void TdlgProg::StepIt()
{
    SetPosition(m_bar->value() + 1);
}

int TdlgProg::Position() const
{
    return m_bar->value();
}

int TdlgProg::Maximum() const
{
    return m_bar->maximum();
}

void TdlgProg::showEvent(QShowEvent* event)
{
    m_stop = false;
    if (QScreen* screen = QApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
}

void TdlgProg::closeEvent(QCloseEvent* event)
{
    // Not QDialog's handling: that would ask through reject().
    m_stop = true;
    event->accept();
    hide();
}

void TdlgProg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        AskToStop();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TdlgProg::reject()
{
    // Esc ends up here on some paths: it asks instead of closing.
    AskToStop();
}

void TdlgProg::AskToStop()
{
    if (Ask(NL("Stoppen?"), true, NL("Ja"), NL("Nee")) == AskFirst)
        m_stop = true;
}

ProgressRun::ProgressRun(const QString& caption, int maximum, bool translate)
    : m_dialog(TdlgProg::Instance())
{
    m_dialog->SetCaption(caption, translate);
    m_dialog->SetMaximum(maximum);
    m_dialog->SetPosition(0);
    m_dialog->show();
    QCoreApplication::processEvents();
}

ProgressRun::~ProgressRun()
{
    m_dialog->hide();
}

bool ProgressRun::Step()
{
    m_dialog->StepIt();
    return KeepGoing();
}

bool ProgressRun::KeepGoing()
{
    QCoreApplication::processEvents();
    return !m_dialog->StopRequested();
}

bool ProgressRun::Stopped() const
{
    return m_dialog->StopRequested();
}
