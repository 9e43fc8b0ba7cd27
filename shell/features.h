#pragma once

#include <QString>

// The program's commands and work areas grouped by the feature that carries them. A feature
// whose window is not built yet keeps its buttons, menu items and pages hidden, so the user
// never meets a command that does nothing. This is the one place that says what is built:
// a feature switches itself on here when it lands.
enum class TFeature {
    Contacts,
    Products,
    SalesDocuments,   // the document page
    Calendar,
    Reminders,
    CardDesigner,
    ListDesigner,     // lists, envelopes, labels and organisers
    EmailDesigner,
    Email,
    WordMerge,
    Selections,
    SettingsDialog,
    Search,
    Replace,
    History,
    Print,            // printing and preview of documents and lists
    ImportExport,
    Explorer,         // the explorer grid and its commands
    DocumentTools,    // document conversions, turnover, invoicing years, stock
    CharacterMap,
    AddressBlock,
    Help,
    Info,
    Exit,
    Count
};

bool IsFeatureAvailable(TFeature feature);
// For the feature itself when it lands, and for tests.
void SetFeatureAvailable(TFeature feature, bool available);

// The feature a top-level item of the main window's menus belongs to, by its Dutch caption
// and module number (the file menu holds "Afdrukken" twice). Unknown captions count as
// unavailable.
TFeature FeatureOfMenuItem(const QString& caption, int modules);
// Whether the item may be shown at all: its feature is built.
bool IsMenuItemAvailable(const QString& caption, int modules);
