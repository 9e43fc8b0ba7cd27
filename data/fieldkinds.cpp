#include "data/fieldkinds.h"

#include "data/schema.h"
#include "foundation/translate.h"

int TreeIconOfDataType(int dataType)
{
    switch (dataType) {
    case dtSmallInt:
    case dtInteger:
    case dtAutoInc:
        return 7;
    case dtBoolean:
        return 8;
    case dtFloat:
        return 9;
    case dtMoney:
        return 23;
    case dtDate:
        return 19;
    case dtTime:
        return 11;
    case dtMemo:
        return 12;
    case dtGraphic:
        return 13;
    default:
        return 6;
    }
}

int TreeIconOfKind(int kind, int dataType)
{
    switch (kind) {
    case fkNotes:
        return 12;
    case fkText:
        return 6;
    case fkYesNo:
        return 8;
    case fkPicture:
    case fkIcon:
        return 13;
    case fkExternalPicture:
        return 37;
    case fkDate:
    case fkOldDate:
        return 19;
    case fkTime:
        return 11;
    case fkList:
    case fkList2:
    case 111:
        return 24;
    case 124:
        return 60;
    case fkTelephone:
        return 14;
    case fkGsm:
        return 15;
    case fkFax:
        return 16;
    case fkEmail:
        return 17;
    case fkWeb:
        return 18;
    case fkVatNumber:
        return 20;
    case fkCreditCard:
        return 21;
    case fkBankAccount:
        return 22;
    case fkPlace:
        return 25;
    case fkPrice:
    case fkEuroCompanion:
        return 10;
    case fkProductDescription:
        return 41;
    default:
        return TreeIconOfDataType(dataType);
    }
}

QString TypeDisplayName(int dataType, int kind)
{
    QString name;
    switch (kind) {
    case fkExternalPicture:
        name = NL("Externe afbeelding");
        break;
    case fkList:
    case fkList2:
        name = NL("Lijstveld");
        break;
    case fkIcon:
        name = NL("Icoon");
        break;
    case fkTelephone:
        name = NL("Telefoon");
        break;
    case fkGsm:
        name = NL("GSM");
        break;
    case fkFax:
        name = NL("Fax");
        break;
    case fkEmail:
        name = NL("E-mail");
        break;
    case fkWeb:
        name = NL("Web");
        break;
    case fkVatNumber:
        name = NL("BTW");
        break;
    case fkCreditCard:
        name = NL("CreditCardNr");
        break;
    case fkBankAccount:
        name = NL("RekeningNr");
        break;
    case fkProductDescription:
        name = NL("Productomschrijving");
        break;
    default:
        switch (dataType) {
        case dtText:
            name = NL("Tekst");
            break;
        case dtInteger:
            name = NL("Numeriek");
            break;
        case dtBoolean:
            name = NL("Ja/Nee");
            break;
        case dtFloat:
            name = NL("Numeriek met cijfers na de komma");
            break;
        case dtMoney:
            name = NL("Valuta");
            break;
        case dtDate:
            name = NL("Datum");
            break;
        case dtTime:
            name = NL("Tijd");
            break;
        case dtMemo:
            name = NL("Notities");
            break;
        case dtGraphic:
            name = NL("Afbeelding");
            break;
        default:
            break;
        }
    }
    return name.isEmpty() ? name : Translate(name);
}

int StoredSize(int dataType, int size)
{
    return dataType == dtText || dataType == dtMemo ? size : 0;
}

QString NewColumnSqlType(int dataType, int size)
{
    switch (dataType) {
    case dtText:
    case dtInteger:
    case dtBoolean:
    case dtFloat:
    case dtMoney:
    case dtDate:
    case dtTime:
    case dtBlob:
    case dtMemo:
    case dtGraphic:
        // The declared type carries the code and size, so the table reads them back itself.
        return DeclaredTypeOf(dataType, size);
    default:
        return QString();
    }
}

namespace {

NewFieldChoice Choice(int code, const QString& text, int dataType, int kind, SizeBoxState box, int size = 0)
{
    NewFieldChoice c;
    c.code = code;
    c.text = text;
    c.dataType = dataType;
    c.kind = kind;
    c.sizeBox = box;
    c.size = size;
    return c;
}

const QList<NewFieldChoice>& AllChoices()
{
    using S = SizeBoxState;
    static const QList<NewFieldChoice> choices{
        Choice(6, NL("Tekst"), dtText, fkText, S::Enabled, 30),
        Choice(7, NL("Numeriek"), dtInteger, fkNumber, S::Disabled),
        Choice(9, NL("Numeriek met cijfers na de komma"), dtFloat, fkNumber, S::Disabled),
        Choice(8, NL("Ja/Nee"), dtBoolean, fkYesNo, S::Disabled),
        Choice(23, NL("Valuta"), dtMoney, fkNumber, S::Disabled),
        Choice(19, NL("Datum"), dtDate, fkDate, S::Disabled),
        Choice(11, NL("Tijd"), dtTime, fkTime, S::Disabled),
        Choice(12, NL("Notities"), dtMemo, fkNotes, S::Disabled),
        Choice(13, NL("Afbeelding"), dtGraphic, fkPicture, S::Disabled),
        Choice(14, NL("Telefoon"), dtText, fkTelephone, S::Enabled, 20),
        Choice(15, NL("GSM"), dtText, fkGsm, S::Enabled, 20),
        Choice(16, NL("Fax"), dtText, fkFax, S::Enabled, 20),
        Choice(17, NL("E-mail"), dtText, fkEmail, S::Enabled, 50),
        Choice(18, NL("Web"), dtText, fkWeb, S::Enabled, 50),
        Choice(20, NL("BTW"), dtText, fkVatNumber, S::Fixed, 20),
        Choice(21, NL("CreditCard"), dtText, fkCreditCard, S::Fixed, 20),
        Choice(22, NL("Rekening"), dtText, fkBankAccount, S::Fixed, 20),
        Choice(24, NL("Lijstveld"), dtText, fkList, S::Enabled, 30),
        Choice(25, NL("Plaatsveld"), dtText, fkPlace, S::Enabled, 30),
        Choice(37, NL("Externe afbeelding"), dtText, fkExternalPicture, S::Enabled, 150),
        Choice(10, NL("Productprijs"), dtFloat, fkPrice, S::Disabled),
        Choice(41, NL("Productomschrijving"), dtText, fkProductDescription, S::Enabled, 255),
    };
    return choices;
}

bool IsProductChoice(int code)
{
    return code == 10 || code == 41;
}

} // namespace

NewFieldChoice NewFieldChoiceOfCode(int code)
{
    for (const NewFieldChoice& c : AllChoices())
        if (c.code == code)
            return c;
    if (code == 38)
        return Choice(38, QString(), dtText, fkPlainText, SizeBoxState::Enabled, 30);
    return Choice(code, QString(), dtText, fkFixed, SizeBoxState::Enabled, 30);
}

QList<NewFieldChoice> NewFieldChoices(int module)
{
    QList<NewFieldChoice> result;
    for (const NewFieldChoice& c : AllChoices())
        if (module == 8 || !IsProductChoice(c.code))
            result.append(c);
    return result;
}
