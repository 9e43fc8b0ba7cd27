#pragma once

#include "common/testfolder.h"
#include "data/connection.h"

#include <QString>
#include <QVariantList>

#include <memory>

// A data folder with shared.sqlite and one administration made from the shipped Standaard
// templates, in a fresh temporary folder.
class StoreFixture
{
public:
    StoreFixture();
    ~StoreFixture();

    QString dataFolder() const { return m_data; }
    QString folder() const { return m_data + QStringLiteral("Test/"); }
    QString resources() const;

    // Creates the administration "Test" (tables, ".dat", ".fld", first records) with a
    // profile for it in shared.sqlite.
    void MakeAdministration();
    std::unique_ptr<TDatabase> OpenDatabase() const;
    // Runs one statement on the administration's database with its own connection.
    void Exec(const QString& sql, const QVariantList& binds = {}) const;
    QVariant Scalar(const QString& sql, const QVariantList& binds = {}) const;

private:
    TestFolder m_tmp;
    QString m_data;
};
