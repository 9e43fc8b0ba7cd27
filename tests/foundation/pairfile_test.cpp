#include "common/testfolder.h"
#include "foundation/pairfile.h"

#include <gtest/gtest.h>

TEST(PairFile, ReadsFirstLineOfKeyAndSeparator)
{
    TestFolder folder;
    folder.write(QStringLiteral("update.ini"), "NAAMX=fout\r\nnaam = nee\r\nNaam= Jan = Piet \r\nNAAM=later\r\nPAD:/tmp\r\n");
    const QString file = folder.file(QStringLiteral("update.ini"));
    EXPECT_EQ(ReadPair(file, QStringLiteral("NAAM")), QStringLiteral("Jan = Piet"));
    EXPECT_EQ(ReadPair(file, QStringLiteral("NAAMX")), QStringLiteral("fout"));
    EXPECT_EQ(ReadPair(file, QStringLiteral("pad"), QStringLiteral(":")), QStringLiteral("/tmp"));
    EXPECT_EQ(ReadPair(file, QStringLiteral("NAA")), QString());
    EXPECT_EQ(ReadPair(file, QString()), QString());
    EXPECT_EQ(ReadPair(folder.file(QStringLiteral("none.ini")), QStringLiteral("NAAM")), QString());
}

TEST(PairFile, WritePairsReplacesOrAppendsAndWritesOnce)
{
    TestFolder folder;
    folder.write(QStringLiteral("p.ini"), "b=1\nBB=2\nvrij\n");
    const QString file = folder.file(QStringLiteral("p.ini"));
    ASSERT_TRUE(WritePairs(file, {"B", "c", "bb"}, {"x", "y\nz", "3"}));
    EXPECT_EQ(folder.read(QStringLiteral("p.ini")), QByteArray("B=x\r\nbb=3\r\nvrij\r\nc=y z\r\n"));
    EXPECT_FALSE(WritePairs(file, {"a", "b"}, {"1"}));
    EXPECT_FALSE(WritePairs(file, {""}, {"1"}));
    EXPECT_FALSE(WritePairs(folder.file(QStringLiteral("no/p.ini")), {"a"}, {"1"}));
}

TEST(WindowPlacement, RoundTripAndDefaults)
{
    TestFolder folder;
    const QString file = folder.file(QStringLiteral("screen.ini"));
    WindowPlacement none = LoadWindowPlacement(QStringLiteral("frmZoek"), file);
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.left, 40);
    EXPECT_EQ(none.top, 80);
    EXPECT_EQ(none.width, 600);
    EXPECT_EQ(none.height, 400);

    ASSERT_TRUE(SaveWindowPlacement(10, -20, 300, 200, QString(), QStringLiteral("frmZoek"), file));
    ASSERT_TRUE(SaveWindowPlacement(1, 2, 3, 4, QStringLiteral("t"), QStringLiteral("frmZoekUitgebreid"), file));
    ASSERT_TRUE(SaveWindowPlacement(11, -21, 301, 201, QString(), QStringLiteral("frmZoek"), file));
    EXPECT_EQ(folder.read(QStringLiteral("screen.ini")),
              QByteArray("frmZoek=11|-21|301|201||\r\nfrmZoekUitgebreid=1|2|3|4|t|\r\n"));
    const WindowPlacement p = LoadWindowPlacement(QStringLiteral("FRMZOEK"), file);
    EXPECT_TRUE(p.found);
    EXPECT_EQ(QRect(p.left, p.top, p.width, p.height), QRect(11, -21, 301, 201));
    EXPECT_EQ(LoadWindowPlacement(QStringLiteral("frmZoekUitgebreid"), file).text, QStringLiteral("t"));
}

TEST(WindowPlacement, BrokenFieldsFallBackOneByOne)
{
    TestFolder folder;
    folder.write(QStringLiteral("screen.ini"), "dlg=5|x||9\r\n");
    const WindowPlacement p = LoadWindowPlacement(QStringLiteral("dlg"), folder.file(QStringLiteral("screen.ini")));
    EXPECT_TRUE(p.found);
    EXPECT_EQ(p.left, 5);
    EXPECT_EQ(p.top, 80);
    EXPECT_EQ(p.width, 600);
    EXPECT_EQ(p.height, 9);
    EXPECT_EQ(p.text, QString());
}
