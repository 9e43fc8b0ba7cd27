#pragma once

#include <QDialog>

#include "foundation/translate.h"

class QProgressBar;

// The progress window of long loops (mass e-mail, merges, imports, rebuilding selections).
// One instance, created on first use and reused. While it is shown the rest of the program
// takes no input, so a loop cannot be started again halfway; the loop processes pending
// events after every record and ends when StopRequested() says so.
class TdlgProg : public QDialog
{
    Q_OBJECT
public:
    static TdlgProg* Instance();

    // Translated; "Opmaken van E-mails" until a caller sets its own.
    void SetCaption(const QString& caption, bool translate = true);
    void SetMaximum(int maximum);
    void SetPosition(int position);
    void StepIt();
    int Position() const;
    int Maximum() const;

    // Set by the close box, and by Esc when the user confirms; cleared on showing.
    bool StopRequested() const { return m_stop; }
    void RequestStop() { m_stop = true; }

    QProgressBar* Bar() const { return m_bar; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    explicit TdlgProg(QWidget* parent = nullptr);
    void AskToStop();

    QProgressBar* m_bar = nullptr;
    bool m_stop = false;
};

// Runs a loop under the progress window: shows it on creation, hides it on destruction.
//
//     ProgressRun progress(NL("Selectie opbouwen"), rows.size());
//     for (const auto& row : rows) {
//         if (!progress.Step())
//             break;
//         ...
//     }
class ProgressRun
{
public:
    ProgressRun(const QString& caption, int maximum, bool translate = true);
    ~ProgressRun();
    ProgressRun(const ProgressRun&) = delete;
    ProgressRun& operator=(const ProgressRun&) = delete;

    // Advances one step, lets the window handle pending input and tells whether to go on.
    bool Step();
    // Lets pending input be handled without advancing; false when the user asked to stop.
    bool KeepGoing();
    bool Stopped() const;

private:
    TdlgProg* m_dialog;
};
