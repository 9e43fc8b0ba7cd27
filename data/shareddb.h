#pragma once

#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>

// shared.sqlite in the data folder holds what every administration shares: the postcodes
// ("Post"), the calendar ("Calendar") and the users' own company data ("profiles").

// data folder + "shared.sqlite".
QString SharedDatabaseFile(const QString& dataFolder);

// The shipped postcode list: the data folder's copy, else the resources' one.
QString PostcodeListFile(const QString& dataFolder);

// Creates the shared tables that are missing on a connection whose main database is
// shared.sqlite, and fills an empty "Post" from the postcode list (code, gemeente, ...; UTF-8,
// one header line). One transaction.
bool CreateSharedTables(QSqlDatabase db, const QString& postcodeCsv, QString* error = nullptr);

// Creates shared.sqlite with its tables when the file is missing; true when it exists after.
bool EnsureSharedDatabase(const QString& dataFolder, QString* error = nullptr);

// The profile of an administration: the "profiles" row whose "admin" is the name (case
// ignored), else the first row; empty when there is none. tableName may carry a schema
// ("shared.profiles").
QSqlRecord ProfileOf(QSqlDatabase db, const QString& administrationName,
                     const QString& tableName = QStringLiteral("profiles"));
