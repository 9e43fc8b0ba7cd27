#include "shell/startupsettings.h"

#include "foundation/currency.h"
#include "foundation/numbers.h"
#include "foundation/records.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"
#include "shell/messagesink.h"

#include <QFileInfo>

#include <limits>

namespace {

constexpr int kDefaultReminderMinutes = 2;

int PositiveOr(const QString& text, int defaultValue)
{
    const int value = IntOrDefault(text.trimmed(), defaultValue);
    return value > 0 ? value : defaultValue;
}

} // namespace

QString ApplicationTitle()
{
    return QStringLiteral("Quillon PRO");
}

QString NoAdministrationName()
{
    return QStringLiteral("NIL999");
}

MainPlacement ParseMainPos(const QString& value, bool present)
{
    MainPlacement placement;
    if (!present || FieldOf(value, 1).trimmed().compare(QLatin1String("MAX"), Qt::CaseInsensitive) == 0)
        return placement;
    placement.maximised = false;
    placement.left = IntOrDefault(FieldOf(value, 2).trimmed(), 0);
    placement.top = IntOrDefault(FieldOf(value, 3).trimmed(), 0);
    // A window without area could never be found again.
    placement.width = PositiveOr(FieldOf(value, 4), 800);
    placement.height = PositiveOr(FieldOf(value, 5), 600);
    return placement;
}

QString FormatMainPos(bool maximised, const QRect& bounds)
{
    if (maximised)
        return QStringLiteral("MAX|");
    return QStringLiteral("|%1|%2|%3|%4|")
        .arg(bounds.left()).arg(bounds.top()).arg(bounds.width()).arg(bounds.height());
}

QColor SettingColor(const QString& value)
{
    bool ok = false;
    const qlonglong number = value.trimmed().toLongLong(&ok);
    if (!ok || number < 0 || number > 0xFFFFFF)
        return {};
    return QColor(int(number & 0xFF), int((number >> 8) & 0xFF), int((number >> 16) & 0xFF));
}

int ReminderIntervalMs(const QString& value)
{
    bool ok = false;
    const qlonglong minutes = value.trimmed().toLongLong(&ok);
    if (!ok || minutes < 0)
        return kDefaultReminderMinutes * 60000;
    return int(std::min<qlonglong>(minutes * 60000, std::numeric_limits<int>::max()));
}

bool IsEuroSetting(const QString& code)
{
    const QString trimmed = code.trimmed();
    return trimmed.compare(QLatin1String("EUR"), Qt::CaseInsensitive) == 0
        || trimmed == QString(QChar(0x20AC));
}

bool StartupSettings::HasDefaultAdministration() const
{
    return !defaultAdministration.isEmpty()
        && defaultAdministration.compare(NoAdministrationName(), Qt::CaseInsensitive) != 0;
}

QColor StartupSettings::CardPanelColor() const
{
    return scrollBoxColor.isValid() ? scrollBoxColor : mainColor;
}

StartupSettings ReadStartupSettings(const QString& ovraIni)
{
    StartupSettings s;
    const auto read = [&ovraIni](const char* key, bool* found = nullptr) {
        return ReadSetting(ovraIni, QString::fromLatin1(key), found);
    };
    bool found = false;
    const QString timer = read("TIMERINT", &found);
    s.reminderIntervalMs = found ? ReminderIntervalMs(timer) : kDefaultReminderMinutes * 60000;
    s.mainColor = SettingColor(read("MAINCOLOR"));
    const QString mainPos = read("MAINPOS", &found);
    s.placement = ParseMainPos(mainPos, found);

    s.mainCurrency = read("MUNT", &found);
    if (!found)
        s.mainCurrency = QStringLiteral("BEF");
    s.altCurrency = read("ALTMUNT", &found);
    if (!found)
        s.altCurrency = QStringLiteral("EUR");
    const QString folder = QFileInfo(ovraIni).absolutePath() + QLatin1Char('/');
    s.mainCurrencyLine = CurrencyLine(folder, s.mainCurrency, QString());
    s.altCurrencyLine = CurrencyLine(folder, s.altCurrency, QString());
    s.euroLine = CurrencyLine(folder, QStringLiteral("EUR"), QString());
    s.euroIsMain = IsEuroSetting(s.mainCurrency);

    s.languageIndex = LanguageIndexOf(read("LANGUAGE"));
    s.defaultAdministration = read("DEFADMIN", &found);
    if (!found)
        s.defaultAdministration = NoAdministrationName();
    s.standardVat = ReadSettingFloat(ovraIni, QStringLiteral("STBTW"), 21.0);
    s.scrollBoxColor = SettingColor(read("SCROLLBOXCOLOR"));
    s.quickSearchBelow = ReadSettingBool(ovraIni, QStringLiteral("LETITDOWN"));
    s.reminderOn = ReadSettingBool(ovraIni, QStringLiteral("REMINDERON"));
    s.doBackup = ReadSettingBool(ovraIni, QStringLiteral("DOBACKUP"));
    s.backupTemplates = ReadSettingBool(ovraIni, QStringLiteral("BACKUPTEMPLATES"));
    s.backupDir = read("BACKUPDIR");
    return s;
}

QString MainWindowCaption(const QString& administration, bool vatInclusive)
{
    QString caption = FillPlaceholders(Translate(NL("%s   Administratie: %s ")),
                                       {ApplicationTitle(), administration});
    if (vatInclusive)
        caption += QLatin1Char('(') + Translate(NL("BTWi")) + QLatin1Char(')');
    return caption;
}
