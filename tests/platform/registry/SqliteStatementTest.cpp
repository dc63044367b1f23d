// Statements kept prepared for a connection: the same text used twice at once gets two
// statements, a statement handed back is reset for the next user, and forgetting the
// connection finalizes them all (one in use when its user is done) so that it closes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/registry/SqliteStatement.h"

namespace {

using platform::registry::ExecuteSql;
using platform::registry::SqliteStatement;

TEST(SqliteStatementTest, KeptStatementsAreSharedOnlyWhenFreeAndFinalizedWhenForgotten) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, nullptr), SQLITE_OK);
    platform::registry::KeepStatements(db);
    ExecuteSql(db, "CREATE TABLE t(n INTEGER); INSERT INTO t VALUES (1), (2)");
    const char* kSelect = "SELECT n FROM t ORDER BY n";
    for (int round = 0; round < 2; ++round) {
        // Nested uses of one text, as a walk of keys that opens the same query inside it.
        SqliteStatement outer(db, kSelect);
        ASSERT_TRUE(outer.Step());
        EXPECT_EQ(outer.Integer(0), 1);
        {
            SqliteStatement inner(db, kSelect);
            ASSERT_TRUE(inner.Step());
            EXPECT_EQ(inner.Integer(0), 1);
        }
        ASSERT_TRUE(outer.Step());
        EXPECT_EQ(outer.Integer(0), 2);  // the inner use left the outer one where it was
    }
    {
        // A statement given back half-stepped and bound starts afresh for the next user.
        SqliteStatement bound(db, "SELECT count(*) FROM t WHERE n > ?1");
        bound.Bind(1, std::int64_t{1});
        ASSERT_TRUE(bound.Step());
        EXPECT_EQ(bound.Integer(0), 1);
    }
    {
        SqliteStatement again(db, "SELECT count(*) FROM t WHERE n > ?1");
        ASSERT_TRUE(again.Step());
        EXPECT_EQ(again.Integer(0), 0);  // NULL bound: no row compares greater
        platform::registry::ForgetStatements(db);
        // Only the statement in use is left, for its user to finalize.
        sqlite3_stmt* left = sqlite3_next_stmt(db, nullptr);
        ASSERT_NE(left, nullptr);
        EXPECT_EQ(sqlite3_next_stmt(db, left), nullptr);
    }
    // A plain close refuses while any statement is unfinalized.
    EXPECT_EQ(sqlite3_close(db), SQLITE_OK);
}

}  // namespace
