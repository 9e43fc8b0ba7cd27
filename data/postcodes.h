#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Postcode completion of the place fields, on the shared "Post" table (postcode "code" and
// municipality "gemeente"; several rows may share a code). The card offers a chooser when a
// code gives more than one municipality.

// The municipalities of a postcode, in table order, when the text is 4 to 9 characters long;
// empty otherwise or when none matches.
QStringList PlacesOfPostcode(QSqlDatabase db, const QString& postcode,
                             const QString& table = QStringLiteral("shared.Post"));

// The code of the first municipality that equals the place, case and accents ignored, when the
// place has no blank and more than 3 characters; empty otherwise or when none matches.
QString PostcodeOfPlace(QSqlDatabase db, const QString& place,
                        const QString& table = QStringLiteral("shared.Post"));
