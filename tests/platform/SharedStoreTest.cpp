#include "platform/SharedStore.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sqlite3.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace plannery {
namespace {

namespace fs = std::filesystem;

unsigned modeOf(const fs::path& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 0777;
}

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<fs::path> setAside(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("shared.sqlite.corrupt-")) {
            found.push_back(entry.path());
        }
    }
    return found;
}

int queryInt(const fs::path& file, const char* sql) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    int value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        value = sqlite3_column_int(statement, 0);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return value;
}

void runSql(const fs::path& file, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
}

TEST(SharedStore, KeepsItemsByServiceAndAccountInAPrivateFile) {
    test::TempDir dir;
    const fs::path file = dir.path() / "data" / "group" / "shared.sqlite";
    auto store = SharedStore::open(file);
    ASSERT_TRUE(store);
    EXPECT_EQ(modeOf(file.parent_path()), 0700u);
    EXPECT_EQ(modeOf(file), 0600u);

    EXPECT_EQ(store->data("svc", "acct"), std::nullopt);
    EXPECT_TRUE(store->set(std::nullopt, "svc", "never-stored"));

    EXPECT_TRUE(store->set("first", "svc", "acct"));
    EXPECT_TRUE(store->set("second", "svc", "acct"));
    EXPECT_TRUE(store->set(std::string("bin\0ary", 7), "svc", "other"));
    EXPECT_TRUE(store->set("", "other-svc", "acct"));
    EXPECT_TRUE(store->set("unnamed", "", ""));
    EXPECT_EQ(store->data("svc", "acct"), "second");
    EXPECT_EQ(store->data("svc", "other"), std::string("bin\0ary", 7));
    EXPECT_EQ(store->data("other-svc", "acct"), std::string()); // present, and empty
    EXPECT_EQ(store->data("", ""), "unnamed");
    // The journal next to the file holds the same data and must be as private.
    EXPECT_EQ(modeOf(file.string() + "-wal"), 0600u);

    EXPECT_TRUE(store->set(std::nullopt, "svc", "other"));
    EXPECT_EQ(store->data("svc", "other"), std::nullopt);
    EXPECT_EQ(store->increment("count", "n"), 1u);
    EXPECT_EQ(store->increment("count", "n"), 2u);
    EXPECT_EQ(store->data("count", "n"), "2");
    EXPECT_TRUE(store->set("not a number", "count", "n"));
    EXPECT_EQ(store->increment("count", "n"), 1u);

    store.reset();
    // Updates replaced the row rather than adding one.
    EXPECT_EQ(queryInt(file, "SELECT count(*) FROM items WHERE service = 'svc'"), 1);
    store = SharedStore::open(file);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->data("svc", "acct"), "second");
    EXPECT_EQ(store->data("count", "n"), "1");
    EXPECT_TRUE(setAside(file.parent_path()).empty());
}

TEST(SharedStore, MovesAFileThatIsNotItsOwnAsideAndStartsAfresh) {
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> make;
        std::function<void(const fs::path&)> checkAside;
    };
    const std::string garbage = "these are not the bytes of a database, just some text\n";
    const std::vector<Case> cases = {
        {"text", [&](const fs::path& file) { std::ofstream(file, std::ios::binary) << garbage; },
         [&](const fs::path& aside) { EXPECT_EQ(contentOf(aside), garbage); }},
        {"another program's database",
         [](const fs::path& file) {
             runSql(file, "CREATE TABLE notes(body TEXT); INSERT INTO notes VALUES('keep me');");
         },
         [](const fs::path& aside) {
             EXPECT_EQ(queryInt(aside, "SELECT count(*) FROM notes WHERE body = 'keep me'"), 1);
         }},
        {"items of another shape",
         [](const fs::path& file) {
             runSql(file, "CREATE TABLE items(name TEXT, value TEXT); PRAGMA user_version=1;");
         },
         [](const fs::path& aside) {
             EXPECT_EQ(queryInt(aside, "SELECT count(*) FROM items"), 0);
         }},
        {"items without the key",
         [](const fs::path& file) {
             runSql(file, "CREATE TABLE items(service TEXT, account TEXT, data BLOB);"
                          "PRAGMA user_version=1;");
         },
         [](const fs::path& aside) { EXPECT_EQ(queryInt(aside, "PRAGMA user_version"), 1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const fs::path file = dir.path() / "shared.sqlite";
        c.make(file);

        testing::internal::CaptureStderr();
        auto store = SharedStore::open(file);
        const std::string said = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(store);
        EXPECT_NE(said.find("moved to"), std::string::npos) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

        EXPECT_EQ(store->data("svc", "acct"), std::nullopt);
        EXPECT_TRUE(store->set("fresh", "svc", "acct"));
        EXPECT_EQ(store->data("svc", "acct"), "fresh");
        EXPECT_EQ(modeOf(file), 0600u);

        const auto aside = setAside(dir.path());
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_NE(said.find(aside.front().string()), std::string::npos) << said;
        store.reset();
        c.checkAside(aside.front());

        // The fresh file is accepted as it is the next time.
        store = SharedStore::open(file);
        ASSERT_TRUE(store);
        EXPECT_EQ(store->data("svc", "acct"), "fresh");
        EXPECT_EQ(setAside(dir.path()).size(), 1u);
    }
}

TEST(SharedStore, FailsWithASentenceWhereNoFileCanBeMade) {
    test::TempDir dir;
    // Even root cannot make a folder where a file stands.
    const fs::path blocked = dir.write("data", "a file, not a folder");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SharedStore::open(blocked / "group" / "shared.sqlite"));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find((blocked / "group" / "shared.sqlite").string()), std::string::npos) << said;

    const fs::path readOnly = dir.path() / "read-only";
    fs::create_directories(readOnly);
    // Root writes into read-only folders.
    test::asUnprivilegedUser(dir.path(), [&] {
        ASSERT_EQ(::chmod(readOnly.c_str(), 0500), 0);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(SharedStore::open(readOnly / "shared.sqlite"));
        EXPECT_FALSE(SharedStore::open(readOnly / "group" / "shared.sqlite"));
        const std::string complaints = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(complaints.begin(), complaints.end(), '\n'), 2) << complaints;
        ::chmod(readOnly.c_str(), 0700);
    });
}

// The widget process opens the same file: concurrent writers must neither lose an increment nor
// each other's items, even when both create the file at the same moment.
TEST(SharedStore, TwoProcessesWritingTogetherLoseNothing) {
    test::TempDir dir;
    const fs::path file = dir.path() / "group" / "shared.sqlite";
    constexpr int kRounds = 200;

    // Both processes open the file first, then start writing together.
    int go[2] = {-1, -1};
    ASSERT_EQ(::pipe(go), 0);
    const auto work = [&](const std::string& who, const std::function<void()>& start) {
        auto store = SharedStore::open(file);
        start();
        std::vector<std::uint64_t> seen;
        for (int i = 0; store && i < kRounds; ++i) {
            const auto value = store->increment("widgets", "reload");
            if (!value || !store->set(std::to_string(i), who, std::to_string(i))) {
                break;
            }
            seen.push_back(*value);
        }
        return seen;
    };

    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        char signal = 0;
        const auto wait = [&] { (void)!::read(go[0], &signal, 1); };
        ::_exit(work("child", wait).size() == kRounds ? 0 : 1);
    }
    const std::vector<std::uint64_t> seen =
        work("parent", [&] { EXPECT_EQ(::write(go[1], "!", 1), 1); });
    ::close(go[0]);
    ::close(go[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    ASSERT_EQ(seen.size(), static_cast<std::size_t>(kRounds));
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
    auto store = SharedStore::open(file);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->data("widgets", "reload"), std::to_string(2 * kRounds));
    for (const char* who : {"parent", "child"}) {
        for (int i = 0; i < kRounds; ++i) {
            EXPECT_EQ(store->data(who, std::to_string(i)), std::to_string(i)) << who << i;
        }
    }
}

TEST(SharedStore, AReaderNeverCreatesRepairsOrWrites) {
    test::TempDir dir;
    const fs::path file = dir.path() / "group" / "shared.sqlite";
    const auto wait = std::chrono::milliseconds(50);
    EXPECT_EQ(SharedStore::openForReading(file, wait).problem, SharedStore::ReadProblem::missing);
    EXPECT_FALSE(fs::exists(file.parent_path()));

    dir.write("group/shared.sqlite", "someone else's notes");
    const SharedStore::Reader garbage = SharedStore::openForReading(file, wait);
    EXPECT_EQ(garbage.store, nullptr);
    EXPECT_EQ(garbage.problem, SharedStore::ReadProblem::damaged);
    EXPECT_EQ(contentOf(file), "someone else's notes");
    EXPECT_TRUE(setAside(file.parent_path()).empty());

    fs::remove(file);
    auto writer = SharedStore::open(file);
    ASSERT_NE(writer, nullptr);
    ASSERT_TRUE(writer->set("v", "service", "account"));
    SharedStore::Reader reader = SharedStore::openForReading(file, wait);
    ASSERT_NE(reader.store, nullptr);
    EXPECT_EQ(reader.store->lookup("service", "account").bytes, "v");
    EXPECT_EQ(reader.store->lookup("service", "other").found, SharedStore::Lookup::Found::none);
    EXPECT_FALSE(reader.store->set("w", "service", "account"));
    EXPECT_FALSE(reader.store->increment("service", "count"));
    EXPECT_EQ(writer->data("service", "account"), "v");
    // The writer goes on while the reader holds the file open, and the reader sees it.
    ASSERT_TRUE(writer->set("w", "service", "account"));
    EXPECT_EQ(reader.store->data("service", "account"), "w");

    // Some other program's database is no store of ours.
    const fs::path foreign = dir.path() / "foreign" / "shared.sqlite";
    fs::create_directories(foreign.parent_path());
    runSql(foreign, "CREATE TABLE notes(text TEXT)");
    EXPECT_EQ(SharedStore::openForReading(foreign, wait).problem,
              SharedStore::ReadProblem::damaged);
    EXPECT_EQ(queryInt(foreign, "SELECT count(*) FROM sqlite_master"), 1);
}

} // namespace
} // namespace plannery
