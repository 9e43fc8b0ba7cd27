#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "data/connection.h"
#include "data/datasource.h"
#include "data/query.h"
#include "data/table.h"

class TModule;
class TRecordRules;

// The data module: every table, query and data source of the program, for the whole run.
// An administration binds them to its admin.sqlite (with the data folder's shared.sqlite
// attached as "shared") and unbinds them when it is freed.
class Tdm : public QObject
{
    Q_OBJECT
public:
    explicit Tdm(QObject* parent = nullptr);
    ~Tdm() override;

    // The data module of the running program (the one created last), or nullptr.
    static Tdm* Instance();

    // Opens the connection: admin.sqlite of the folder and the data folder's shared.sqlite
    // (created with its tables when missing) and points every data set at it. Nothing is
    // opened yet. False with the reason when admin.sqlite is missing, not a database or
    // corrupt. A shared.sqlite that cannot be attached leaves the administration usable; the
    // shared tables then fail to open.
    bool Bind(const QString& administrationFolder, const QString& dataFolder, QString* error = nullptr);
    // Closes every data set and drops the connection.
    void Unbind();
    TDatabase* Database() const { return m_database.get(); }
    // Grows with every Bind, so an administration can tell whether the binding is still its own.
    quint64 Binding() const { return m_binding; }
    QString AdministrationFolder() const { return m_folder; }
    QString DataFolder() const { return m_dataFolder; }

    // Tables and queries.
    TTable* tabContacts = nullptr;
    TQuery* queAdressen = nullptr;
    TTable* tabProducts = nullptr;
    TQuery* queProducts = nullptr;
    TTable* TabCategorie = nullptr;
    TTable* TabLog = nullptr;
    TTable* TabFact = nullptr;
    TTable* TabFL = nullptr;
    TQuery* QueFacturen = nullptr;
    TQuery* queKlaFac = nullptr;
    TQuery* queDatabase2 = nullptr;
    TTable* tabZip = nullptr;
    TTable* tabCalendar = nullptr;
    TTable* Profielen = nullptr;

    // Data sources.
    TDataSource* dsPersPerCat = nullptr;
    TDataSource* dsQueAdressen = nullptr;
    TDataSource* dsProducts = nullptr;
    TDataSource* dsQueProducts = nullptr;
    TDataSource* dsTabFacturen = nullptr;
    TDataSource* dstabFacLijn = nullptr;
    TDataSource* dsQueFacturen = nullptr;
    TDataSource* dsKlaFac = nullptr;
    TDataSource* dsIni = nullptr;

    // The active selection of contacts and of products, 0 for none.
    int activeContactList = 0;
    int activeProductList = 0;
    void ClearActiveLists() { activeContactList = activeProductList = 0; }

    // Labels, formats, masks and alignment of every column of a data set that was opened.
    // Runs after every open of the data sets above; calculated columns are left alone.
    void SetUpDisplay(TDataSet& dataSet);

    // Points the category table at "categorieA" or "categorieP" (closed).
    void PointCategoryTable(const QString& tableName);

    // Copies every row of tableName in folder's admin.sqlite (or this connection's when it is
    // the bound folder) into table, when each of the table's data columns has a column of the
    // same name and type at the same position there. update: a row whose key exists is
    // updated, the others appended; otherwise every row is appended, and one whose key is
    // taken gets the next free identifier. Otherwise the user sees "Velden van tabelllen zijn
    // niet gelijk! Maak gebruik van import functie" and nothing is copied. The table's
    // active state and index are restored.
    bool CopyTableRows(const QString& folder, const QString& tableName, bool update, TTable& table);

    // The scratch table (see data/scratch.h) from the query; the query reads it afterwards.
    bool FillScratchTable(int rowCount, TQuery& query, int repeat);

    // Sets QueFacturen's text from FASTINVOICE and INVOICEGROUPBY of the program settings.
    void BuildPrintQuery(const QString& ovraIni);

    // Clears index, filter and the read structure, so a changed table is read afresh; errors
    // are ignored.
    void ResetTable(TTable& table);
    // After a column was removed: reopens the table so its new structure is read. SQLite
    // frees the space itself; nothing to compact.
    void PackTable(TTable& table);
    // Makes the index on exactly that column current (an empty name: the current module's
    // sort column), else "iadr1" (created when missing). Whether the column had an index.
    bool UseSortIndex(TTable& table, const QString& columnName);
    // "iadr" + N: a case-insensitive index on the column at position N (N = 0 or no number:
    // nothing); an empty name: the primary index on the first column. The table is open
    // afterwards; errors are ignored.
    void BuildIndex(const QString& indexName, TTable& table);
    void CloseAllTables();

    // Postcode completion (see data/postcodes.h) on the bound shared "Post" table.
    QStringList PlacesOfPostcode(const QString& postcode) const;
    QString PostcodeOfPlace(const QString& place) const;

    // The sort column position of the current module; set by the administration.
    std::function<int()> currentSortColumn;
    // The current module (nullptr: none); set by the administration.
    std::function<TModule*()> currentModule;

    // The business rules hung on the tables' events (data/recordrules.h).
    TRecordRules& Rules() const { return *m_rules; }

    // Every data set of the module, in the order CloseAllTables closes them.
    QList<TDataSet*> DataSets() const;

private:
    template <typename T> T* Make(const char* name);
    TDataSource* Source(const char* name, TDataSet* dataSet);

    std::unique_ptr<TDatabase> m_database;
    std::unique_ptr<TRecordRules> m_rules;
    QString m_folder;
    QString m_dataFolder;
    quint64 m_binding = 0;
};
