#include "platform/Sqlite.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace plannery {
namespace {

using sqlite::Database;
using namespace std::chrono_literals;

Database openWritable(const std::filesystem::path& file) {
    return Database::open(file, Database::Access::readWrite, 0ms);
}

TEST(SqliteTest, ADamagedOrMissingFileFailsWithASentence) {
    test::TempDir dir;
    // Garbage opens (SQLite reads nothing yet) and fails on the first statement.
    const auto garbage = dir.write("garbage.sqlite", std::string(4096, 'x'));
    Database damaged = openWritable(garbage);
    ASSERT_TRUE(damaged.ok());
    EXPECT_FALSE(damaged.exec("PRAGMA journal_mode=WAL"));
    EXPECT_TRUE(damaged.damaged());
    EXPECT_FALSE(damaged.busy());
    EXPECT_EQ(damaged.problem(), "it is not a readable database");
    int value = 7;
    EXPECT_NE(damaged.queryInt("SELECT count(*) FROM sqlite_master", value), SQLITE_OK);
    EXPECT_EQ(value, 7);
    sqlite::Statement statement = damaged.prepare("SELECT count(*) FROM sqlite_master");
    EXPECT_FALSE(statement.ok());
    statement.bind(1, "ignored");
    statement.reset();
    EXPECT_EQ(statement.step(), SQLITE_MISUSE);
    EXPECT_TRUE(statement.columnBlob(0).empty());
    EXPECT_FALSE(sqlite::Transaction(damaged).began());

    // A file that is not there is not created when only reading.
    Database missing =
        Database::open(dir.path() / "none" / "x.sqlite", Database::Access::readOnly, 0ms);
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.problem().empty());
    EXPECT_FALSE(missing.exec("CREATE TABLE t(x)"));
    EXPECT_FALSE(missing.prepare("SELECT 1").ok());
    EXPECT_FALSE(missing.inTransaction());
}

TEST(SqliteTest, AWriterWaitingForTheLockGivesUpWithASentenceAndNothingIsLost) {
    test::TempDir dir;
    const auto file = dir.path() / "shared.sqlite";
    Database first = openWritable(file);
    ASSERT_TRUE(first.exec("PRAGMA journal_mode=WAL"));
    ASSERT_TRUE(first.exec("CREATE TABLE items(name TEXT NOT NULL, data BLOB)"));
    Database second = openWritable(file);
    ASSERT_TRUE(second.ok());
    {
        sqlite::Transaction holding(first);
        ASSERT_TRUE(holding.began());
        ASSERT_TRUE(first.exec("INSERT INTO items VALUES('first', x'00')"));
        sqlite::Transaction waiting(second);
        EXPECT_FALSE(waiting.began());
        EXPECT_TRUE(second.busy());
        EXPECT_FALSE(second.damaged());
        EXPECT_EQ(second.problem(), "another program kept it locked for too long");
        EXPECT_FALSE(waiting.commit());
        // `holding` is not committed: its row goes when it does.
    }
    int rows = -1;
    EXPECT_EQ(second.queryInt("SELECT count(*) FROM items", rows), SQLITE_OK);
    EXPECT_EQ(rows, 0);

    sqlite::Transaction writing(second);
    ASSERT_TRUE(writing.began());
    sqlite::Statement put = second.prepare("INSERT INTO items VALUES(?1, ?2)");
    ASSERT_TRUE(put.ok());
    // Empty text and bytes stay text and bytes, not NULL (the column refuses NULL).
    put.bind(1, "");
    put.bindBlob(2, std::string("a\0b", 3));
    EXPECT_EQ(put.step(), SQLITE_DONE);
    EXPECT_EQ(second.lastInsertRow(), 1);
    EXPECT_TRUE(second.inTransaction());
    ASSERT_TRUE(writing.commit());
    EXPECT_FALSE(second.inTransaction());

    sqlite::Statement get = first.prepare("SELECT name, data FROM items");
    ASSERT_EQ(get.step(), SQLITE_ROW);
    EXPECT_EQ(get.columnText(0), "");
    EXPECT_EQ(get.columnBlob(1), std::string("a\0b", 3));
    // A statement may outlive its connection: the file closes when the statement goes.
    first = Database();
}

} // namespace
} // namespace plannery
