#include "data/newadministration.h"

#include "data/connection.h"
#include "data/profiles.h"
#include "data/sampledata.h"
#include "data/shareddb.h"
#include "data/tabletemplate.h"
#include "foundation/files.h"
#include "foundation/homefolder.h"
#include "foundation/settingsfile.h"
#include "foundation/textutil.h"
#include "foundation/translate.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

namespace {

// The profile table keeps the name in 60 characters; a longer name would lose its profile.
constexpr int kMaxNameLength = 60;

bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// Characters no folder name may hold here or on a shared Windows disk, and the line break
// that would split the exit marker file's one-name-per-line list.
bool HasForbiddenCharacter(const QString& name)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar c : name)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format
            || c == QChar::LineSeparator || c == QChar::ParagraphSeparator || forbidden.contains(c))
            return true;
    return false;
}

QString DatadefsFolder()
{
    return ProgramFolder() + QStringLiteral("datadefs/");
}

} // namespace

bool CheckNewAdministrationName(const QString& name, QString* error)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return Fail(error, Translate(NL("Kies naam en sjabloon voor administratie!")));
    if (trimmed.startsWith(u'.') || trimmed.endsWith(u'.') || HasForbiddenCharacter(trimmed))
        return Fail(error, Translate(NL("Deze naam kan geen mapnaam zijn: gebruik geen tekens als / \\ : * ? < > en begin of eindig niet met een punt.")));
    if (trimmed.size() > kMaxNameLength)
        return Fail(error, Translate(NL("De naam van een administratie mag hoogstens %d tekens lang zijn."))
                               .replace(QStringLiteral("%d"), QString::number(kMaxNameLength)));
    // "NIL999" in DEFADMIN means that there is no administration: one of that name would send
    // every start back to the first-run set-up.
    if (trimmed.compare(QStringLiteral("NIL999"), Qt::CaseInsensitive) == 0)
        return Fail(error, Translate(NL("Deze naam is voorbehouden. Kies een andere naam.")));
    // Case is ignored: profiles and the exit marker match names without it.
    const QString folder = DataFolder() + trimmed;
    if (QFileInfo::exists(folder) || QFileInfo::exists(FindFileCaseInsensitive(folder)))
        return Fail(error, Translate(NL("Er bestaat reeds een administratie met dezelfde naam!")));
    return true;
}

QStringList AdministrationNames(const QString& dataFolder)
{
    QStringList names;
    const QDir dir(dataFolder);
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted))
        if (QFileInfo::exists(dir.filePath(sub + QStringLiteral("/admin.ini"))))
            names.append(sub);
    return names;
}

QStringList AdministrationTemplates(const QString& datadefsFolder)
{
    QStringList names;
    const QDir dir(datadefsFolder);
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase))
        if (file.suffix().compare(QStringLiteral("cb"), Qt::CaseInsensitive) == 0)
            names.append(file.completeBaseName());
    return names;
}

QString TemplateFileFor(const QString& datadefsFolder, const QString& templateName, const QString& extension,
                        int screenWidth)
{
    const QString folder = NormaliseFolder(datadefsFolder);
    const bool smallScreen = screenWidth == 640 || screenWidth == 800;
    for (const QString& name : {templateName.trimmed(), QStringLiteral("Standaard")}) {
        if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\'))
            continue;
        const QString plain = FindFileCaseInsensitive(folder + name + extension);
        if (!QFileInfo(plain).isFile())
            continue;
        // The small-screen layout only where it exists for this very file.
        if (smallScreen) {
            const QString small = FindFileCaseInsensitive(folder + name + extension + QLatin1Char('8'));
            if (QFileInfo(small).isFile())
                return small;
        }
        return plain;
    }
    return QString();
}

namespace {

class Creation
{
public:
    Creation(const NewAdministration& request, QString* error) : m_request(request), m_error(error) {}
    ~Creation();

    bool Run();

private:
    bool Step(bool ok, const QString& what);
    bool StoreTheProfile();

    const NewAdministration& m_request;
    QString* m_error;
    QString m_name;
    QString m_folder;
    bool m_folderMade = false;
    bool m_profileAdded = false;
    bool m_done = false;
    std::unique_ptr<TDatabase> m_db;
};

bool Creation::Step(bool ok, const QString& what)
{
    if (!ok && m_error && m_error->isEmpty())
        *m_error = what;
    return ok;
}

bool Creation::StoreTheProfile()
{
    QSqlDatabase sql = m_db->sql();
    // ProfileOf falls back to the first row: only a row of this very name counts as there.
    const QString existing = ProfileOf(sql, m_name).value(QStringLiteral("admin")).toString().trimmed();
    m_profileAdded = existing.compare(m_name, Qt::CaseInsensitive) != 0;
    QMap<QString, QString> values = m_request.profile;
    if (values.isEmpty() && !m_request.copyProfileFrom.trimmed().isEmpty())
        values = ProfileValues(ProfileOf(sql, m_request.copyProfileFrom.trimmed()));
    QString reason;
    if (!StoreProfile(sql, m_name, values, &reason))
        return Step(false, reason);
    return true;
}

bool Creation::Run()
{
    if (m_error)
        m_error->clear();
    if (!CheckNewAdministrationName(m_request.name, m_error))
        return false;
    m_name = m_request.name.trimmed();
    const QString dataFolder = DataFolder();
    QString reason;
    if (!Step(QDir().mkpath(dataFolder), QStringLiteral("cannot create the data folder %1").arg(dataFolder))
        || !Step(EnsureSharedDatabase(dataFolder, &reason), QStringLiteral("shared.sqlite: %1").arg(reason)))
        return false;
    const QString datadefs = DatadefsFolder();
    const QString contactsTemplate = TemplateFileFor(datadefs, m_request.templateName, QStringLiteral(".cb"),
                                                     m_request.screenWidth);
    const QString productsTemplate = TemplateFileFor(datadefs, m_request.templateName, QStringLiteral(".pb"),
                                                     m_request.screenWidth);
    if (!Step(!contactsTemplate.isEmpty() && !productsTemplate.isEmpty(),
              QStringLiteral("no table template %1 or Standaard in %2").arg(m_request.templateName, datadefs)))
        return false;

    m_folder = dataFolder + m_name + QLatin1Char('/');
    if (!Step(QDir().mkpath(m_folder), QStringLiteral("cannot create the folder %1").arg(m_folder)))
        return false;
    m_folderMade = true;
    const QString install = ProgramFolder() + QStringLiteral("install/");
    if (!Step(CopyNewAdministrationFiles(install, m_folder),
              QStringLiteral("cannot copy the files of %1makenewadmin.ini").arg(install)))
        return false;
    const QString ini = m_folder + QStringLiteral("admin.ini");
    if (!Step(WriteSetting(ini, QStringLiteral("SCHERMA"), QStringLiteral("Default"))
                  && WriteSetting(ini, QStringLiteral("SCHERMP"), QStringLiteral("Default"))
                  && WriteSetting(ini, QStringLiteral("VATINC"), BoolText(m_request.vatInclusive)),
              QStringLiteral("cannot write %1").arg(ini)))
        return false;

    m_db = TDatabase::Open(m_folder + QStringLiteral("admin.sqlite"), SharedDatabaseFile(dataFolder), &reason);
    if (!Step(m_db != nullptr, reason) || !StoreTheProfile())
        return false;

    NewTableContext context;
    context.installFolder = install;
    context.profile = ProfileOf(m_db->sql(), m_name);
    context.mainCurrency = m_request.mainCurrency.trimmed();
    if (context.mainCurrency.isEmpty())
        context.mainCurrency = ReadSetting(OvraIni(), QStringLiteral("MUNT"));
    if (context.mainCurrency.isEmpty())
        context.mainCurrency = QStringLiteral("BEF");
    if (!Step(CreateTableFromTemplate(1, contactsTemplate, QStringLiteral("Adressen"), m_folder, m_db->sql(), context,
                                      &reason),
              reason)
        || !Step(CreateTableFromTemplate(6, productsTemplate, QStringLiteral("Products"), m_folder, m_db->sql(),
                                         context, &reason),
                 reason)
        || !Step(CreateAdministrationTables(m_db->sql(), &reason), reason))
        return false;
    if (m_request.sampleData && !Step(FillSampleData(*m_db, m_folder, DemoSampleSize(), &reason), reason))
        return false;
    m_done = true;
    return true;
}

Creation::~Creation()
{
    if (m_done)
        return;
    if (m_db && m_profileAdded) {
        QSqlQuery q(m_db->sql());
        q.prepare(QStringLiteral("DELETE FROM profiles WHERE admin = ? COLLATE NOCASE"));
        q.addBindValue(m_name);
        q.exec();
    }
    m_db.reset();
    // Only the folder this run made, with what it wrote into it.
    if (m_folderMade)
        QDir(m_folder).removeRecursively();
}

} // namespace

bool CreateAdministrationFiles(const NewAdministration& request, QString* error)
{
    Creation creation(request, error);
    return creation.Run();
}
