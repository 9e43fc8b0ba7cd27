#include "store_fixture.h"

#include "data/administration.h"
#include "data/dm.h"
#include "data/explorercolumns.h"
#include "foundation/msgdlg.h"
#include "foundation/textfile.h"

#include <gtest/gtest.h>

class ExplorerColumns : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(fx.MakeAdministration());
        SetMessageHook([](const MessageRequest&) { return MessageAnswer{}; });
        admin = std::make_unique<TAdministration>(fx.folder(), QStringLiteral("Test"), &dm);
        ASSERT_EQ(admin->Status(), asOpen) << admin->StatusReason().toStdString();
    }
    void TearDown() override
    {
        admin.reset();
        SetMessageHook(nullptr);
    }
    StoreFixture fx;
    Tdm dm;
    std::unique_ptr<TAdministration> admin;
};

TEST_F(ExplorerColumns, FileKeepsOrderWidthsVisibilityAndColour)
{
    const QString file = ExplorerColumnsFile(fx.folder(), QStringLiteral("Adressen"), 1);
    EXPECT_TRUE(file.endsWith(QStringLiteral("Test/Adressen1.grw")));
    const QList<TExplorerColumn> columns = {{QStringLiteral("Place"), 80, true, false},
                                            {QStringLiteral("ComName"), 155, true, true},
                                            {QStringLiteral("Zip"), 40, false, false}};
    ASSERT_TRUE(SaveExplorerColumns(file, columns));
    EXPECT_TRUE(LoadTextFile(file).startsWith(QStringLiteral("[QuillonColumns 1]\nPlace|80|TRUE|light|")));
    bool ok = false;
    EXPECT_EQ(LoadExplorerColumns(file, &ok), columns);
    EXPECT_TRUE(ok);
}

TEST_F(ExplorerColumns, ForeignOrDamagedFilesGiveWhatCanBeRead)
{
    TestFolder tmp;
    bool ok = true;
    EXPECT_TRUE(LoadExplorerColumns(tmp.file(QStringLiteral("missing.grw")), &ok).isEmpty());
    EXPECT_FALSE(ok);
    tmp.write(QStringLiteral("old.grw"), "binary grid stream\r\n");
    EXPECT_TRUE(LoadExplorerColumns(tmp.file(QStringLiteral("old.grw")), &ok).isEmpty());
    EXPECT_FALSE(ok);
    tmp.write(QStringLiteral("bad.grw"), "[QuillonColumns 1]\r\nName|x|TRUE|\r\n|50|TRUE|\r\nZip|30|FALSE|dark|\r\n");
    const QList<TExplorerColumn> read = LoadExplorerColumns(tmp.file(QStringLiteral("bad.grw")), &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read.first(), (TExplorerColumn{QStringLiteral("Zip"), 30, false, true}));
}

TEST_F(ExplorerColumns, ReconcileDropsGoneColumnsAddsNewOnesAndHidesUnlistable)
{
    TTable& contacts = *dm.tabContacts;
    const QList<TExplorerColumn> remembered = {{QStringLiteral("place"), 900, true, false},
                                               {QStringLiteral("Vanished"), 50, true, false},
                                               {QStringLiteral("Notes"), 50, true, false},
                                               {QStringLiteral("ComName"), 120, false, true},
                                               {QStringLiteral("Place"), 60, true, false}};
    const QList<TExplorerColumn> result = ReconcileExplorerColumns(remembered, contacts, 500);
    ASSERT_GE(result.size(), 3);
    EXPECT_EQ(result.at(0), (TExplorerColumn{QStringLiteral("Place"), 500, true, false}));
    EXPECT_EQ(result.at(1), (TExplorerColumn{QStringLiteral("ComName"), 120, false, true}));
    QStringList names;
    for (const TExplorerColumn& c : result)
        names << c.field;
    EXPECT_FALSE(names.contains(QStringLiteral("Vanished")));
    for (const char* hidden : {"Notes", "LISTS", "INLIST"})
        EXPECT_FALSE(names.contains(QString::fromLatin1(hidden))) << hidden;
    EXPECT_TRUE(names.contains(QStringLiteral("Name")));
    EXPECT_EQ(names.count(QStringLiteral("Place")), 1);
}
