#include "data/columnops.h"

#include "data/connection.h"
#include "data/dm.h"
#include "data/engine_statement.h"
#include "data/fielddefs.h"
#include "data/fieldkinds.h"
#include "data/query.h"
#include "data/schema.h"
#include "data/table.h"
#include "foundation/files.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"
#include "foundation/textfile.h"
#include "foundation/translate.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QSqlQuery>

namespace {

TFieldDesignHooks s_hooks;

constexpr int kMaxColumns = 2000;   // SQLite's SQLITE_MAX_COLUMN

bool SameFolder(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

QString BareTableName(QString name)
{
    if (name.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive))
        name.chop(3);
    if (name.startsWith(QStringLiteral("main."), Qt::CaseInsensitive))
        name = name.mid(5);
    return name;
}

// The database of an administration folder: the data module's when it is bound there, else a
// connection of its own for the length of the change.
class FolderDatabase
{
public:
    FolderDatabase(const QString& folder, Tdm* dm)
    {
        const QString normalised = NormaliseFolder(folder);
        if (dm && dm->Database() && SameFolder(dm->AdministrationFolder(), normalised)) {
            m_db = dm->Database();
            m_dm = dm;
            return;
        }
        const QString file = normalised + QStringLiteral("admin.sqlite");
        if (QFileInfo(file).isFile())
            m_own = TDatabase::Open(file, QString());
        m_db = m_own.get();
    }
    TDatabase* get() const { return m_db; }
    // The data module whose data sets read this database, or nullptr.
    Tdm* dm() const { return m_dm; }

private:
    std::unique_ptr<TDatabase> m_own;
    TDatabase* m_db = nullptr;
    Tdm* m_dm = nullptr;
};

bool ReadsTable(TDataSet* dataSet, const QString& tableName)
{
    if (auto* table = qobject_cast<TTable*>(dataSet))
        return BareTableName(table->TableName()).compare(tableName, Qt::CaseInsensitive) == 0;
    if (auto* query = qobject_cast<TQuery*>(dataSet)) {
        const QRegularExpression word(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(tableName)),
                                      QRegularExpression::CaseInsensitiveOption);
        return word.match(query->Sql().join(QLatin1Char('\n'))).hasMatch();
    }
    return false;
}

// Closes the data module's data sets on a table for a change of its structure and opens them
// again afterwards, back on the record they showed, so every one reads the new columns.
class ReopenGuard
{
public:
    ReopenGuard(Tdm* dm, TDatabase* db, const QString& tableName, bool enabled) : m_db(db)
    {
        if (dm && enabled) {
            for (TDataSet* dataSet : dm->DataSets()) {
                if (!dataSet->Active() || !ReadsTable(dataSet, tableName))
                    continue;
                Entry entry{dataSet, QVariant()};
                if (qobject_cast<TTable*>(dataSet) && dataSet->FieldCount() > 0 && !dataSet->IsEmpty())
                    entry.key = dataSet->Field(0)->AsVariant();
                dataSet->CheckBrowseMode();
                dataSet->Close();
                m_closed.append(entry);
            }
        }
        // Idle statements keep the schema they were prepared on.
        if (m_db)
            m_db->statements().ClearIdle();
    }
    ~ReopenGuard()
    {
        if (m_db)
            m_db->statements().ClearIdle();
        for (const Entry& entry : m_closed) {
            auto* table = qobject_cast<TTable*>(entry.dataSet.data());
            if (!entry.dataSet)
                continue;
            if (!entry.dataSet->Open() && table) {
                // Its index may be gone with the change.
                table->SetIndexName(QString());
                table->Open();
            }
            if (table && entry.key.isValid())
                table->FindKey(entry.key);
        }
    }

private:
    struct Entry
    {
        QPointer<TDataSet> dataSet;
        QVariant key;
    };
    TDatabase* m_db;
    QList<Entry> m_closed;
};

QString LeegFile()
{
    const QString home = FindFileCaseInsensitive(ProgramFolder() + QStringLiteral("install/leeg.txt"));
    if (QFileInfo(home).isFile())
        return home;
    return FindFileCaseInsensitive(ResourceFolder() + QStringLiteral("install/leeg.txt"));
}

QString PriceListFile(const QString& folder)
{
    return NormaliseFolder(folder) + QStringLiteral("C_P_SPRICE.fld");
}

QString DescriptionListFile(const QString& folder)
{
    return NormaliseFolder(folder) + QStringLiteral("C_P_NAME.fld");
}

QStringList NamesOf(const QString& columnName, int kind)
{
    QStringList names{columnName};
    if (kind == fkPrice)
        names.append(columnName + QLatin1Char('E'));
    return names;
}

// The side files a new column brings, written before the table change commits so that a
// failure can take them back.
class NewColumnFiles
{
public:
    NewColumnFiles(const QString& folder, const QString& columnName, int kind)
        : m_folder(NormaliseFolder(folder)), m_name(columnName), m_kind(kind) {}

    bool Write()
    {
        if (m_kind == fkPrice)
            return Append(PriceListFile(m_folder));
        if (m_kind == fkProductDescription)
            return Append(DescriptionListFile(m_folder));
        if (m_kind == fkList) {
            const QString target = ListValueFile(m_folder, m_name);
            m_listBefore = LoadTextLines(target, &m_listExisted);
            const QString leeg = LeegFile();
            // Without leeg.txt the list simply starts empty.
            const bool ok = QFileInfo(leeg).isFile() ? CopyFileIfExists(leeg, target) : SaveTextLines(target, {});
            m_listWritten = ok;
            return ok;
        }
        return true;
    }
    void Undo()
    {
        if (!m_appendedTo.isEmpty())
            RemoveListValue(m_appendedTo, m_name);
        if (m_listWritten) {
            const QString target = ListValueFile(m_folder, m_name);
            if (m_listExisted)
                SaveTextLines(target, m_listBefore);
            else
                DeleteFileIfExists(target);
        }
    }

private:
    bool Append(const QString& file)
    {
        bool present = false;
        for (const QString& line : LoadTextLines(file))
            present = present || line.trimmed().compare(m_name, Qt::CaseInsensitive) == 0;
        if (present)
            return true;
        if (!AppendListValue(file, m_name))
            return false;
        m_appendedTo = file;
        return true;
    }

    QString m_folder;
    QString m_name;
    int m_kind;
    QString m_appendedTo;
    bool m_listWritten = false;
    bool m_listExisted = false;
    QStringList m_listBefore;
};

bool AddColumnWith(const QString& tableName, const QString& columnName, bool closeIfCurrent, const QString& folder,
                   int dataType, int size, int kind, Tdm* dm, const std::function<bool()>& beforeCommit,
                   const std::function<void()>& undo)
{
    const QString sqlType = NewColumnSqlType(dataType, size);
    const QStringList names = NamesOf(columnName, kind);
    if (sqlType.isEmpty() || !IsValidColumnName(tableName))
        return false;
    for (const QString& name : names)
        if (!IsValidNewColumnName(name))
            return false;
    FolderDatabase database(folder, dm);
    TDatabase* db = database.get();
    if (!db || !db->TableExists(tableName))
        return false;
    const QList<FieldDefinition> columns = TableColumns(db->sql(), tableName);
    if (columns.size() + names.size() > kMaxColumns)
        return false;
    for (const FieldDefinition& column : columns)
        for (const QString& name : names)
            if (column.name.compare(name, Qt::CaseInsensitive) == 0)
                return false;

    ReopenGuard reopen(database.dm(), db, tableName, closeIfCurrent);
    if (!db->Transaction())
        return false;
    bool ok = true;
    for (const QString& name : names)
        ok = ok && db->Exec(QStringLiteral("ALTER TABLE main.%1 ADD COLUMN %2 %3")
                                .arg(QuoteIdentifier(tableName), QuoteIdentifier(name), sqlType));
    NewColumnFiles files(folder, columnName, kind);
    ok = ok && files.Write();
    ok = ok && (!beforeCommit || beforeCommit());
    if (ok && db->Commit())
        return true;
    if (ok) {
        // The commit failed (and rolled back): the files go back too.
        if (undo)
            undo();
    } else {
        db->Rollback();
    }
    files.Undo();
    return false;
}

int ColumnPosition(const QList<FieldDefinition>& columns, const QString& name)
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// The index of exactly this column: "Primary" for the primary one; empty when none.
QString IndexOfColumn(TTable& table, const QString& column, TIndexDef* found = nullptr)
{
    for (const TIndexDef& def : table.IndexDefs()) {
        if (def.fields.size() == 1 && def.fields.first().compare(column, Qt::CaseInsensitive) == 0) {
            if (found)
                *found = def;
            return def.primary ? QStringLiteral("Primary") : def.name;
        }
    }
    return QString();
}

// The table to work on: the data module's on that table, else one of its own.
class TableFor
{
public:
    explicit TableFor(const TFieldContext& context) : m_database(context.folder, context.DataModule())
    {
        if (m_database.dm())
            m_table = context.CurrentTable();
        if (!m_table && m_database.get()) {
            m_own = std::make_unique<TTable>();
            m_own->SetDatabase(m_database.get());
            m_own->SetTableName(context.tableName);
            m_table = m_own.get();
        }
    }
    TTable* get() const { return m_table; }
    TDatabase* db() const { return m_database.get(); }

private:
    FolderDatabase m_database;
    std::unique_ptr<TTable> m_own;
    TTable* m_table = nullptr;
};

bool FindDefinition(const QStringList& lines, const QString& columnName, FieldDefinition* out)
{
    for (const QString& line : lines) {
        FieldDefinition def;
        if (ParseFieldDefinition(line, &def) && def.name.compare(columnName, Qt::CaseInsensitive) == 0) {
            *out = def;
            return true;
        }
    }
    return false;
}

// The rows of the table copied into a new one whose column has another declared type; the
// indexes and triggers are made again. Text longer than cutTo (when > 0) is cut.
bool ChangeDeclaredType(TDatabase& db, const QString& tableName, const QString& column, const QString& declared,
                        int cutTo)
{
    QSqlQuery info(db.sql());
    if (!info.exec(QStringLiteral("PRAGMA main.table_info(%1)").arg(QuoteIdentifier(tableName))))
        return false;
    QStringList definitions;
    QStringList names;
    QStringList selected;
    QStringList keys;
    bool rowIdAlias = false;
    QString keyType;
    while (info.next()) {
        const QString name = info.value(1).toString();
        const bool target = name.compare(column, Qt::CaseInsensitive) == 0;
        QString type = target ? declared : info.value(2).toString();
        QString definition = QuoteIdentifier(name) + QLatin1Char(' ') + type;
        if (info.value(3).toInt() != 0)
            definition += QStringLiteral(" NOT NULL");
        if (!info.value(4).isNull())
            definition += QStringLiteral(" DEFAULT ") + info.value(4).toString();
        if (info.value(5).toInt() > 0) {
            keys.append(QuoteIdentifier(name));
            keyType = type;
        }
        definitions.append(definition);
        names.append(QuoteIdentifier(name));
        selected.append(target && cutTo > 0 ? QStringLiteral("substr(%1, 1, %2)").arg(QuoteIdentifier(name)).arg(cutTo)
                                            : QuoteIdentifier(name));
    }
    info.finish();
    if (names.isEmpty())
        return false;
    if (keys.size() == 1) {
        const int at = names.indexOf(keys.first());
        definitions[at] += QStringLiteral(" PRIMARY KEY");
        rowIdAlias = keyType.trimmed().compare(QStringLiteral("INTEGER"), Qt::CaseInsensitive) == 0;
    } else if (keys.size() > 1) {
        definitions.append(QStringLiteral("PRIMARY KEY (%1)").arg(keys.join(u',')));
    }
    QStringList rebuild;
    QSqlQuery schema(db.sql());
    schema.prepare(QStringLiteral("SELECT sql FROM main.sqlite_master WHERE type IN ('index', 'trigger') "
                                  "AND tbl_name = ? COLLATE NOCASE AND sql IS NOT NULL"));
    schema.addBindValue(tableName);
    if (!schema.exec())
        return false;
    while (schema.next())
        rebuild.append(schema.value(0).toString());
    schema.finish();

    const QString scratch = QuoteIdentifier(QStringLiteral("quillon_resize_") + tableName);
    // Without an INTEGER PRIMARY KEY the rowids are carried over by hand: bookmarks hold them.
    const QString rowid = rowIdAlias ? QString() : QStringLiteral("rowid, ");
    QStringList steps{
        QStringLiteral("CREATE TABLE main.%1 (%2)").arg(scratch, definitions.join(QStringLiteral(", "))),
        QStringLiteral("INSERT INTO main.%1 (%2%3) SELECT %2%4 FROM main.%5")
            .arg(scratch, rowid, names.join(u','), selected.join(u','), QuoteIdentifier(tableName)),
        QStringLiteral("DROP TABLE main.%1").arg(QuoteIdentifier(tableName)),
        QStringLiteral("ALTER TABLE main.%1 RENAME TO %2").arg(scratch, QuoteIdentifier(tableName)),
    };
    steps.append(rebuild);
    for (const QString& step : steps)
        if (!db.Exec(step))
            return false;
    return true;
}

} // namespace

Tdm* TFieldContext::DataModule() const
{
    return dm ? dm : Tdm::Instance();
}

QString TFieldContext::DataFolder() const
{
    QDir parent(NormaliseFolder(folder));
    parent.cdUp();
    return NormaliseFolder(parent.absolutePath());
}

TTable* TFieldContext::CurrentTable() const
{
    Tdm* d = DataModule();
    if (!d)
        return nullptr;
    for (TTable* table : {d->tabContacts, d->tabProducts})
        if (BareTableName(table->TableName()).compare(tableName, Qt::CaseInsensitive) == 0)
            return table;
    return nullptr;
}

TFieldContext FieldContextOf(Tdm* dm, int module)
{
    TFieldContext context;
    context.dm = dm;
    context.module = module;
    context.folder = dm ? dm->AdministrationFolder() : QString();
    context.tableName = module == 8 ? QStringLiteral("Products") : QStringLiteral("Adressen");
    return context;
}

void SetFieldDesignHooks(TFieldDesignHooks hooks)
{
    s_hooks = std::move(hooks);
}

TFieldNode FieldNodeOf(const QString& columnName, int dataType, int size, bool isProtected, int kind,
                       const QString& indexName)
{
    TFieldNode node;
    node.columnName = columnName;
    node.caption = Translate(columnName);
    node.kind = kind == fkOldDate ? fkDate : kind;
    node.dataType = dataType;
    node.size = size;
    node.isProtected = isProtected;
    node.icon = TreeIconOfKind(node.kind, dataType);
    node.typeText = TypeDisplayName(dataType, node.kind);
    node.childIcon = !isProtected ? kTreeIconChild : (node.kind != fkFixed ? kTreeIconCompanion : kTreeIconFixed);
    node.indexName = indexName;
    return node;
}

bool AddColumn(const QString& tableName, const QString& columnName, bool closeIfCurrent, const QString& folder,
               int dataType, int size, int kind)
{
    return AddColumnWith(tableName, columnName, closeIfCurrent, folder, dataType, size, kind, Tdm::Instance(), {}, {});
}

bool CheckNewFieldName(const TFieldContext& context, const QString& name, int kind)
{
    QStringList reserved;
    if (!LoadReservedNames(context.DataFolder(), &reserved))
        return false;
    QStringList existing;
    FolderDatabase database(context.folder, context.DataModule());
    if (database.get())
        for (const FieldDefinition& column : TableColumns(database.get()->sql(), context.tableName))
            existing.append(column.name);
    const NewNameProblem problem = CheckNewColumnName(name, kind, existing, reserved);
    ShowNameProblem(problem, name);
    return problem == NewNameProblem::None;
}

QList<TFieldNode> AddNewField(const TFieldContext& context, const QString& typedName, int code, int typedSize)
{
    if (s_hooks.deselectAll)
        s_hooks.deselectAll();
    const QString name = typedName.trimmed();
    const NewFieldChoice choice = NewFieldChoiceOfCode(code);
    const int size = StoredSize(choice.dataType, typedSize);
    const QString datFile = FieldDefinitionFile(context.folder, context.tableName);
    QStringList lines;
    if (!LoadDefinitionLines(datFile, &lines) || !CheckNewFieldName(context, name, choice.kind))
        return {};

    QList<TFieldNode> nodes;
    FieldDefinition def;
    def.name = name;
    def.dataType = choice.dataType;
    def.size = size;
    def.kind = choice.kind;
    QStringList changed = lines;
    changed.append(def.Line());
    nodes.append(FieldNodeOf(name, def.dataType, size, false, def.kind));
    if (choice.kind == fkPrice) {
        FieldDefinition companion = def;
        companion.name = name + QLatin1Char('E');
        companion.isProtected = true;
        companion.kind = fkEuroCompanion;
        changed.append(companion.Line());
        nodes.append(FieldNodeOf(companion.name, def.dataType, size, true, fkEuroCompanion));
    }
    const bool ok = AddColumnWith(
        context.tableName, name, true, context.folder, choice.dataType, size, choice.kind, context.DataModule(),
        [&] { return SaveTextLines(datFile, changed); }, [&] { SaveTextLines(datFile, lines); });
    if (!ok) {
        ShowNotice(NL("Toevoegen van veld is mislukt, sluit programma en probeer het opnieuw!"), true, NL("OK"));
        return {};
    }
    DeleteFileIfExists(GridLayoutFile(context.folder, context.tableName));
    return nodes;
}

bool RemoveField(const TFieldContext& context, const QString& columnName)
{
    if (columnName.isEmpty()) {
        ShowNotice(NL("Er is geen veld geselecteerd!"), true, NL("OK"));
        return false;
    }
    QStringList lines;
    if (!LoadDefinitionLines(FieldDefinitionFile(context.folder, context.tableName), &lines))
        return false;
    FieldDefinition def;
    if (!FindDefinition(lines, columnName, &def))
        return false;
    TableFor table(context);
    if (!table.get())
        return false;
    for (const QString& name : NamesOf(def.name, def.kind)) {
        if (!IndexOfColumn(*table.get(), name).isEmpty()) {
            ShowNotice(NL("Dit veld mag niet verwijderd worden - verwijder index voor deze veld eerst!"), true, NL("OK"));
            return false;
        }
    }
    if (def.isProtected) {
        ShowNotice(NL("Dit veld mag niet verwijderd worden"), true, NL("OK"));
        return false;
    }
    QString question = Translate(NL("Veld <%s> wordt verwijderd! Deze wijziging is onomkeerbaar en alle data in dit "
                                    "veld zal verloren gaan! Toch wissen?"));
    question.replace(QStringLiteral("%s"), Translate(def.name.toUpper()));
    if (Ask(question, false) != AskFirst)
        return false;
    return RemoveColumn(context, def.name, def.kind);
}

bool RemoveColumn(const TFieldContext& context, const QString& columnName, int kind)
{
    if (s_hooks.deselectAll)
        s_hooks.deselectAll();
    FolderDatabase database(context.folder, context.DataModule());
    TDatabase* db = database.get();
    auto fail = [] {
        ShowNotice(NL("Verwijderen van veld is mislukt, sluit programma en probeer het opnieuw!"), true, NL("OK"));
        return false;
    };
    if (!db || !IsSafeIdentifier(columnName) || !IsValidColumnName(context.tableName))
        return fail();
    const QList<FieldDefinition> columns = TableColumns(db->sql(), context.tableName);
    QStringList names;
    for (const QString& name : NamesOf(columnName, kind)) {
        const int at = ColumnPosition(columns, name);
        if (at >= 0)
            names.append(columns.at(at).name);
    }
    if (names.isEmpty() || names.first().compare(columnName, Qt::CaseInsensitive) != 0)
        return fail();
    {
        ReopenGuard reopen(database.dm(), db, context.tableName, true);
        if (!db->Transaction())
            return fail();
        bool ok = true;
        for (const QString& name : names)
            ok = ok && db->Exec(QStringLiteral("ALTER TABLE main.%1 DROP COLUMN %2")
                                    .arg(QuoteIdentifier(context.tableName), QuoteIdentifier(name)));
        if (!ok) {
            db->Rollback();
            return fail();
        }
        if (!db->Commit())
            return fail();
        // The table changed: now the card and the side files follow.
        if (s_hooks.freeCardControls)
            for (const QString& name : names)
                s_hooks.freeCardControls(name);
        if (kind == fkPrice)
            RemoveListValue(PriceListFile(context.folder), columnName);
        else if (kind == fkProductDescription)
            RemoveListValue(DescriptionListFile(context.folder), columnName);
        const QString datFile = FieldDefinitionFile(context.folder, context.tableName);
        QStringList lines;
        if (LoadLinesForRewrite(datFile, &lines)) {
            QStringList stored = names;
            stored.append(columnName);
            if (kind == fkPrice)
                stored.append(columnName + QLatin1Char('E'));
            SaveTextLines(datFile, WithoutDefinitionsOf(lines, stored));
        }
    }
    DeleteFileIfExists(GridLayoutFile(context.folder, context.tableName));
    // The saved search may name the removed column.
    WriteSetting(NormaliseFolder(context.folder) + QStringLiteral("admin.ini"), QStringLiteral("FILTERSTRING"),
                 QString());
    return true;
}

bool ResizeColumn(const TFieldContext& context, const QString& columnName, int newSize)
{
    FolderDatabase database(context.folder, context.DataModule());
    TDatabase* db = database.get();
    if (!db || !IsValidColumnName(context.tableName))
        return false;
    const QList<FieldDefinition> columns = TableColumns(db->sql(), context.tableName);
    const int at = ColumnPosition(columns, columnName);
    if (at < 0)
        return false;
    const FieldDefinition column = columns.at(at);
    if ((column.dataType != dtText && column.dataType != dtMemo) || newSize < 1
        || (column.dataType == dtText && newSize > 255))
        return false;
    int cutTo = 0;
    if (column.dataType == dtText && newSize < column.size) {
        const QVariant longer = db->Scalar(QStringLiteral("SELECT count(*) FROM main.%1 WHERE length(%2) > ?")
                                               .arg(QuoteIdentifier(context.tableName), QuoteIdentifier(column.name)),
                                           {newSize});
        if (longer.toInt() > 0) {
            QString question = Translate(NL("Veld <%s> bevat %d waarden die langer zijn dan de nieuwe grootte. "
                                            "Deze worden ingekort! Toch wijzigen?"));
            question.replace(QStringLiteral("%s"), Translate(column.name.toUpper()))
                .replace(QStringLiteral("%d"), QString::number(longer.toInt()));
            if (Ask(question, false) != AskFirst)
                return false;
            cutTo = newSize;
        }
    }
    if (newSize != column.size) {
        ReopenGuard reopen(database.dm(), db, context.tableName, true);
        if (!db->Transaction())
            return false;
        if (!ChangeDeclaredType(*db, context.tableName, column.name, DeclaredTypeOf(column.dataType, newSize), cutTo)) {
            db->Rollback();
            ShowNotice(NL("Wijzigen van veldgrootte is mislukt"), true, NL("OK"));
            return false;
        }
        if (!db->Commit())
            return false;
    }
    const QString datFile = FieldDefinitionFile(context.folder, context.tableName);
    QStringList lines;
    if (LoadLinesForRewrite(datFile, &lines) && SetDefinitionSize(&lines, column.name, newSize))
        SaveTextLines(datFile, lines);
    return true;
}

namespace {

bool IsRequiredIndex(int module, int position)
{
    return position == 1 || (module == 2 && position == 5);
}

} // namespace

QString AddColumnIndex(const TFieldContext& context, const QString& columnName)
{
    TableFor table(context);
    TTable* t = table.get();
    auto fail = [] {
        ShowNotice(NL("Index kon niet aangemaakt worden"), true, NL("OK"));
        return QString();
    };
    if (!t)
        return fail();
    const QList<FieldDefinition> columns = TableColumns(table.db()->sql(), context.tableName);
    const int position = ColumnPosition(columns, columnName);
    if (position <= 0)
        return fail();
    const QString existing = IndexOfColumn(*t, columnName);
    if (!existing.isEmpty())
        return existing;
    const QString indexName = QStringLiteral("iAdr%1").arg(position);
    const FieldDefinition& column = columns.at(position);
    const bool wasActive = t->Active();
    t->SetIndexName(QString());
    if (!t->AddIndex(indexName, column.name, column.dataType == dtText || column.dataType == dtMemo))
        return fail();
    if (wasActive)
        t->SetIndexName(indexName);
    return indexName;
}

bool RemoveColumnIndex(const TFieldContext& context, const QString& columnName)
{
    TableFor table(context);
    TTable* t = table.get();
    if (!t)
        return false;
    TIndexDef def;
    const QString indexName = IndexOfColumn(*t, columnName, &def);
    if (indexName.isEmpty() || def.primary)
        return false;
    if (t->IndexName().compare(indexName, Qt::CaseInsensitive) == 0) {
        ShowNotice(NL("Index voor dit veld is actief"), true, NL("OK"));
        return false;
    }
    const QString current = t->IndexName();
    if (!t->DeleteIndex(indexName))
        return false;
    if (t->Active() && current.compare(indexName, Qt::CaseInsensitive) != 0)
        t->SetIndexName(current);
    const int position = ColumnPosition(TableColumns(table.db()->sql(), context.tableName), columnName);
    if (IsRequiredIndex(context.module, position)) {
        ShowNotice(NL("Deze index is vereist voor werking van Quillon en zal opnieuw aangemaakt worden"), true, NL("OK"));
        const bool wasActive = t->Active();
        const FieldDefinition column = TableColumns(table.db()->sql(), context.tableName).at(position);
        t->AddIndex(QStringLiteral("iAdr%1").arg(position), column.name,
                    column.dataType == dtText || column.dataType == dtMemo);
        if (wasActive)
            t->SetIndexName(current);
    }
    return true;
}

QList<TFieldNode> FieldNodes(const TFieldContext& context, bool* ok)
{
    QList<TFieldNode> nodes;
    QStringList lines;
    const bool read = LoadDefinitionLines(FieldDefinitionFile(context.folder, context.tableName), &lines);
    if (ok)
        *ok = read;
    if (!read)
        return nodes;
    TableFor table(context);
    QList<TIndexDef> indexes;
    if (table.get())
        indexes = table.get()->IndexDefs();
    for (const QString& line : lines) {
        FieldDefinition def;
        if (!ParseFieldDefinition(line, &def))
            continue;
        QString indexName;
        for (const TIndexDef& index : indexes)
            if (index.fields.size() == 1 && index.fields.first().compare(def.name, Qt::CaseInsensitive) == 0)
                indexName = index.primary ? QStringLiteral("Primary") : index.name;
        nodes.append(FieldNodeOf(def.name, def.dataType, def.size, def.isProtected, def.kind, indexName));
    }
    return nodes;
}

void RepairAdministrationDefinitions(TDatabase& database, const QString& administrationFolder)
{
    QStringList repaired;
    for (const QString& table : {QStringLiteral("Adressen"), QStringLiteral("Products")}) {
        QStringList columns;
        if (database.TableExists(table) && RepairFieldDefinitions(database.sql(), administrationFolder, table, &columns))
            repaired.append(table + QStringLiteral(".dat (") + columns.join(QStringLiteral(", ")) + QLatin1Char(')'));
    }
    if (repaired.isEmpty())
        return;
    QString text = Translate(NL("De velddefinities kwamen niet overeen met de tabel en zijn hersteld: %s"));
    ShowNotice(text.replace(QStringLiteral("%s"), repaired.join(QStringLiteral("; "))), false);
}
