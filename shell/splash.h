#pragma once

#include <QDialog>

class QLabel;

// The splash window of the start (frameless, centred): the logo, "Opstarten van " + title,
// the version and a progress line. In its Info mode (help menu) it is modal and shows the two
// help-desk links; a click on the panel or the title closes it.
class TfrmSplash : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* parent = nullptr, bool infoMode = false);

    // Shows the text at once (repaints before returning).
    void SetProgress(const QString& text);
    QString Progress() const;

    // Modal Info window over parent.
    static void ShowInfo(QWidget* parent);

    QLabel* TitleLabel() const { return m_title; }
    QLabel* VersionLabel() const { return m_version; }
    QLabel* HelpLabel() const { return m_help; }
    QLabel* FolderLabel() const { return m_folder; }
    bool InfoMode() const { return m_infoMode; }

    // Where the help-desk links lead: the home folder's help/ pages and the home folder.
    static QString HelpUrl();
    static QString ProgramFolderUrl();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_picture = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_version = nullptr;
    QLabel* m_progress = nullptr;
    QLabel* m_help = nullptr;
    QLabel* m_folder = nullptr;
    bool m_infoMode = false;
};
