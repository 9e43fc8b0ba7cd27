#include "store_fixture.h"

#include "data/administration.h"
#include "data/dm.h"
#include "data/postcodes.h"
#include "data/shareddb.h"

#include <QDir>
#include <QFile>

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

TEST(SharedDatabase, CreatedOnceWithTheShippedPostcodes)
{
    StoreFixture fx;
    QString error;
    ASSERT_TRUE(EnsureSharedDatabase(fx.dataFolder(), &error)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(SharedDatabaseFile(fx.dataFolder()) + QStringLiteral(".new")));
    {
        QDir().mkpath(fx.folder());
        auto db = fx.OpenDatabase();
        ASSERT_TRUE(db);
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM shared.Post")).toInt(), 2777);
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM shared.Post WHERE code = '1000'")).toInt(), 1);
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM shared.Calendar")).toInt(), 0);
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT name FROM pragma_table_info('profiles', 'shared') WHERE cid = 1")).toString(),
                  QStringLiteral("admin"));
        ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO shared.profiles (id, admin) VALUES (1, 'Test')")));
    }
    // An existing file is kept as it is.
    ASSERT_TRUE(EnsureSharedDatabase(fx.dataFolder(), &error));
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM shared.profiles")).toInt(), 1);
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM shared.Post")).toInt(), 2777);
}
