#include "foundation/columns.h"

#include "foundation/records.h"
#include "foundation/textutil.h"

namespace {

// The system's own columns, as '|' records; the joins leave empty fields on purpose, so an
// empty name always counts as a system column.
const QString& SystemColumns(int kind)
{
    static const QString kind0 = QStringLiteral(
        "FLX_VAT|FLX_AFSOORT|P_SUPNR|P_ID|ICON|INLIST|LISTS|FL_ID|LISTS_1|INLIST_1|FL_PID|FL_FNR|F_ID|F_CID|F_VATCOEF|XNRP|ICON_1|W_INDEX|W_PAGETYPE|W_PAGELEVEL|W_MENULEVEL|W_SPECIALPAGEID|");
    static const QString kind1 = kind0 + QStringLiteral(
        "|PNR||FL_FNR|FL_PID|FL_FNR|F_ID|KLANTNAAM|totvalincTB|FNR+DATUM|CAL_CNR|CAL_PERYEAR|CAL_FULL|CAL_PERYEARDATE|CAL_SHOW|CAL_EVENT|CAL_DISPLAYED|F_CID|F_TYPE|");
    static const QString kind2 = kind0 + QStringLiteral(
        "|VATNR|ACCOUNTNR|CREDITCARD|HR|POSITION|TELEPHONE OFFICE|");
    static const QString none;
    switch (kind) {
    case 0:
        return kind0;
    case 1:
        return kind1;
    case 2:
        return kind2;
    default:
        return none;
    }
}

} // namespace

bool IsUserColumn(const QString& name, int kind)
{
    return IndexInList(SystemColumns(kind), name.toUpper()) == 0;
}

bool IsListableField(const QString& name, int dataTypeCode)
{
    if (name.isEmpty() || dataTypeCode == kMemoDataType || dataTypeCode == kGraphicDataType)
        return false;
    return IsUserColumn(name.toUpper(), 0);
}
