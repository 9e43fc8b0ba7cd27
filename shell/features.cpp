#include "shell/features.h"

#include <QHash>

#include <array>

namespace {

std::array<bool, size_t(TFeature::Count)>& Availability()
{
    static std::array<bool, size_t(TFeature::Count)> available = [] {
        std::array<bool, size_t(TFeature::Count)> a{};
        // What the main window carries itself.
        for (TFeature f : {TFeature::Contacts, TFeature::Products, TFeature::Explorer,
                           TFeature::CharacterMap, TFeature::Help, TFeature::Info, TFeature::Exit})
            a[size_t(f)] = true;
        return a;
    }();
    return available;
}

QString Key(const QString& caption, int modules)
{
    return caption + QLatin1Char('#') + QString::number(modules);
}

const QHash<QString, TFeature>& MenuFeatures()
{
    static const QHash<QString, TFeature> features = [] {
        struct Entry
        {
            const char* caption;
            int modules;
            TFeature feature;
        };
        static const Entry entries[] = {
            // File menu
            {"Nieuw", 28, TFeature::CardDesigner},
            {"Openen", 28, TFeature::CardDesigner},
            {"Verwijderen", 28, TFeature::CardDesigner},
            {"&Exporteren", 169, TFeature::ImportExport},
            {"&Importeren", 169, TFeature::ImportExport},
            {"Facturen (Verkoop)", 7, TFeature::SalesDocuments},
            {"Offertes", 7, TFeature::SalesDocuments},
            {"Bestelbons", 7, TFeature::SalesDocuments},
            {"Leveringsbons", 7, TFeature::SalesDocuments},
            {"Creditnota's", 7, TFeature::SalesDocuments},
            {"Facturen (Aankoop)", 7, TFeature::SalesDocuments},
            {"Globalisatiefacturen", 7, TFeature::SalesDocuments},
            {"Sjablonen", 7, TFeature::SalesDocuments},
            {"Lijsten en Enveloppen", 169, TFeature::ListDesigner},
            {"Etiketten", 16, TFeature::ListDesigner},
            {"Agendas", 1, TFeature::ListDesigner},
            {"Afdrukken", 7, TFeature::Print},
            {"Afdrukvoorbeeld", 7, TFeature::Print},
            {"Word-documenten", 1, TFeature::WordMerge},
            {"E-&mail", 1, TFeature::Email},
            {"Evenementen", 5, TFeature::Calendar},
            {"Instellingen", 16759, TFeature::SettingsDialog},
            {"Afdrukken", 5, TFeature::Calendar},
            {"Scherm en database aanpassen", 169, TFeature::CardDesigner},
            {"Opslaan", 28, TFeature::CardDesigner},
            {"Opslaan als", 28, TFeature::CardDesigner},
            {"&Afsluiten", 15679, TFeature::Exit},
            // Edit menu
            {"Toevoegen", 15679, TFeature::Explorer},
            {"&Dupliceren", 1679, TFeature::DocumentTools},
            {"Verwijderen", 15679, TFeature::Explorer},
            {"Tabvolgorde", 28, TFeature::CardDesigner},
            {"Document van Sjabloon", 7, TFeature::SalesDocuments},
            {"Factuur van offerte", 7, TFeature::DocumentTools},
            {"Bestelbon van Offerte", 7, TFeature::DocumentTools},
            {"Leveringsbon van factuur", 7, TFeature::DocumentTools},
            {"Creditnota van factuur", 7, TFeature::DocumentTools},
            {"Document van huidige Sjabloon", 7, TFeature::SalesDocuments},
            {"Sjabloon van document", 7, TFeature::SalesDocuments},
            {"Globalisatiefactuur afsluiten", 7, TFeature::DocumentTools},
            {"Aan laatste factuur toevoegen", 7, TFeature::DocumentTools},
            {"Alles selecteren", 16728, TFeature::Explorer},
            {"Selectie opheffen", 16728, TFeature::Explorer},
            {"Afspraak toevoegen", 1, TFeature::Calendar},
            // Search menu
            {"Zoeken", 15679, TFeature::Search},
            {"Vervangen", 169, TFeature::Replace},
            // Extra menu
            {"Documenten", 17, TFeature::SalesDocuments},
            {"Omzetgrafiek", 7, TFeature::DocumentTools},
            {"Facturatiejaren", 7, TFeature::DocumentTools},
            {"Overzicht", 7, TFeature::DocumentTools},
            {"Te bestellen...", 6, TFeature::DocumentTools},
            {"Document opmaken", 1, TFeature::SalesDocuments},
            {"Historiek", 17, TFeature::History},
            {"Lopende afspraken", 15679, TFeature::Reminders},
            {"Speciale tekens", 1679, TFeature::CharacterMap},
            {"Productprijs", 6, TFeature::DocumentTools},
            {"Scherm Lay-out", 169, TFeature::CardDesigner},
            {"Adresblok", 1, TFeature::AddressBlock},
        };
        QHash<QString, TFeature> map;
        for (const Entry& e : entries)
            map.insert(Key(QString::fromUtf8(e.caption), e.modules), e.feature);
        return map;
    }();
    return features;
}

} // namespace

bool IsFeatureAvailable(TFeature feature)
{
    return feature != TFeature::Count && Availability()[size_t(feature)];
}

void SetFeatureAvailable(TFeature feature, bool available)
{
    if (feature != TFeature::Count)
        Availability()[size_t(feature)] = available;
}

TFeature FeatureOfMenuItem(const QString& caption, int modules)
{
    return MenuFeatures().value(Key(caption, modules), TFeature::Count);
}

bool IsMenuItemAvailable(const QString& caption, int modules)
{
    if (caption == QLatin1String("-"))
        return true;
    return IsFeatureAvailable(FeatureOfMenuItem(caption, modules));
}
