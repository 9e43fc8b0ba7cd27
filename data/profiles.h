#pragma once

#include <QMap>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>
#include <QStringList>

// ProfileOf(db, administration, table): the profile row of an administration (its "admin"
// column equal to the name, case ignored; else the first row). The unqualified default table
// "profiles" resolves to shared.profiles on an administration's connection, because
// admin.sqlite has no table of that name.
#include "data/shareddb.h"

// The company data columns of a profile row, in table order: every column after the
// identifier and "admin".
QStringList ProfileColumns();

// Adds or updates the profile row of the administration in the "profiles" table of db (the
// shared schema when it is attached, else the main one). Keys of values are profile columns,
// matched without regard to case; a key that is no profile column is refused. Texts are cut
// to their column's declared size. A new row gets the next identifier (one above the highest,
// in the same statement). Columns left out keep their value (new row: empty).
bool StoreProfile(QSqlDatabase db, const QString& administration, const QMap<QString, QString>& values,
                  QString* error = nullptr);

// The company data of a profile row as StoreProfile takes it (every column from the third
// on); empty for an empty record.
QMap<QString, QString> ProfileValues(const QSqlRecord& profile);
