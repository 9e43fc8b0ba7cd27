#pragma once

#include <QColor>
#include <QRect>
#include <QString>

// The start-up keys of "ovra.ini", read once when the main window is created and shown.

// "Quillon PRO": window captions and messages.
QString ApplicationTitle();

// The administration name that means "none" in DEFADMIN.
QString NoAdministrationName();

// MAINPOS: "MAX|" (maximised) or "|left|top|width|height|".
struct MainPlacement
{
    bool maximised = true;
    int left = 0;
    int top = 0;
    int width = 800;
    int height = 600;
    QRect Bounds() const { return QRect(left, top, width, height); }
};
// present is false for a missing key, which gives a maximised window.
MainPlacement ParseMainPos(const QString& value, bool present = true);
QString FormatMainPos(bool maximised, const QRect& bounds);

// A colour setting holds the integer of a colour in blue-green-red byte order; negative values
// and values above 0xFFFFFF name a system colour and count as not set (invalid QColor).
QColor SettingColor(const QString& value);

struct StartupSettings
{
    int reminderIntervalMs = 2 * 60000;     // TIMERINT minutes; 0 switches reminders off
    QColor mainColor;                       // MAINCOLOR; invalid = the system button face
    MainPlacement placement;                // MAINPOS
    QString mainCurrency = QStringLiteral("BEF");   // MUNT
    QString altCurrency = QStringLiteral("EUR");    // ALTMUNT
    bool euroIsMain = false;
    // The "EuroConvert.ini" lines of the main, the alternative currency and "EUR".
    QString mainCurrencyLine;
    QString altCurrencyLine;
    QString euroLine;
    int languageIndex = 1;                  // LANGUAGE in "NL|F|UK|DE|"; 0 unknown
    QString defaultAdministration = NoAdministrationName();  // DEFADMIN
    double standardVat = 21.0;              // STBTW
    QColor scrollBoxColor;                  // SCROLLBOXCOLOR; overrides mainColor when valid
    bool quickSearchBelow = true;           // LETITDOWN
    bool reminderOn = true;                 // REMINDERON
    bool doBackup = true;                   // DOBACKUP
    bool backupTemplates = true;            // BACKUPTEMPLATES
    QString backupDir;                      // BACKUPDIR as written; empty = the default folder

    bool HasDefaultAdministration() const;
    // The colour of the card panel: SCROLLBOXCOLOR, else MAINCOLOR; invalid = system colour.
    QColor CardPanelColor() const;
};

// Reads every key above from the file (normally OvraIni()); the currency lines come from
// "EuroConvert.ini" in the same folder. A missing file gives the defaults.
StartupSettings ReadStartupSettings(const QString& ovraIni);

// TIMERINT in milliseconds: value x 60000; "0" gives 0; absent, unparsable or negative gives
// 2 minutes.
int ReminderIntervalMs(const QString& value);
// True for "EUR" (any case, blanks ignored) and for the euro sign: how MUNT is read.
bool IsEuroSetting(const QString& code);

// The main window caption: translation of "%s   Administratie: %s " with the title and the
// administration, "(" + translation of "BTWi" + ")" appended when amounts are VAT-inclusive.
QString MainWindowCaption(const QString& administration, bool vatInclusive);
