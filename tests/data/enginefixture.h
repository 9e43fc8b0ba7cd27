#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <memory>

#include "common/testfolder.h"
#include "data/connection.h"
#include "data/table.h"

// A fresh admin.sqlite and shared.sqlite per test with a small contacts table:
// nummer (INTEGER PRIMARY KEY), ComName, Name, Place, INLIST, CreatingDate, Amount, Notes;
// "iAdr1" on ComName and "iAdr3" on Place, both case-insensitive.
class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        db = TDatabase::Open(folder.file(QStringLiteral("admin.sqlite")),
                             folder.file(QStringLiteral("shared.sqlite")), &error);
        ASSERT_TRUE(db) << error.toStdString();
        db->SetBusyAsker([this](const QString& question) {
            questions << question;
            return false;
        });
        Exec("CREATE TABLE Adressen (nummer INTEGER PRIMARY KEY, ComName CHAR(99), Name CHAR(40), "
             "Place CHAR(40), INLIST BOOLEAN, CreatingDate DATE, Amount FLOAT, Notes MEMO(240))");
        Exec("CREATE INDEX Adressen_iadr1 ON Adressen(ComName COLLATE QCI)");
        Exec("CREATE INDEX Adressen_iadr3 ON Adressen(Place COLLATE QCI)");
    }

    void Exec(const char* sql, const QVariantList& binds = {})
    {
        QString error;
        ASSERT_TRUE(db->Exec(QString::fromUtf8(sql), binds, &error)) << sql << ": " << error.toStdString();
    }

    void AddContact(qint64 id, const QString& name, const QString& place = {}, bool inList = false)
    {
        Exec("INSERT INTO Adressen (nummer, ComName, Name, Place, INLIST) VALUES (?, ?, ?, ?, ?)",
             {id, name, name, place.isEmpty() ? QVariant() : QVariant(place), inList ? 1 : 0});
    }

    std::unique_ptr<TTable> OpenContacts(const QString& index = QStringLiteral("iAdr1"))
    {
        auto table = std::make_unique<TTable>();
        table->setObjectName(QStringLiteral("tabContacts"));
        table->SetDatabase(db.get());
        table->SetTableName(QStringLiteral("Adressen"));
        EXPECT_TRUE(table->SetIndexName(index));
        EXPECT_TRUE(table->Open()) << table->LastError().toStdString();
        return table;
    }

    // The ComName of every row in the data set's order.
    static QStringList Names(TDataSet& ds)
    {
        QStringList names;
        const int field = ds.FieldByName(QStringLiteral("ComName"))->Index();
        for (int row = 0; row < ds.RecordCount(); ++row)
            names << ds.DisplayTextAt(row, field);
        return names;
    }

    TestFolder folder;
    std::unique_ptr<TDatabase> db;
    QStringList questions;
};
