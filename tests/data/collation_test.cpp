#include <gtest/gtest.h>

#include "data/collation.h"
#include "data/engine_statement.h"
#include "enginefixture.h"

TEST(Collation, FoldsCaseAndAccents)
{
    EXPECT_EQ(FoldText(QStringLiteral("Élodie")), QStringLiteral("elodie"));
    EXPECT_EQ(FoldText(QStringLiteral("LIÈGE")), QStringLiteral("liege"));
    EXPECT_EQ(FoldText(QStringLiteral("Smith")), QStringLiteral("smith"));
    EXPECT_EQ(FoldText(QStringLiteral("Straße")), QStringLiteral("strasse"));
    EXPECT_EQ(FoldText(QStringLiteral("Cœur")), QStringLiteral("coeur"));
    // A decomposed accent folds like a composed one.
    EXPECT_EQ(FoldText(QStringLiteral("e\u0301lodie")), QStringLiteral("elodie"));
    EXPECT_EQ(CompareFolded(QStringLiteral("élodie"), QStringLiteral("ELODIE")), 0);
    EXPECT_LT(CompareFolded(QStringLiteral("Élodie"), QStringLiteral("Frans")), 0);
    EXPECT_GT(CompareFolded(QStringLiteral("Élodie"), QStringLiteral("Dirk")), 0);
    EXPECT_TRUE(StartsWithFolded(QStringLiteral("Liège"), QStringLiteral("lie")));
}

TEST_F(EngineTest, SqlCollationSortsAccentsWithTheirLetter)
{
    for (const char* name : {"Frans", "élodie", "Dirk", "Emile", "Élodie", "eva", "ZOË", "zoe", "Ab"})
        Exec("INSERT INTO Adressen (ComName) VALUES (?)", {QString::fromUtf8(name)});
    QStringList sorted;
    TStatementCache::Lease st = db->statements().Borrow(
        QStringLiteral("SELECT ComName FROM Adressen ORDER BY ComName COLLATE QCI, rowid"));
    while (st->step() == 100)
        sorted << st->column(0).toString();
    EXPECT_EQ(sorted.join(QLatin1Char(',')), QStringLiteral("Ab,Dirk,élodie,Élodie,Emile,eva,Frans,ZOË,zoe"));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT count(*) FROM Adressen WHERE ComName COLLATE QCI = 'ELODIE'")).toInt(), 2);
    // LIKE treats accents the way the collation does; % and _ stay wildcards.
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT count(*) FROM Adressen WHERE ComName LIKE 'zo_'")).toInt(), 2);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT count(*) FROM Adressen WHERE ComName LIKE 'e%'")).toInt(), 4);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT QFOLD('Liège')")).toString(), QStringLiteral("liege"));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT 'a%b' LIKE 'a!%%' ESCAPE '!'")).toInt(), 1);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT 'axb' LIKE 'a!%%' ESCAPE '!'")).toInt(), 0);
}

TEST_F(EngineTest, PrefixBoundCoversEveryContinuation)
{
    for (const char* name : {"smi", "Smith", "SMITS", "smï", "smj", "Sm"})
        Exec("INSERT INTO Adressen (ComName) VALUES (?)", {QString::fromUtf8(name)});
    const QVariant count = db->Scalar(
        QStringLiteral("SELECT count(*) FROM Adressen WHERE ComName COLLATE QCI >= ? AND ComName COLLATE QCI < ?"),
        {QStringLiteral("smi"), PrefixUpperBound(QStringLiteral("smi"))});
    EXPECT_EQ(count.toInt(), 4);
}
