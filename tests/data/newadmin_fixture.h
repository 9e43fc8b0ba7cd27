#pragma once

#include "common/testfolder.h"
#include "data/connection.h"
#include "data/newadministration.h"
#include "data/shareddb.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"

#include <gtest/gtest.h>

#include <QDir>

#include <memory>

// A fresh home folder seeded from the shipped resources, as a first start makes it; messages
// are collected instead of shown.
class HomeFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        home = tmp.path() + QStringLiteral("home/");
        SetProgramFolder(home);
        ASSERT_TRUE(EnsureHomeFolder());
        SetMessageHook([this](const MessageRequest& request) {
            messages.append(request.text);
            return MessageAnswer{};
        });
        SetDefaultBusyAsker([](const QString&) { return false; });
    }
    void TearDown() override
    {
        SetMessageHook(nullptr);
        SetProgramFolder(QString());
    }

    QString Folder(const QString& name) const { return DataFolder() + name + QLatin1Char('/'); }

    // Creates the administration or fails the test.
    void Create(const NewAdministration& request)
    {
        QString error;
        ASSERT_TRUE(CreateAdministrationFiles(request, &error)) << error.toStdString();
    }
    void Create(const QString& name, bool sampleData = false)
    {
        NewAdministration request;
        request.name = name;
        request.sampleData = sampleData;
        request.mainCurrency = QStringLiteral("EUR");
        Create(request);
    }

    std::unique_ptr<TDatabase> Open(const QString& name) const
    {
        QString error;
        auto db = TDatabase::Open(Folder(name) + QStringLiteral("admin.sqlite"), SharedDatabaseFile(DataFolder()), &error);
        EXPECT_TRUE(db) << error.toStdString();
        return db;
    }

    TestFolder tmp;
    QString home;
    QStringList messages;
};
