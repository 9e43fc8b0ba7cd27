#include "data/recorddeletion.h"

#include "data/connection.h"
#include "data/dm.h"
#include "foundation/msgdlg.h"
#include "foundation/translate.h"

int& TRecordCounts::Of(int module)
{
    if (module == 1)
        return contacts;
    if (module == 6)
        return products;
    m_none = 0;
    return m_none;
}

QString ReplacePlaceholders(const QString& text, const QStringList& values)
{
    QString result;
    int next = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('%') && i + 1 < text.size()
            && (text.at(i + 1) == QLatin1Char('s') || text.at(i + 1) == QLatin1Char('d')) && next < values.size()) {
            result += values.at(next++);
            ++i;
        } else {
            result += text.at(i);
        }
    }
    return result;
}

namespace {

QString Text(TDataSet& dataSet, const QString& field)
{
    TField* f = dataSet.FindField(field);
    return f ? f->AsString() : QString();
}

QVariant IdOf(TDataSet& dataSet)
{
    TField* key = dataSet.Field(0);
    return key ? key->AsVariant() : QVariant();
}

bool HasDocuments(TDatabase& database, const QVariant& contactId)
{
    return database.Scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM factuur WHERE F_CID = ?)"), {contactId}).toInt() == 1;
}

void Refuse()
{
    ShowNotice(NL("Record kan niet verwijderd worden"), true, NL("OK"));
}

} // namespace

bool CheckBeforeDelete(const TDeletion& deletion)
{
    TDataSet& dataSet = *deletion.dataSet;
    if (!dataSet.Active() || dataSet.IsEmpty())
        return false;
    if (deletion.module == 7) {
        if (TField* locked = dataSet.FindField(QStringLiteral("F_LOCKED")); locked && locked->AsBoolean()) {
            ShowNotice(NL("Dit verkoopsdocument is vergrendeld en kan daardoor niet gewijzigd worden. U kunt dit "
                          "document ontgrendelen door het hangslot uit te klikken"),
                       true, NL("OK"));
            return false;
        }
        return true;
    }
    if (deletion.module == 1 && dataSet.Database() && HasDocuments(*dataSet.Database(), IdOf(dataSet))) {
        ShowNotice(ReplacePlaceholders(Translate(NL("Er zijn facturen voor contact %s, dit contact kan niet verwijderd worden!")),
                                    {Text(dataSet, QStringLiteral("ComName"))}),
                   false, NL("OK"));
        return false;
    }
    return true;
}

bool DeleteCheckedRecord(const TDeletion& deletion)
{
    TDataSet& dataSet = *deletion.dataSet;
    if (!dataSet.Active() || dataSet.IsEmpty())
        return false;
    const bool listed = deletion.module == 1 || deletion.module == 6;
    const QString lists = listed ? Text(dataSet, QStringLiteral("LISTS")) : QString();
    if (deletion.module == 7) {
        TDatabase* database = dataSet.Database();
        if (!database || !database->Transaction()) {
            Refuse();
            return false;
        }
        const QVariant id = IdOf(dataSet);
        if (!database->Exec(QStringLiteral("DELETE FROM faclijn WHERE FL_FNR = ?"), {id}) || !dataSet.Delete()) {
            database->Rollback();
            Refuse();
            return false;
        }
        if (!database->Commit()) {
            Refuse();
            return false;
        }
        if (deletion.dm && deletion.dm->TabFL && deletion.dm->TabFL->Active())
            deletion.dm->TabFL->Refresh();
        return true;
    }
    if (!dataSet.Delete()) {
        Refuse();
        return false;
    }
    if (listed) {
        for (int i = 0; i < lists.size(); ++i) {
            if (lists.at(i) == QLatin1Char('1') && deletion.lists.adjustMemberCount)
                deletion.lists.adjustMemberCount(deletion.module, i + 1, -1);
        }
        if (deletion.counts)
            deletion.counts->Of(deletion.module) -= 1;
    }
    return true;
}

bool DeleteCurrentRecord(const TDeletion& deletion)
{
    return CheckBeforeDelete(deletion) && DeleteCheckedRecord(deletion);
}

int DeleteAllRecords(const TDeletion& deletion, const TDeleteProgress& progress)
{
    TDataSet& dataSet = *deletion.dataSet;
    int maximum = dataSet.RecordCount();
    if (deletion.module != 7) {
        const int list = deletion.lists.ActiveList(deletion.module);
        if (list > 0)
            maximum = deletion.lists.ActiveListCount(deletion.module);
        else if (deletion.counts)
            maximum = deletion.counts->Of(deletion.module);
    }
    if (progress.begin)
        progress.begin(maximum);
    dataSet.Refresh();
    int deleted = 0;
    // By position: a record that stays (refused or failed) is passed, the walk never returns
    // to it.
    int row = 0;
    while (row < dataSet.RecordCount()) {
        if (!dataSet.SetRecNo(row + 1))
            break;
        if (CheckBeforeDelete(deletion) && DeleteCheckedRecord(deletion))
            ++deleted;
        else
            ++row;
        if (progress.step && !progress.step())
            break;
    }
    if (progress.end)
        progress.end();
    return deleted;
}

int DeleteMarkedRecords(const TDeletion& deletion, const QList<TBookmark>& rows)
{
    int deleted = 0;
    for (const TBookmark& row : rows) {
        if (!deletion.dataSet->GotoBookmark(row))
            continue;
        if (DeleteCurrentRecord(deletion))
            ++deleted;
    }
    return deleted;
}

int DeleteRecords(const TDeletion& deletion, const TDeleteRequest& request)
{
    TDataSet& dataSet = *deletion.dataSet;
    if (!dataSet.Active())
        return 0;
    if (request.allSelected) {
        QString question;
        if (deletion.module != 7 && deletion.lists.ActiveList(deletion.module) > 0)
            question = ReplacePlaceholders(Translate(NL("Bent u zeker dat u alle %s in selectie <%s> wil verwijderen?")),
                                        {request.plural, request.moduleTitle});
        else
            question = ReplacePlaceholders(Translate(NL("Bent u zeker dat u alle %s wil verwijderen?")), {request.plural});
        if (Ask(question, false) != AskFirst)
            return 0;
        return DeleteAllRecords(deletion, request.progress);
    }
    if (request.marked.size() > 1 && (deletion.module == 1 || deletion.module == 6 || deletion.module == 7)) {
        const QString question = ReplacePlaceholders(Translate(NL("Bent u zeker dat u deze <%d> %s wilt verwijderen?")),
                                                  {QString::number(request.marked.size()), request.plural});
        if (Ask(question, false) != AskFirst)
            return 0;
        return DeleteMarkedRecords(deletion, request.marked);
    }
    if (dataSet.IsEmpty())
        return 0;
    QString what;
    if (deletion.module == 1)
        what = QStringLiteral("<") + Text(dataSet, QStringLiteral("ComName"));
    else if (deletion.module == 6)
        what = Translate(NL("product <")) + (dataSet.FieldCount() > 1 ? dataSet.Field(1)->AsString() : QString());
    else if (deletion.module == 7)
        what = Translate(NL("de factuur met nummer <")) + (dataSet.FieldCount() > 1 ? dataSet.Field(1)->AsString() : QString());
    else
        what = QStringLiteral("<") + (dataSet.FieldCount() > 1 ? dataSet.Field(1)->AsString() : QString());
    const QString question = ReplacePlaceholders(Translate(NL("Bent u zeker dat u %s> wil verwijderen?")), {what});
    if (Ask(question, false) != AskFirst)
        return 0;
    return DeleteCurrentRecord(deletion) ? 1 : 0;
}
