#include "store_fixture.h"

#include "data/administration.h"
#include "data/dm.h"
#include "data/postcodes.h"

#include <gtest/gtest.h>

class Postcodes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(fx.MakeAdministration());
        admin = std::make_unique<TAdministration>(fx.folder(), QStringLiteral("Test"), &dm);
        ASSERT_EQ(admin->Status(), asOpen) << admin->StatusReason().toStdString();
    }
    StoreFixture fx;
    Tdm dm;
    std::unique_ptr<TAdministration> admin;
};

TEST_F(Postcodes, MunicipalitiesOfACode)
{
    EXPECT_EQ(dm.PlacesOfPostcode(QStringLiteral("8000")), (QStringList{QStringLiteral("BRUGGE"), QStringLiteral("Koolkerke")}));
    EXPECT_EQ(dm.PlacesOfPostcode(QStringLiteral("4000")),
              (QStringList{QStringLiteral("Glain"), QStringLiteral("LIÈGE"), QStringLiteral("Rocourt")}));
    EXPECT_EQ(dm.PlacesOfPostcode(QStringLiteral(" 9100 ")).size(), 2);
    const char* none[] = {"800", "", "0000", "8000000000", "8000 '; DROP TABLE Post; --"};
    for (const char* code : none)
        EXPECT_TRUE(dm.PlacesOfPostcode(QString::fromUtf8(code)).isEmpty()) << code;
    EXPECT_EQ(dm.Database()->Scalar(QStringLiteral("SELECT COUNT(*) FROM shared.Post")).toInt(), 2777);
}

TEST_F(Postcodes, CodeOfAPlace)
{
    const struct
    {
        const char* place;
        const char* code;
    } cases[] = {
        {"brugge", "8000"}, {"BRUGGE", "8000"}, {"liege", "4000"}, {"Liège", "4000"}, {"eupen", "4700"},
        {"Sint-Niklaas", "9100"}, {"Sint Niklaas", ""}, {"Gen", ""}, {"Gent", "9000"}, {"Nergensland", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dm.PostcodeOfPlace(QString::fromUtf8(c.place)), QString::fromUtf8(c.code)) << c.place;
}
