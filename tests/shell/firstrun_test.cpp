#include <gtest/gtest.h>

#include "common/testfolder.h"
#include "data/administration.h"
#include "data/dm.h"
#include "foundation/dialogdriver.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"
#include "shell/firstrun.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

// A fresh home folder with the shipped translations, as at a first start.
class FirstRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetProgramFolder(tmp.path() + QStringLiteral("home/"));
        ASSERT_TRUE(EnsureHomeFolder());
        ResetTranslations();
        LoadTranslations(ProgramFolder() + QStringLiteral("dll/Strings.DAT"));
        SetLanguageIndex(1);
        SetMessageHook([](const MessageRequest& request) {
            ADD_FAILURE() << "unexpected message: " << request.text.toStdString();
            return MessageAnswer{};
        });
    }
    void TearDown() override
    {
        SetMessageHook(nullptr);
        SetLanguageIndex(1);
        SetProgramFolder(QString());
    }

    // Presses a key where the keyboard focus is, as a user would; the wizard must have put it
    // on the page's first field.
    static void Press(TfrmFirstRun* wizard, Qt::Key key)
    {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_TRUE(focus && wizard->isAncestorOf(focus)) << "no focus inside the wizard";
        QTest::keyClick(focus, key);
    }

    // Runs the set-up with the steps done in the wizard once it shows.
    bool Run(std::function<void(TfrmFirstRun*)> steps, NewAdministration* request)
    {
        ModalWatchdog watchdog;
        WhenModal([steps](QWidget* modal) {
            auto* wizard = qobject_cast<TfrmFirstRun*>(modal);
            ASSERT_TRUE(wizard);
            ASSERT_TRUE(QTest::qWaitForWindowActive(wizard));
            steps(wizard);
        });
        return RunFirstRunSetup(nullptr, request);
    }

    TestFolder tmp;
};

} // namespace

TEST_F(FirstRunTest, EnterOnEveryPageGivesAWorkingAdministration)
{
    NewAdministration request;
    const QString language = DefaultFirstRunLanguage();
    QList<int> pages;
    const bool done = Run(
        [&pages](TfrmFirstRun* wizard) {
            for (int i = 0; i < 5 && wizard->isVisible(); ++i) {
                pages.append(wizard->currentId());
                Press(wizard, Qt::Key_Return);
            }
        },
        &request);
    ASSERT_TRUE(done);
    EXPECT_EQ(pages, (QList<int>{TfrmFirstRun::LanguagePage, TfrmFirstRun::NamePage, TfrmFirstRun::CompanyPage,
                                 TfrmFirstRun::OptionsPage, TfrmFirstRun::SummaryPage}));
    EXPECT_EQ(ReadSetting(OvraIni(), QStringLiteral("LANGUAGE")), language);
    EXPECT_EQ(LanguageIndex(), LanguageIndexOf(language));
    EXPECT_EQ(request.name, Translate(NL("Mijn bedrijf")));
    EXPECT_EQ(request.templateName, QStringLiteral("standaard"));
    EXPECT_FALSE(request.vatInclusive);
    EXPECT_FALSE(request.sampleData);
    QString error;
    EXPECT_TRUE(CheckNewAdministrationName(request.name, &error)) << error.toStdString();

    // The request makes an administration that opens.
    ASSERT_TRUE(CreateAdministrationFiles(request, &error)) << error.toStdString();
    Tdm dm;
    TAdministration admin(DataFolder() + request.name, request.name, &dm);
    EXPECT_EQ(admin.Status(), asOpen) << admin.StatusReason().toStdString();
}

TEST_F(FirstRunTest, TypedCompanyDataAndOptionsReachTheRequest)
{
    NewAdministration request;
    const bool done = Run(
        [](TfrmFirstRun* wizard) {
            Press(wizard, Qt::Key_Return);
            ASSERT_EQ(wizard->currentId(), TfrmFirstRun::NamePage);
            QTest::keyClick(wizard->NameEdit(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(wizard->NameEdit(), QStringLiteral("Bakkerij Peeters"));
            Press(wizard, Qt::Key_Return);
            ASSERT_EQ(wizard->currentId(), TfrmFirstRun::CompanyPage);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Peeters"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Bakkerij Peeters BV"));
            QTest::keyClicks(wizard->CompanyEdit(QStringLiteral("Zip")), QStringLiteral("9000"));
            Press(wizard, Qt::Key_Return);
            ASSERT_EQ(wizard->currentId(), TfrmFirstRun::OptionsPage);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);   // VAT inclusive
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);   // sample data
            Press(wizard, Qt::Key_Return);
            ASSERT_EQ(wizard->currentId(), TfrmFirstRun::SummaryPage);
            const QString summary = wizard->findChild<QLabel*>(QStringLiteral("labSummary"))->text();
            EXPECT_TRUE(summary.contains(QStringLiteral("Bakkerij Peeters BV Peeters"))) << summary.toStdString();
            Press(wizard, Qt::Key_Return);
        },
        &request);
    ASSERT_TRUE(done);
    EXPECT_EQ(request.name, QStringLiteral("Bakkerij Peeters"));
    EXPECT_EQ(request.profile.value(QStringLiteral("Name")), QStringLiteral("Peeters"));
    EXPECT_EQ(request.profile.value(QStringLiteral("company")), QStringLiteral("Bakkerij Peeters BV"));
    EXPECT_EQ(request.profile.value(QStringLiteral("Zip")), QStringLiteral("9000"));
    EXPECT_TRUE(request.vatInclusive);
    EXPECT_TRUE(request.sampleData);
}

TEST_F(FirstRunTest, ABadNameKeepsTheNamePageWithTheReason)
{
    QDir().mkpath(DataFolder() + QStringLiteral("Bestaand"));
    NewAdministration request;
    const bool done = Run(
        [](TfrmFirstRun* wizard) {
            Press(wizard, Qt::Key_Return);
            const struct
            {
                const char* typed;
                QString reason;
            } cases[] = {
                {"", NL("Kies naam en sjabloon voor administratie!")},
                {"a/b", NL("Deze naam kan geen mapnaam zijn: gebruik geen tekens als / \\ : * ? < > en begin of eindig niet met een punt.")},
                {"bestaand", NL("Er bestaat reeds een administratie met dezelfde naam!")},
            };
            for (const auto& c : cases) {
                SCOPED_TRACE(c.typed);
                wizard->NameEdit()->selectAll();
                QTest::keyClick(wizard->NameEdit(), Qt::Key_Delete);
                QTest::keyClicks(wizard->NameEdit(), QString::fromUtf8(c.typed));
                Press(wizard, Qt::Key_Return);
                EXPECT_EQ(wizard->currentId(), TfrmFirstRun::NamePage);
                EXPECT_TRUE(wizard->NameErrorLabel()->isVisible());
                EXPECT_EQ(wizard->NameErrorLabel()->text(), c.reason);
                EXPECT_EQ(QApplication::focusWidget(), wizard->NameEdit());
            }
            QTest::keyClicks(wizard->NameEdit(), QStringLiteral("2"));
            EXPECT_FALSE(wizard->NameErrorLabel()->isVisible());
            Press(wizard, Qt::Key_Return);
            EXPECT_EQ(wizard->currentId(), TfrmFirstRun::CompanyPage);
            Press(wizard, Qt::Key_Escape);
        },
        &request);
    EXPECT_FALSE(done);
}

TEST_F(FirstRunTest, CancelWritesNothingAndKeepsTheLanguage)
{
    SetLanguageIndex(2);
    NewAdministration request;
    request.name = QStringLiteral("onaangeroerd");
    const bool done = Run(
        [](TfrmFirstRun* wizard) {
            wizard->LanguageList()->setCurrentRow(3);   // German while it runs
            Press(wizard, Qt::Key_Escape);
        },
        &request);
    EXPECT_FALSE(done);
    EXPECT_EQ(request.name, QStringLiteral("onaangeroerd"));
    EXPECT_TRUE(ReadSetting(OvraIni(), QStringLiteral("LANGUAGE")).isEmpty());
    EXPECT_EQ(LanguageIndex(), 2);
}

TEST_F(FirstRunTest, EnglishChosenShowsEnglishAtOnceAndIsWritten)
{
    NewAdministration request;
    const bool done = Run(
        [](TfrmFirstRun* wizard) {
            Press(wizard, Qt::Key_Home);
            EXPECT_EQ(wizard->LanguageCode(), QStringLiteral("NL"));
            EXPECT_EQ(wizard->button(QWizard::NextButton)->text(), QStringLiteral("Volgende >"));
            Press(wizard, Qt::Key_Down);
            Press(wizard, Qt::Key_Down);
            EXPECT_EQ(wizard->LanguageCode(), QStringLiteral("UK"));
            // Retranslated at once, before the page is left.
            EXPECT_EQ(wizard->button(QWizard::NextButton)->text(), QStringLiteral("Next >"));
            EXPECT_EQ(wizard->button(QWizard::CancelButton)->text(), QStringLiteral("Cancel"));
            EXPECT_EQ(wizard->page(TfrmFirstRun::LanguagePage)->title(), QStringLiteral("Welcome"));
            EXPECT_EQ(wizard->NameEdit()->text(), QStringLiteral("My company"));
            EXPECT_EQ(wizard->VatInclusiveBox()->text(), QStringLiteral("This administration works VAT inclusive"));
            // Every caption names its own field.
            const struct
            {
                const char* column;
                const char* caption;
            } captions[] = {{"Name", "Name"}, {"company", "Company"}, {"Zip", "Postcode"}, {"vatnr", "VAT number"}};
            for (const auto& c : captions) {
                QLabel* label = nullptr;
                for (QLabel* l : wizard->findChildren<QLabel*>())
                    if (l->buddy() == wizard->CompanyEdit(QString::fromLatin1(c.column)))
                        label = l;
                ASSERT_TRUE(label) << c.column;
                EXPECT_EQ(label->text(), QString::fromLatin1(c.caption));
            }
            EXPECT_EQ(wizard->findChild<QLabel*>(QStringLiteral("labName"))->text(),
                      QStringLiteral("All data of a business is kept in an administration. Give it a name."));
            for (int i = 0; i < 5 && wizard->isVisible(); ++i)
                Press(wizard, Qt::Key_Return);
        },
        &request);
    ASSERT_TRUE(done);
    EXPECT_EQ(ReadSetting(OvraIni(), QStringLiteral("LANGUAGE")), QStringLiteral("UK"));
    EXPECT_EQ(LanguageIndex(), 3);
    EXPECT_EQ(request.name, QStringLiteral("My company"));
    // No currency was set yet: a new administration counts in euro.
    EXPECT_EQ(ReadSetting(OvraIni(), QStringLiteral("MUNT")), QStringLiteral("EUR"));
}

TEST_F(FirstRunTest, AnEarlierLanguageChoiceIsTheDefault)
{
    const struct
    {
        const char* setting;
        QString expected;
    } cases[] = {{"DE", QStringLiteral("DE")}, {"f", QStringLiteral("F")}, {"XX", QString()}, {"", QString()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        ASSERT_TRUE(WriteSetting(OvraIni(), QStringLiteral("LANGUAGE"), QString::fromLatin1(c.setting)));
        const QString language = DefaultFirstRunLanguage();
        if (!c.expected.isEmpty()) {
            EXPECT_EQ(language, c.expected);
        } else {
            EXPECT_TRUE(QStringList({QStringLiteral("NL"), QStringLiteral("F"), QStringLiteral("UK"), QStringLiteral("DE")})
                            .contains(language));
        }
        TfrmFirstRun wizard;
        EXPECT_EQ(wizard.LanguageCode(), language);
    }
}
