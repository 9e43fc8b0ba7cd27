#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// What a new administration is made of.
struct NewAdministration
{
    QString name;
    QString templateName = QStringLiteral("standaard");
    bool vatInclusive = false;
    QMap<QString, QString> profile;   // the new profile row; empty: copy copyProfileFrom's row
    QString copyProfileFrom;          // administration whose profile is copied (may be empty)
    bool sampleData = false;          // fill with demo contacts, products and documents
    QString mainCurrency;             // empty: MUNT of ovra.ini, default "BEF"
    int screenWidth = 0;              // 640 or 800 picks the templates' ".cb8"/".pb8" when there
};

// Name check of the new-administration dialog and the first run: an empty (trimmed) name, a
// name that is no valid folder name (no "/", "\", leading ".", control characters, too long)
// or an existing folder under the data folder gives the message (translated) in *error.
bool CheckNewAdministrationName(const QString& name, QString* error);

// The administration names: the sub-folders of the data folder that hold "admin.ini".
QStringList AdministrationNames(const QString& dataFolder);

// The template names (without extension) of the "*.cb" files in the datadefs folder.
QStringList AdministrationTemplates(const QString& datadefsFolder);

// The template file a new table is made from: template + extension (+ "8" for a small screen
// when that file exists), else "Standaard" + extension likewise; empty when neither exists.
// extension is ".cb" or ".pb".
QString TemplateFileFor(const QString& datadefsFolder, const QString& templateName, const QString& extension,
                        int screenWidth = 0);

// The window-free steps of creating an administration: the folder data folder + name, the
// files of install/makenewadmin.ini, admin.ini (SCHERMA/SCHERMP "Default", VATINC), the
// profile row, the contacts and products tables from the template (each falling back to
// "Standaard" on its own), the fixed tables, the ".dat" files, the first contact from the
// profile, and the demo data when asked. It neither opens the administration nor writes
// DEFADMIN: the shell does that. A failure removes only what it created itself (the new
// folder, a profile row it added) and says why.
bool CreateAdministrationFiles(const NewAdministration& request, QString* error = nullptr);
