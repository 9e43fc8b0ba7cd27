#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBox>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/testfolder.h"
#include "foundation/homefolder.h"
#include "foundation/translate.h"

namespace {

class TranslateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetTranslations();
        SetLanguageIndex(1);
        SetUntranslatedMarker(false);
        // key, Dutch, French, German, English
        AddTranslation("Opslaan", "Opslaan", "Enregistrer", "Speichern", "Save");
        AddTranslation("Leeg Engels", "Leeg Engels", "Vide anglais", "", "");
        AddTranslation("Dubbel", "Dubbel", "Premier", "Erste", "First");
        AddTranslation("DUBBEL", "DUBBEL", "Second", "Zweite", "Second");
    }
    void TearDown() override
    {
        ResetTranslations();
        SetLanguageIndex(1);
        SetUntranslatedMarker(false);
    }
};

TEST_F(TranslateTest, LooksUpTheCurrentLanguageIgnoringCase)
{
    struct Case { int language; const char* text; const char* expected; };
    const Case cases[] = {
        {3, "Opslaan", "Save"},        {3, "OPSLAAN", "Save"},     {3, "opslaan", "Save"},
        {2, "Opslaan", "Enregistrer"}, {4, "Opslaan", "Speichern"}, {1, "opslaan", "Opslaan"},
        {0, "OPSLAAN", "Opslaan"},     // unknown language: the key
        {3, "Onbekend woord", "Onbekend woord"},
        {3, "Leeg Engels", "Leeg Engels"},  // no translation in that language
        {2, "Leeg Engels", "Vide anglais"},
        {3, "dubbel", "First"},        // the first equal key wins
    };
    for (const Case& c : cases) {
        SetLanguageIndex(c.language);
        EXPECT_EQ(Translate(QString::fromUtf8(c.text)), QString::fromUtf8(c.expected))
            << c.language << " " << c.text;
    }
}

TEST_F(TranslateTest, TextsWithSeparatorsCarryTheirOwnTranslations)
{
    SetLanguageIndex(2);
    EXPECT_EQ(Translate("Ja|Oui|Yes|Ja|"), "Oui");
    SetLanguageIndex(3);
    EXPECT_EQ(Translate("Ja|Oui||Ja|"), "Ja");  // empty field: the first
    SetLanguageIndex(4);
    EXPECT_EQ(Translate("Ja|Oui|Yes"), "Ja");    // past the last field: the first
    SetLanguageIndex(0);
    EXPECT_EQ(Translate("Ja|Oui|Yes|Ja|"), "Ja");
}

TEST_F(TranslateTest, UntranslatableTextsComeBackTrimmed)
{
    SetLanguageIndex(3);
    SetUntranslatedMarker(true);  // they never count as missing
    const char* const same[] = {"C:\\data", "C:/data", "123", "-", "|", "@", "/", "12,50 %"};
    for (const char* text : same)
        EXPECT_EQ(Translate(text), text) << text;
    EXPECT_EQ(Translate("   "), "");
    EXPECT_EQ(Translate(" 42 "), "42");
    EXPECT_EQ(Translate(""), "");
}

TEST_F(TranslateTest, UntranslatedMarkerShowsMissingEntries)
{
    SetLanguageIndex(3);
    SetUntranslatedMarker(true);
    EXPECT_EQ(Translate("Onbekend"), "(Onbekend)");
    EXPECT_EQ(Translate("Leeg Engels"), "(Leeg Engels)");
    EXPECT_EQ(Translate("Opslaan"), "Save");
    SetUntranslatedMarker(false);
    EXPECT_EQ(Translate("Onbekend"), "Onbekend");
}

TEST_F(TranslateTest, LanguageIndexOfSettingValues)
{
    EXPECT_EQ(LanguageIndexOf(""), 1);
    EXPECT_EQ(LanguageIndexOf("NL"), 1);
    EXPECT_EQ(LanguageIndexOf("f"), 2);
    EXPECT_EQ(LanguageIndexOf(" uk "), 3);
    EXPECT_EQ(LanguageIndexOf("DE"), 4);
    EXPECT_EQ(LanguageIndexOf("EN"), 0);
    SetLanguageIndex(7);
    EXPECT_EQ(LanguageIndex(), 0);
}

TEST_F(TranslateTest, MonthAndDayNamesAreBuiltIn)
{
    SetLanguageIndex(3);
    EXPECT_EQ(MonthName(1), "january");
    EXPECT_EQ(MonthName(2), "february");
    EXPECT_EQ(MonthName(5), "may");
    EXPECT_EQ(DayName(1), "sunday");
    EXPECT_EQ(DayName(8), "sunday");
    EXPECT_EQ(ShortDayName(5), "th");
    SetLanguageIndex(2);
    EXPECT_EQ(MonthName(2), QString::fromUtf8("février"));
    EXPECT_EQ(MonthName(8), QString::fromUtf8("août"));
    EXPECT_EQ(DayName(7), "samedi");
    EXPECT_EQ(ShortDayName(1), "di");
    EXPECT_EQ(ShortDayName(3), "ma");  // dinsdag, not the French "ma"
    SetLanguageIndex(4);
    EXPECT_EQ(MonthName(3), QString::fromUtf8("märz"));
    EXPECT_EQ(MonthName(12), "dezember");
    EXPECT_EQ(DayName(4), "mittwoch");
    SetLanguageIndex(1);
    EXPECT_EQ(MonthName(10), "oktober");
    EXPECT_EQ(ShortDayName(7), "za");
    EXPECT_EQ(MonthName(13), "");
}

TEST_F(TranslateTest, LoadsUtf8FileSkippingCommentsAndShortLines)
{
    LoadTranslations(QStringLiteral(QUILLON_TEST_FIXTURES "strings_utf8.dat"));
    SetLanguageIndex(2);
    EXPECT_EQ(Translate("verwijderen"), QString::fromUtf8("Supprimer l’élément"));
    EXPECT_EQ(Translate("Sluiten"), "Sluiten");  // a "//" line
    EXPECT_EQ(Translate("abc"), "abc");          // too short to be an entry
    EXPECT_EQ(Translate("Half"), QString::fromUtf8("Moitié"));
    EXPECT_EQ(Translate("maart"), "mars");       // built-in entries come first
    SetLanguageIndex(3);
    EXPECT_EQ(Translate("Half"), "Half");        // missing fields are empty
    SetLanguageIndex(4);
    EXPECT_EQ(Translate("Verwijderen"), QString::fromUtf8("Löschen"));
}

TEST_F(TranslateTest, LoadsWindows1252WhenNotUtf8)
{
    TestFolder folder;
    folder.write("dll/Strings.DAT", QByteArray("Sluiten|Sluiten|Fermer l'\xe9l\xe9ment|Close|Schlie\xdf" "en|\r\n"
                                               "Euro|Euro|\x80|\x80|\x80|\n"));
    LoadTranslations(folder.file("dll/Strings.DAT"));
    SetLanguageIndex(2);
    EXPECT_EQ(Translate("Sluiten"), QString::fromUtf8("Fermer l'élément"));
    EXPECT_EQ(Translate("Euro"), QString::fromUtf8("€"));
    SetLanguageIndex(4);
    EXPECT_EQ(Translate("Sluiten"), QString::fromUtf8("Schließen"));
}

TEST_F(TranslateTest, MissingFileLeavesTheTableAndRelativeNamesUseTheHomeFolder)
{
    TestFolder folder;
    LoadTranslations(folder.file("missing.dat"));
    LoadTranslations(folder.path());  // a folder, not a file
    SetLanguageIndex(3);
    EXPECT_EQ(Translate("Opslaan"), "Save");

    folder.write("local.dat", "Bewaren|Bewaren|Garder|Keep|Behalten|\n");
    SetProgramFolder(folder.path());
    LoadTranslations("local.dat");
    SetProgramFolder(QString());
    EXPECT_EQ(Translate("Bewaren"), "Keep");
}

TEST_F(TranslateTest, ShippedTableLoads)
{
    ResetTranslations();
    LoadTranslations(QStringLiteral(QUILLON_SOURCE_DIR "/resources/dll/Strings.DAT"));
    SetLanguageIndex(3);
    EXPECT_EQ(Translate("annuleren"), "Cancel");
    SetLanguageIndex(2);
    EXPECT_EQ(Translate("Lijst met zelfde naam bestaat al"),
              QString::fromUtf8("Une liste portant ce nom existe déjà"));
    SetLanguageIndex(4);
    EXPECT_EQ(Translate("Nee"), "Nein");
    EXPECT_EQ(MonthName(3), QString::fromUtf8("märz"));
}

TEST_F(TranslateTest, TranslatePairsKeepsTheValues)
{
    AddTranslation("Tekstbestanden", "Tekstbestanden", "Fichiers texte", "Textdateien", "Text files");
    AddTranslation("Alle bestanden", "Alle bestanden", "Tous les fichiers", "Alle Dateien", "All files");
    SetLanguageIndex(3);
    EXPECT_EQ(TranslatePairs("Tekstbestanden|*.txt|Alle bestanden|*.*|"),
              "Text files|*.txt|All files|*.*|");
    EXPECT_EQ(TranslatePairs("Tekstbestanden|Opslaan"), "Text files|Opslaan");
    EXPECT_EQ(TranslatePairs(""), "");
}

// A window with one widget of every role that TranslateWindow handles.
struct SampleWindow
{
    QWidget window;
    QLabel* label;
    QPushButton* button;
    QCheckBox* check;
    QRadioButton* radio;
    QGroupBox* group;
    QLineEdit* edit;
    QTabWidget* tabs;
    QComboBox* combo;
    QListWidget* list;
    QTreeWidget* tree;
    QTreeView* platformTree;
    QStandardItemModel platformModel;
    QTableWidget* table;
    QToolBox* toolBox;
    QMenuBar* menuBar;
    QMenu* fileMenu;
    QAction* save;
    QMenu* exportMenu;
    QAction* exportText;

    SampleWindow()
    {
        window.setWindowTitle("Instellingen");
        window.setToolTip("Opslaan");
        auto* layout = new QVBoxLayout(&window);
        menuBar = new QMenuBar(&window);
        layout->setMenuBar(menuBar);
        fileMenu = menuBar->addMenu("&Bestand");
        save = fileMenu->addAction("Opslaan");
        save->setToolTip("Gegevens opslaan");
        fileMenu->addSeparator();
        exportMenu = fileMenu->addMenu("Exporteren");
        exportText = exportMenu->addAction("Tekstbestand");

        label = new QLabel("Naam", &window);
        button = new QPushButton("Opslaan", &window);
        button->setToolTip("Gegevens opslaan");
        check = new QCheckBox("Actief", &window);
        radio = new QRadioButton("Klant", &window);
        group = new QGroupBox("Adres", &window);
        edit = new QLineEdit("Opslaan", &window);  // typed data: never translated
        edit->setPlaceholderText("Naam");
        tabs = new QTabWidget(&window);
        tabs->addTab(new QWidget, "Algemeen");
        tabs->addTab(new QWidget, "Adres");
        tabs->setTabToolTip(1, "Adres");
        combo = new QComboBox(&window);
        combo->addItems({"Klant", "Leverancier", "12"});
        list = new QListWidget(&window);
        list->addItems({"Leverancier", "Klant"});
        tree = new QTreeWidget(&window);
        tree->setHeaderLabels({"Naam"});
        auto* top = new QTreeWidgetItem(tree, QStringList{"Contacten"});
        new QTreeWidgetItem(top, QStringList{"Klant"});
        platformTree = new QTreeView(&window);
        platformModel.appendRow(new QStandardItem("Contacten"));
        platformTree->setModel(&platformModel);
        table = new QTableWidget(2, 2, &window);
        table->setHorizontalHeaderLabels({"Naam", "Adres"});
        table->setItem(0, 0, new QTableWidgetItem("Klant"));  // cell data stays
        toolBox = new QToolBox(&window);
        toolBox->addItem(new QWidget, "Algemeen");
        for (QWidget* w : std::initializer_list<QWidget*>{label, button, check, radio, group, edit,
                                                           tabs, combo, list, tree, platformTree,
                                                           table, toolBox})
            layout->addWidget(w);
    }
};

void AddWindowEntries()
{
    // key, Dutch, French, German, English
    AddTranslation("Instellingen", "Instellingen", "Param\u00e8tres", "Einstellungen", "Settings");
    AddTranslation("&Bestand", "&Bestand", "&Fichier", "&Datei", "&File");
    AddTranslation("Gegevens opslaan", "Gegevens opslaan", "Enregistrer les donn\u00e9es",
                   "Daten speichern", "Save data");
    AddTranslation("Exporteren", "Exporteren", "Exporter", "Exportieren", "Export");
    AddTranslation("Tekstbestand", "Tekstbestand", "Fichier texte", "Textdatei", "Text file");
    AddTranslation("Naam", "Naam", "Nom", "Name", "Name");
    AddTranslation("Actief", "Actief", "Actif", "Aktiv", "Active");
    AddTranslation("Klant", "Klant", "Client", "Kunde", "Customer");
    AddTranslation("Leverancier", "Leverancier", "Fournisseur", "Lieferant", "Supplier");
    AddTranslation("Adres", "Adres", "Adresse", "Adresse", "Address");
    AddTranslation("Algemeen", "Algemeen", "G\u00e9n\u00e9ral", "Allgemein", "General");
    AddTranslation("Contacten", "Contacten", "Contacts", "Kontakte", "Contacts");
    AddTranslation("Plaats", "Plaats", "Ville", "Ort", "City");
}

TEST_F(TranslateTest, TranslateWindowCoversEveryRoleAndKeepsTheDutchSource)
{
    AddWindowEntries();
    SampleWindow s;

    SetLanguageIndex(3);
    TranslateWindow(&s.window);
    EXPECT_EQ(s.window.windowTitle(), "Settings");
    EXPECT_EQ(s.window.toolTip(), "Save");
    EXPECT_EQ(s.label->text(), "Name");
    EXPECT_EQ(s.button->text(), "Save");
    EXPECT_EQ(s.button->toolTip(), "Save data");
    EXPECT_EQ(s.check->text(), "Active");
    EXPECT_EQ(s.radio->text(), "Customer");
    EXPECT_EQ(s.group->title(), "Address");
    EXPECT_EQ(s.edit->text(), "Opslaan");
    EXPECT_EQ(s.edit->placeholderText(), "Name");
    EXPECT_EQ(s.tabs->tabText(0), "General");
    EXPECT_EQ(s.tabs->tabToolTip(1), "Address");
    EXPECT_EQ(s.combo->itemText(0), "Customer");
    EXPECT_EQ(s.combo->itemText(1), "Supplier");
    EXPECT_EQ(s.combo->itemText(2), "12");
    EXPECT_EQ(s.list->item(0)->text(), "Supplier");
    EXPECT_EQ(s.tree->topLevelItem(0)->text(0), "Contacts");
    EXPECT_EQ(s.tree->topLevelItem(0)->child(0)->text(0), "Customer");
    EXPECT_EQ(s.tree->headerItem()->text(0), "Name");
    EXPECT_EQ(s.platformModel.item(0)->text(), "Contacten");  // platform tree: nodes stay
    EXPECT_EQ(s.table->horizontalHeaderItem(0)->text(), "Name");
    EXPECT_EQ(s.table->horizontalHeaderItem(1)->text(), "Address");
    EXPECT_EQ(s.table->item(0, 0)->text(), "Klant");
    EXPECT_EQ(s.toolBox->itemText(0), "General");
    EXPECT_EQ(s.fileMenu->title(), "&File");
    EXPECT_EQ(s.save->text(), "Save");
    EXPECT_EQ(s.save->toolTip(), "Save data");
    EXPECT_EQ(s.exportMenu->title(), "Export");
    EXPECT_EQ(s.exportText->text(), "Text file");

    // Again in French: from the Dutch texts, not from the English ones.
    SetLanguageIndex(2);
    TranslateWindow(&s.window);
    EXPECT_EQ(s.window.windowTitle(), QString::fromUtf8("Paramètres"));
    EXPECT_EQ(s.label->text(), "Nom");
    EXPECT_EQ(s.button->toolTip(), QString::fromUtf8("Enregistrer les données"));
    EXPECT_EQ(s.tabs->tabText(0), QString::fromUtf8("Général"));
    EXPECT_EQ(s.combo->itemText(1), "Fournisseur");
    EXPECT_EQ(s.list->item(1)->text(), "Client");
    EXPECT_EQ(s.tree->topLevelItem(0)->child(0)->text(0), "Client");
    EXPECT_EQ(s.table->horizontalHeaderItem(1)->text(), "Adresse");
    EXPECT_EQ(s.toolBox->itemText(0), QString::fromUtf8("Général"));
    EXPECT_EQ(s.fileMenu->title(), "&Fichier");
    EXPECT_EQ(s.exportText->text(), "Fichier texte");
    EXPECT_EQ(s.edit->text(), "Opslaan");

    // A text the program sets between two translations is the new source.
    s.label->setText("Plaats");
    SetLanguageIndex(4);
    TranslateWindow(&s.window);
    EXPECT_EQ(s.label->text(), "Ort");
    EXPECT_EQ(s.check->text(), "Aktiv");

    SetLanguageIndex(1);
    TranslateWindow(&s.window);
    EXPECT_EQ(s.window.windowTitle(), "Instellingen");
    EXPECT_EQ(s.label->text(), "Plaats");
    EXPECT_EQ(s.combo->itemText(0), "Klant");
    EXPECT_EQ(s.fileMenu->title(), "&Bestand");
    EXPECT_EQ(s.tree->headerItem()->text(0), "Naam");
}

TEST_F(TranslateTest, TranslateMenuReachesSubMenusAndSkipsSeparators)
{
    AddWindowEntries();
    QMenu menu("Exporteren");
    QAction* separator = menu.addSeparator();
    QMenu* sub = menu.addMenu("Klant");
    QAction* leaf = sub->addAction("Tekstbestand");
    leaf->setStatusTip("Naam");
    SetLanguageIndex(3);
    TranslateMenu(&menu);
    EXPECT_EQ(menu.title(), "Export");
    EXPECT_TRUE(separator->text().isEmpty());
    EXPECT_EQ(sub->title(), "Customer");
    EXPECT_EQ(leaf->text(), "Text file");
    EXPECT_EQ(leaf->toolTip(), "Text file");  // follows the text when not set
    EXPECT_EQ(leaf->statusTip(), "Name");
}

TEST_F(TranslateTest, FileDialogTitleAndFilters)
{
    AddTranslation("Bestand openen", "Bestand openen", "Ouvrir un fichier", "Datei \u00f6ffnen", "Open file");
    AddTranslation("Tekstbestanden", "Tekstbestanden", "Fichiers texte", "Textdateien", "Text files");
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle("Bestand openen");
    dialog.setNameFilters({"Tekstbestanden (*.txt *.csv)", "Alles (*)"});
    SetLanguageIndex(3);
    TranslateWindow(&dialog);
    EXPECT_EQ(dialog.windowTitle(), "Open file");
    EXPECT_EQ(dialog.nameFilters(), QStringList({"Text files (*.txt *.csv)", "Alles (*)"}));
    SetLanguageIndex(2);
    TranslateWindow(&dialog);
    EXPECT_EQ(dialog.nameFilters(), QStringList({"Fichiers texte (*.txt *.csv)", "Alles (*)"}));
}

}  // namespace
