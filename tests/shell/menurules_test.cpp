#include <gtest/gtest.h>

#include "shell/menurules.h"

namespace {

QStringList Captions(const QList<MenuItemDef>& items)
{
    QStringList captions;
    for (const MenuItemDef& item : items)
        captions.append(item.caption);
    return captions;
}

TEST(MenuRule, DigitsOfTheNumberNameTheModules)
{
    const struct { int modules; int module; bool visible; } cases[] = {
        {28, 2, true}, {28, 8, true}, {28, 1, false}, {169, 9, true}, {169, 6, true},
        {169, 7, false}, {16759, 5, true}, {16759, 3, false}, {7, 7, true}, {1, 100, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsMenuItemVisible(c.modules, c.module), c.visible) << c.modules << " in " << c.module;
}

TEST(MenuRule, ProductsShowLabelsButNoDiaries)
{
    const QStringList products = Captions(VisibleMenuItems(FileMenuItems(), 6));
    EXPECT_TRUE(products.contains(QStringLiteral("Etiketten")));
    EXPECT_FALSE(products.contains(QStringLiteral("Agendas")));
    EXPECT_FALSE(products.contains(QStringLiteral("Word-documenten")));
    EXPECT_FALSE(products.contains(QStringLiteral("Offertes")));
    EXPECT_TRUE(products.contains(QStringLiteral("&Afsluiten")));
    const QStringList contacts = Captions(VisibleMenuItems(FileMenuItems(), 1));
    EXPECT_TRUE(contacts.contains(QStringLiteral("Agendas")));
    EXPECT_TRUE(contacts.contains(QStringLiteral("Etiketten")));
    const QStringList designer = Captions(VisibleMenuItems(FileMenuItems(), 2));
    EXPECT_EQ(designer.first(), QStringLiteral("Nieuw"));
    EXPECT_FALSE(designer.contains(QStringLiteral("Instellingen")));
}

TEST(MenuTables, HoldTheItemsAndSubItems)
{
    EXPECT_EQ(FileMenuItems().size(), 32);
    EXPECT_EQ(EditMenuItems().size(), 19);
    EXPECT_EQ(SearchMenuItems().size(), 2);
    EXPECT_EQ(ExtraMenuItems().size(), 16);
    const MenuItemDef* printing = FindMenuItem(FileMenuItems(), QStringLiteral("Afdrukken"), 5);
    ASSERT_NE(printing, nullptr);
    EXPECT_NE(printing, FindMenuItem(FileMenuItems(), QStringLiteral("Afdrukken"), 7));
    const MenuItemDef* compose = FindMenuItem(ExtraMenuItems(), QStringLiteral("Document opmaken"));
    ASSERT_NE(compose, nullptr);
    EXPECT_EQ(Captions(compose->children),
              (QStringList{"Factuur", "Offerte", "Creditnota", "Bestelbon", "Globalisatiefactuur",
                           "Leveringsbon"}));
    for (const MenuItemDef& child : compose->children)
        EXPECT_EQ(child.modules, 0);
    const MenuItemDef* address = FindMenuItem(ExtraMenuItems(), QStringLiteral("Adresblok"));
    ASSERT_NE(address, nullptr);
    EXPECT_TRUE(address->children.at(2).IsSeparator());
    // Separators follow the rule like items: module 7 sees the one of 167928.
    EXPECT_TRUE(VisibleMenuItems(EditMenuItems(), 7).at(13).IsSeparator());
}

TEST(ModuleToolbar, PicturesImagesAndPlaces)
{
    const ModuleToolbar products = ModuleToolbarOf(6);
    EXPECT_EQ(products.picture, QStringLiteral("products.bmp"));
    EXPECT_EQ((QList<int>{products.file, products.edit, products.search, products.extra,
                          products.selections, products.help}),
              (QList<int>{6, 53, 41, 29, 31, 4}));
    EXPECT_TRUE(products.showSelections);
    EXPECT_EQ(products.helpX, 330);
    const ModuleToolbar mail = ModuleToolbarOf(4);
    EXPECT_EQ(mail.picture, QStringLiteral("emails.bmp"));
    EXPECT_EQ(mail.extra, 61);
    EXPECT_EQ(mail.selections, 52);
    EXPECT_FALSE(mail.showSelections);
    EXPECT_EQ(mail.helpX, 264);
    EXPECT_EQ(ModuleToolbarOf(8).extra, ModuleToolbarOf(2).extra);
    EXPECT_EQ(ModuleToolbarOf(3).extra, 54);
    EXPECT_EQ(ModuleToolbarOf(5).picture, QStringLiteral("cal.bmp"));
    EXPECT_EQ(ModuleToolbarOf(7).help, 18);
    EXPECT_EQ(ModuleToolbarOf(1).file, 5);
}

TEST(ModuleToolbar, CaptionsChangeWithTheModule)
{
    EXPECT_EQ(SelectionsButtonCaption(4), QStringLiteral("&Tinsel"));
    EXPECT_EQ(SelectionsButtonCaption(1), QStringLiteral("&Selecties"));
    EXPECT_EQ(SearchButtonCaption(3), QStringLiteral("&Veld"));
    EXPECT_EQ(SearchButtonCaption(4), QStringLiteral("&Veld"));
    EXPECT_EQ(SearchButtonCaption(6), QStringLiteral("&Zoeken"));
    EXPECT_EQ(ExtraButtonCaption(3), QStringLiteral("&Band"));
    EXPECT_EQ(ExtraButtonCaption(4), QStringLiteral("&Systeem"));
    EXPECT_EQ(ExtraButtonCaption(7), QStringLiteral("&Extra"));
}

TEST(Accelerator, CharacterAfterTheAmpersand)
{
    EXPECT_EQ(AcceleratorOf(QStringLiteral("Fact&uren")), QLatin1Char('u'));
    EXPECT_EQ(AcceleratorOf(QStringLiteral("E&xtra")), QLatin1Char('x'));
    EXPECT_TRUE(AcceleratorOf(QStringLiteral("Bestand")).isNull());
    EXPECT_TRUE(AcceleratorOf(QStringLiteral("Bestand&")).isNull());
    EXPECT_EQ(AcceleratorOf(QStringLiteral("A&&B &c")), QLatin1Char('c'));
}

} // namespace
