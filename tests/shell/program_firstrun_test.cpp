// The first start on a fresh home folder through the program's own start path: the splash's
// services, the wizard driven with the keyboard, the administration made and opened.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QTest>

#include "common/testfolder.h"
#include "data/administration.h"
#include "data/dm.h"
#include "foundation/dialogdriver.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"
#include "shell/exitmarker.h"
#include "shell/firstrun.h"
#include "shell/mainwindow.h"
#include "shell/program.h"

namespace {

class ProgramFirstRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetProgramFolder(tmp.path() + QStringLiteral("home/"));
        ASSERT_TRUE(EnsureHomeFolder());
        LoadTranslations(ProgramFolder() + QStringLiteral("dll/Strings.DAT"));
        SetLanguageIndex(1);
        SetMessageHook([this](const MessageRequest& request) {
            messages.append(request.text);
            return MessageAnswer{AskFirst, {}, false};
        });
    }
    void TearDown() override
    {
        SetMessageHook(nullptr);
        ResetTranslations();
        SetLanguageIndex(1);
        SetProgramFolder(QString());
    }

    // Presses keys where the focus is, on every page, while the wizard shows.
    void DriveWizard(Qt::Key key)
    {
        WhenModal([this, key](QWidget* modal) {
            auto* wizard = qobject_cast<TfrmFirstRun*>(modal);
            ASSERT_TRUE(wizard) << "the first run shows the wizard";
            ASSERT_TRUE(QTest::qWaitForWindowActive(wizard));
            for (int i = 0; i < 8 && wizard->isVisible(); ++i) {
                QWidget* focus = QApplication::focusWidget();
                ASSERT_TRUE(focus && wizard->isAncestorOf(focus)) << "no focus inside the wizard";
                QTest::keyClick(focus, key);
                ++presses;
            }
        });
    }

    QStringList Archives() const
    {
        QStringList found;
        QDirIterator it(ProgramFolder() + QStringLiteral("backup"), {QStringLiteral("*.zip")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            found.append(it.next());
        return found;
    }

    TestFolder tmp;
    QStringList messages;
    int presses = 0;
};

} // namespace

TEST_F(ProgramFirstRunTest, EnterOnEveryPageEndsInAnOpenAdministration)
{
    ModalWatchdog watchdog(20000);
    DriveWizard(Qt::Key_Return);
    {
        TfrmMain window(ProgramStartupServices());
        ASSERT_TRUE(window.StartUp()) << messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(presses, 5) << "one Enter per page";
        ASSERT_NE(window.Administration(), nullptr);
        const QString name = window.Administration()->Name();
        EXPECT_EQ(name, Translate(QStringLiteral("Mijn bedrijf")));
        EXPECT_EQ(window.Administration()->Status(), asOpen);
        EXPECT_EQ(window.CurrentModule(), 1);
        EXPECT_EQ(RunPhase(), 1);
        EXPECT_EQ(ReadSetting(OvraIni(), QStringLiteral("DEFADMIN")), name);
        EXPECT_EQ(window.windowTitle(), MainWindowCaption(name, false));
        EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("labMainCap"))->text().startsWith(
            Translate(QStringLiteral("CONTACTEN")).toUpper() + QStringLiteral(" - ")))
            << window.findChild<QLabel*>(QStringLiteral("labMainCap"))->text().toStdString() << " " << LanguageIndex();
        EXPECT_EQ(LoadExitMarker(), QStringList{name});
    }
    // The end of that first run backs the new administration up and marks a clean exit.
    EXPECT_FALSE(Archives().isEmpty());
    EXPECT_EQ(LoadExitMarker(), QStringList{QStringLiteral("OK")});
    // The next start opens it without asking.
    TfrmMain again(ProgramStartupServices());
    ASSERT_TRUE(again.StartUp());
    EXPECT_EQ(again.Administration()->Name(), Translate(QStringLiteral("Mijn bedrijf")));
    again.keyboardModifiers = [] { return Qt::KeyboardModifiers(Qt::ShiftModifier); };
}

TEST_F(ProgramFirstRunTest, CancelledFirstRunEndsWithoutBackups)
{
    ModalWatchdog watchdog(20000);
    DriveWizard(Qt::Key_Escape);
    {
        TfrmMain window(ProgramStartupServices());
        EXPECT_FALSE(window.StartUp());
        EXPECT_EQ(window.Outcome(), RunOutcome::FirstRunCancelled);
        EXPECT_EQ(window.Administration(), nullptr);
    }
    EXPECT_TRUE(Archives().isEmpty()) << Archives().join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(QDir(ProgramFolder() + QStringLiteral("backup/NIL999")).exists());
    EXPECT_TRUE(QDir(DataFolder()).entryList({QStringLiteral("*")}, QDir::Dirs | QDir::NoDotAndDotDot).isEmpty())
        << "no administration was made";
}
