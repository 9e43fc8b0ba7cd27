// Closing the window and the end of the program; the reminder timer.

#include "shell/mainwindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QStackedWidget>
#include <QTimer>

#include "data/administration.h"
#include "data/dm.h"
#include "data/recordrules.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"
#include "shell/exitbackup.h"

void TfrmMain::closeEvent(QCloseEvent* event)
{
    // A preview holds pages of the open administration: the user closes it first, and the run
    // goes on as it was.
    if (m_previewOpen && !m_closed) {
        ShowNotice(NL("Er is printvoorbeeld open. Sluit dit eerst om verder te gaan."));
        event->ignore();
        return;
    }
    CloseSteps();
    event->accept();
}

void TfrmMain::CloseSteps()
{
    if (!m_closed) {
        SetRunPhase(3);
        m_closed = true;
        if (m_module == 7) {
            if (auto& save = m_dm->Rules().Hooks().saveEditedDocument)
                save();
        }
        if (m_admin) {
            if (m_admin->Status() == asOpen)
                LeaveModule(100, -1, true);
            m_notebook->setCurrentIndex(0);
            // The card saves its state here once it exists.
            FreeAdministration();
        }
        const bool maximised = isMaximized();
        WriteSetting(OvraIni(), QStringLiteral("MAINPOS"),
                     FormatMainPos(maximised, maximised ? normalGeometry() : geometry()));
        m_reminderTimer->stop();
    }
}

void TfrmMain::EndSteps()
{
    if (m_ended)
        return;
    m_ended = true;
    // Destroyed without a close request (the program's end): the close steps still run.
    CloseSteps();
    TRecordHooks& hooks = m_dm->Rules().Hooks();
    hooks.drawRecordIcon = nullptr;
    hooks.refreshRecordCounter = nullptr;

    QDir temp(ProgramFolder() + QStringLiteral("temp/"));
    if (temp.exists())
        temp.removeRecursively();

    const bool shift = keyboardModifiers && keyboardModifiers().testFlag(Qt::ShiftModifier);
    if (ShouldMakeExitBackups(m_outcome, shift)) {
        const ExitBackupOptions options = ExitBackupOptionsFromSettings();
        if (options.administrations || options.templates)
            MakeExitBackups(options);
    }
    if (ShouldMarkCleanExit(m_outcome))
        MarkCleanExit();
    m_ownDm.reset();
}

void TfrmMain::OnReminderTimer()
{
    if (m_closed || (m_module != 1 && m_module != 6 && m_module != 7))
        return;
    // The reminder window asks about due appointments once it exists.
    if (reminderTick)
        reminderTick();
}
