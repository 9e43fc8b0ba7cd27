#include <gtest/gtest.h>

#include "data/query.h"
#include "enginefixture.h"

class QueryTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        for (int i = 1; i <= 5; ++i)
            AddContact(i, QStringLiteral("Name%1").arg(i), i % 2 ? QStringLiteral("Gent") : QStringLiteral("Brugge"));
        query.SetDatabase(db.get());
    }
    TQuery query;
};

TEST_F(QueryTest, ParametersAreBoundByName)
{
    query.SetSql(QStringList{QStringLiteral("SELECT nummer, ComName, Place FROM Adressen"),
                             QStringLiteral("WHERE Place = :f_Place AND nummer >= :f_ID ORDER BY nummer")});
    EXPECT_EQ(query.ParamCount(), 2);
    query.ParamByName(QStringLiteral(":F_PLACE"))->SetValue(QStringLiteral("Gent"));
    query.ParamByName(QStringLiteral("f_ID"))->SetAsInteger(2);
    ASSERT_TRUE(query.Open()) << query.LastError().toStdString();
    EXPECT_EQ(query.RecordCount(), 2);
    EXPECT_EQ(query.FieldByName(QStringLiteral("nummer"))->AsInteger(), 3);
    EXPECT_EQ(query.FieldByName(QStringLiteral("ComName"))->DataType(), ftText);
    EXPECT_EQ(query.FieldByName(QStringLiteral("ComName"))->Size(), 99);
    query.Last();
    EXPECT_EQ(query.FieldByName(QStringLiteral("nummer"))->AsInteger(), 5);
    EXPECT_TRUE(query.Locate(QStringLiteral("ComName"), QStringLiteral("name3"), {true, false}));
    EXPECT_EQ(query.RecNo(), 1);
    // A value that looks like SQL stays a value.
    query.ParamByName(QStringLiteral("f_Place"))->SetValue(QStringLiteral("x' OR '1'='1"));
    query.Close();
    ASSERT_TRUE(query.Open());
    EXPECT_EQ(query.RecordCount(), 0);
    EXPECT_TRUE(query.IsEmpty());
    // Query rows are read-only.
    EXPECT_FALSE(query.Edit());
}

TEST_F(QueryTest, ExpressionsAndJoinedNames)
{
    Exec("CREATE TABLE factuur (F_ID INTEGER PRIMARY KEY, F_CID INTEGER, nummer INTEGER)");
    Exec("INSERT INTO factuur VALUES (10, 1, 77)");
    query.SetSql(QStringLiteral("SELECT MAX(nummer) FROM Adressen"));
    ASSERT_TRUE(query.Open());
    EXPECT_EQ(query.Field(0)->AsInteger(), 5);
    EXPECT_EQ(query.Field(0)->DataType(), ftInteger);
    query.SetSql(QStringLiteral("SELECT a.*, f.* FROM Adressen a, factuur f WHERE a.nummer = f.F_CID"));
    ASSERT_TRUE(query.Open());
    EXPECT_EQ(query.FieldByName(QStringLiteral("nummer"))->AsInteger(), 1);
    EXPECT_EQ(query.FieldByName(QStringLiteral("nummer_1"))->AsInteger(), 77);
}

TEST_F(QueryTest, OneDirectionStreamsForward)
{
    query.SetSql(QStringLiteral("SELECT * FROM Adressen ORDER BY nummer"));
    query.SetUnidirectional(true);
    ASSERT_TRUE(query.Open());
    EXPECT_EQ(query.RecordCount(), 5);
    QStringList seen;
    while (!query.Eof()) {
        seen << query.FieldByName(QStringLiteral("ComName"))->AsString();
        query.Next();
    }
    EXPECT_EQ(seen.size(), 5);
    EXPECT_EQ(seen.last(), QStringLiteral("Name5"));
    EXPECT_FALSE(query.Prior());
    EXPECT_FALSE(query.Last());
    ASSERT_TRUE(query.First());  // runs it again
    EXPECT_EQ(query.FieldByName(QStringLiteral("ComName"))->AsString(), QStringLiteral("Name1"));
    EXPECT_EQ(query.MoveBy(2), 2);
    EXPECT_EQ(query.FieldByName(QStringLiteral("ComName"))->AsString(), QStringLiteral("Name3"));
}

TEST_F(QueryTest, AdHocStatements)
{
    query.SetSql(QStringLiteral("UPDATE Adressen SET Place = :p WHERE nummer > :n"));
    query.ParamByName(QStringLiteral("p"))->SetValue(QStringLiteral("Liège"));
    query.ParamByName(QStringLiteral("n"))->SetValue(3);
    ASSERT_TRUE(query.ExecSql()) << query.LastError().toStdString();
    EXPECT_EQ(query.RowsAffected(), 2);
    query.SetSql(QStringLiteral("ALTER TABLE Adressen ADD COLUMN Extra CHAR(10)"));
    ASSERT_TRUE(query.ExecSql());
    query.SetSql(QStringLiteral("SELECT nonsense FROM"));
    EXPECT_FALSE(query.ExecSql());
    EXPECT_FALSE(query.LastError().isEmpty());
    EXPECT_FALSE(query.Open());
    query.SetSql(QStringLiteral("DELETE FROM Adressen WHERE nummer = 1"));
    EXPECT_FALSE(query.Open());  // returns no rows
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT count(*) FROM Adressen WHERE Place = 'Liège'")).toInt(), 2);
    auto table = OpenContacts();
    EXPECT_TRUE(table->FindField(QStringLiteral("Extra")) != nullptr);
}
