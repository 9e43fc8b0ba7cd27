#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QStringList>

#include "common/testfolder.h"
#include "data/administration.h"
#include "data/newadministration.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"
#include "shell/exitmarker.h"
#include "shell/mainwindow.h"

// A fresh home folder with the administration "Demo" (from the "standaard" template, company
// data in its profile) as DEFADMIN, a clean exit marker, and every message collected.
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetProgramFolder(home.path());
        ASSERT_TRUE(EnsureHomeFolder());
        SetMessageHook([this](const MessageRequest& request) {
            messages.append(request.text);
            return MessageAnswer{AskFirst, {}, false};
        });
        SetLanguageIndex(1);
        SetRunPhase(1);
    }
    void TearDown() override
    {
        SetMessageHook(nullptr);
        ResetTranslations();
        SetLanguageIndex(1);
        SetProgramFolder(QString());
    }

    void MakeAdministration(const QString& name = QStringLiteral("Demo"), bool defaultOne = true)
    {
        NewAdministration request;
        request.name = name;
        request.profile = {{QStringLiteral("company"), QStringLiteral("Bakkerij Peeters")},
                           {QStringLiteral("Name"), QStringLiteral("Jan")}};
        QString error;
        ASSERT_TRUE(CreateAdministrationFiles(request, &error)) << error.toStdString();
        if (defaultOne)
            WriteSetting(OvraIni(), QStringLiteral("DEFADMIN"), name);
        SaveExitMarker({QStringLiteral("OK")});
    }

    // A started window over the default administration.
    std::unique_ptr<TfrmMain> Started(TStartupServices services = {})
    {
        auto window = std::make_unique<TfrmMain>(std::move(services));
        window->keyboardModifiers = [this] { return modifiers; };
        started = window->StartUp();
        return window;
    }

    QString Backup(const QString& name) const { return home.file(QStringLiteral("backup/") + name); }
    bool Said(const QString& part) const
    {
        for (const QString& m : messages) {
            if (m.contains(part))
                return true;
        }
        return false;
    }

    TestFolder home;
    QStringList messages;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    bool started = false;
};
