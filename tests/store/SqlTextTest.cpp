#include <gtest/gtest.h>

#include <QRegularExpression>

#include "store/uIBSQL.h"
#include "store/uNewDataBase.h"
#include "platform/uResources.h"

TEST(SqlScript, SplitLikeIsql) {
  const struct {
    const char* name;
    const char* script;
    QStringList statements;
  } cases[] = {
      {"plain", "CREATE TABLE A (X INTEGER);\nCREATE TABLE B (Y INTEGER);", {"CREATE TABLE A (X INTEGER)",
                                                                            "CREATE TABLE B (Y INTEGER)"}},
      {"last without terminator", "SELECT 1 FROM RDB$DATABASE;\n  SELECT 2 FROM RDB$DATABASE  \n",
       {"SELECT 1 FROM RDB$DATABASE", "SELECT 2 FROM RDB$DATABASE"}},
      {"terminators in literals and comments",
       "/* a; b */ INSERT INTO A VALUES ('x;y', \"p;q\"); -- c;d\nINSERT INTO A VALUES (2);",
       {"INSERT INTO A VALUES ('x;y', \"p;q\")", "INSERT INTO A VALUES (2)"}},
      {"comment inside kept", "CREATE TABLE E (/* key; */ I INTEGER);", {"CREATE TABLE E (/* key; */ I INTEGER)"}},
      {"set term",
       "SET TERM ^ ;\nCREATE PROCEDURE P AS BEGIN EXIT; END^\nCREATE PROCEDURE Q AS BEGIN EXIT; END^\nSET TERM ; ^\n"
       "CREATE TABLE C (Z INTEGER);",
       {"CREATE PROCEDURE P AS BEGIN EXIT; END", "CREATE PROCEDURE Q AS BEGIN EXIT; END",
        "CREATE TABLE C (Z INTEGER)"}},
      {"isql commands left out", "SET SQL DIALECT 1;\nset names WIN1251;\nCREATE TABLE D (I INTEGER);\nCOMMIT;\n"
                                 "commit work;",
       {"CREATE TABLE D (I INTEGER)"}},
      {"comments only", "/* nothing */\n-- at all\n;", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitSqlScript(QString::fromUtf8(c.script)), c.statements) << c.name;
}

TEST(SqlScript, ShippedSchemaSplitsIntoItsStatements) {
  const QStringList statements = SplitSqlScript(LoadTextResourceString("RC_SCHEMA"));
  ASSERT_FALSE(statements.isEmpty());
  EXPECT_TRUE(statements.first().contains("CREATE GENERATOR")) << statements.first().toStdString();
  EXPECT_EQ(statements.filter(QRegularExpression("^CREATE PROCEDURE")).size(), 6);
  for (const QString& s : statements) EXPECT_FALSE(s.contains("SET TERM", Qt::CaseInsensitive)) << s.toStdString();
}

TEST(SqlScript, ErrorNamesTheStatement) {
  int ran = 0;
  try {
    RunSqlScript("CREATE TABLE A (X INTEGER);\nCREATE TABLE B (bad);\nCREATE TABLE C (Y INTEGER);",
                 [&](const QString& s) {
                   if (s.contains("bad")) throw EDBError("Token unknown");
                   ++ran;
                 });
    FAIL() << "no error";
  } catch (const EDBError& e) {
    EXPECT_EQ(e.Text, "Token unknown\n\rCREATE TABLE B (bad)");
  }
  EXPECT_EQ(ran, 1);
}

TEST(ParamMarkers, OutsideLiteralsAndComments) {
  const struct {
    const char* sql;
    const char* text;
    QStringList names;
    std::vector<int> markers;
  } cases[] = {
      {"execute procedure SET_ATTR_BLOB(5,'doc',:param1);", "execute procedure SET_ATTR_BLOB(5,'doc',?);",
       {"PARAM1"}, {0}},
      {"INSERT INTO T VALUES ('10:05', \"a:b\", :x, :y, :X)", "INSERT INTO T VALUES ('10:05', \"a:b\", ?, ?, ?)",
       {"X", "Y"}, {0, 1, 0}},
      {"SELECT 1 /* :c */ FROM R -- :d\nWHERE A = :e", "SELECT 1 /* :c */ FROM R -- :d\nWHERE A = ?", {"E"}, {0}},
      {"SELECT 'it''s :no' FROM R WHERE X=: Y", "SELECT 'it''s :no' FROM R WHERE X=: Y", {}, {}},
  };
  for (const auto& c : cases) {
    const TParsedSQL p = ParseParamMarkers(QString::fromUtf8(c.sql));
    EXPECT_EQ(p.Text, QString::fromUtf8(c.text)) << c.sql;
    EXPECT_EQ(p.Names, c.names) << c.sql;
    EXPECT_EQ(p.Markers, c.markers) << c.sql;
  }
}
