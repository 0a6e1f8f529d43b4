#include "platform/IndexCache.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>

namespace plannery {
namespace {

namespace fs = std::filesystem;

constexpr double kForever = std::numeric_limits<double>::infinity();

IndexCache::FileWrite fileWrite(std::string name, vdir::FileStamp stamp, std::string blob,
                                std::vector<ics::Bounds> bounds = {}) {
    return IndexCache::FileWrite{.name = std::move(name),
                                 .stamp = stamp,
                                 .broken = false,
                                 .bounds = std::move(bounds),
                                 .blob = std::move(blob)};
}

void runSql(const fs::path& file, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
}

TEST(IndexCache, WritesReadBackAndReplaces) {
    test::TempDir dir;
    const auto path = dir.path() / "nested" / "index.sqlite";
    auto cache = IndexCache::open(path);
    ASSERT_TRUE(cache);
    EXPECT_FALSE(cache->wasRebuilt());
    EXPECT_TRUE(cache->loadIndex()->empty());

    IndexCache::FileWrite broken = fileWrite("a.ics", {1, 1, 1}, "");
    broken.broken = true;
    ASSERT_TRUE(cache->write(
        {IndexCache::FolderWrite{
             .folder = "/cal",
             .mtimeNs = 5,
             .removedFiles = {},
             .files = {fileWrite("b.ics", {10, 20, 30}, std::string("B\0B", 3),
                                 {{Instant{100}, Instant{200}}, {Instant{50}, Instant{kForever}}}),
                       broken}},
         IndexCache::FolderWrite{.folder = "/other",
                                 .mtimeNs = 7,
                                 .removedFiles = {},
                                 .files = {fileWrite("c.ics", {1, 2, 3}, "C")}}},
        {}));

    cache = IndexCache::open(path);
    ASSERT_TRUE(cache);
    auto index = cache->loadIndex();
    ASSERT_TRUE(index);
    ASSERT_EQ(index->size(), 2u);
    const auto& cal = index->at("/cal");
    EXPECT_EQ(cal.mtimeNs, 5);
    ASSERT_EQ(cal.files.size(), 2u);
    EXPECT_EQ(cal.files[0].name, "a.ics");
    EXPECT_TRUE(cal.files[0].broken);
    EXPECT_EQ(cal.files[1].name, "b.ics");
    EXPECT_EQ(cal.files[1].stamp, (vdir::FileStamp{10, 20, 30}));
    ASSERT_EQ(cal.files[1].bounds.size(), 2u);
    EXPECT_EQ(cal.files[1].bounds[0].first, Instant{100});
    EXPECT_EQ(cal.files[1].bounds[1].last, Instant{kForever});

    // A blob is handed out only for the stamp it was stored with.
    EXPECT_EQ(cache->blob("/cal", "b.ics", {10, 20, 30}), std::string("B\0B", 3));
    EXPECT_FALSE(cache->blob("/cal", "b.ics", {10, 21, 30}));
    EXPECT_FALSE(cache->blob("/cal", "b.ics", {10, 20, 31}));
    EXPECT_FALSE(cache->blob("/cal", "a.ics", {1, 1, 1}));

    // Changed, removed and vanished folders in one go.
    ASSERT_TRUE(
        cache->write({IndexCache::FolderWrite{.folder = "/cal",
                                              .mtimeNs = 6,
                                              .removedFiles = {"a.ics"},
                                              .files = {fileWrite("b.ics", {11, 22, 33}, "B2")}}},
                     {"/other"}));
    index = cache->loadIndex();
    ASSERT_TRUE(index);
    ASSERT_EQ(index->size(), 1u);
    ASSERT_EQ(index->at("/cal").files.size(), 1u);
    EXPECT_EQ(index->at("/cal").mtimeNs, 6);
    EXPECT_EQ(cache->blob("/cal", "b.ics", {11, 22, 33}), "B2");
    EXPECT_FALSE(cache->blob("/cal", "b.ics", {10, 20, 30}));
    EXPECT_FALSE(cache->blob("/other", "c.ics", {1, 2, 3}));
}

mode_t modeOf(const fs::path& path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

TEST(IndexCache, OnlyTheUserCanReadIt) {
    test::TempDir dir;
    const fs::path folder = dir.path() / "cache" / "plannery";
    const fs::path path = folder / "index.sqlite";
    auto cache = IndexCache::open(path);
    ASSERT_TRUE(cache);
    ASSERT_TRUE(cache->write(
        {IndexCache::FolderWrite{.folder = "/cal",
                                 .mtimeNs = 5,
                                 .removedFiles = {},
                                 .files = {fileWrite("a.ics", {1, 1, 1}, "Review with Ann")}}},
        {}));
    EXPECT_EQ(modeOf(folder), 0700u);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        ASSERT_TRUE(fs::exists(path.string() + suffix)) << suffix;
        EXPECT_EQ(modeOf(path.string() + suffix), 0600u) << suffix;
    }
    cache.reset();

    // An earlier version left the folder and the files open to everyone.
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    const fs::perms readable = fs::perms::owner_read | fs::perms::owner_write |
                               fs::perms::group_read | fs::perms::others_read;
    fs::permissions(path, readable);
    dir.write("cache/plannery/index.sqlite-wal", "");
    fs::permissions(path.string() + "-wal", readable);
    cache = IndexCache::open(path);
    ASSERT_TRUE(cache);
    EXPECT_FALSE(cache->wasRebuilt());
    EXPECT_EQ(cache->loadIndex()->at("/cal").files.size(), 1u);
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(modeOf(path.string() + "-wal"), 0600u);
}

TEST(IndexCache, UntrustworthyFilesAreRebuilt) {
    test::TempDir dir;
    const auto path = dir.path() / "index.sqlite";
    const auto fill = [&] {
        auto cache = IndexCache::open(path);
        ASSERT_TRUE(cache);
        ASSERT_TRUE(
            cache->write({IndexCache::FolderWrite{.folder = "/cal",
                                                  .mtimeNs = 1,
                                                  .removedFiles = {},
                                                  .files = {fileWrite("a.ics", {1, 2, 3}, "A")}}},
                         {}));
    };
    const auto expectRebuilt = [&](const char* what) {
        auto cache = IndexCache::open(path);
        ASSERT_TRUE(cache) << what;
        EXPECT_TRUE(cache->wasRebuilt()) << what;
        EXPECT_TRUE(cache->loadIndex()->empty()) << what;
        EXPECT_FALSE(cache->blob("/cal", "a.ics", {1, 2, 3})) << what;
        EXPECT_TRUE(
            cache->write({IndexCache::FolderWrite{
                             .folder = "/x", .mtimeNs = 1, .removedFiles = {}, .files = {}}},
                         {}))
            << what;
    };

    dir.write("index.sqlite", std::string(5000, '\x5a'));
    expectRebuilt("garbage");

    fill();
    runSql(path, "PRAGMA user_version = 999");
    expectRebuilt("another version");

    fill();
    runSql(path, "UPDATE meta SET value = 'old codec' WHERE key = 'codec'");
    expectRebuilt("another series format");

    fs::remove(path);
    runSql(path, "CREATE TABLE notes(text TEXT)");
    expectRebuilt("another program's database");

    // Damage past what opening reads (the tables after the first two pages) shows when the
    // index is read: the file is deleted, and the next start builds it again.
    fill();
    {
        std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(2 * 4096);
        file << std::string(2 * 4096, '\x5a');
    }
    auto damaged = IndexCache::open(path);
    ASSERT_TRUE(damaged);
    EXPECT_FALSE(damaged->loadIndex());
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(damaged->blob("/cal", "a.ics", {1, 2, 3}));
    damaged.reset();
    ASSERT_TRUE(IndexCache::open(path));
    EXPECT_TRUE(IndexCache::open(path)->loadIndex()->empty());

    // A cache that cannot be created at all is simply absent.
    dir.write("plainfile", "x");
    EXPECT_FALSE(IndexCache::open(dir.path() / "plainfile" / "index.sqlite"));
}

TEST(IndexCache, TwoConnectionsAtOnce) {
    test::TempDir dir;
    const auto path = dir.path() / "index.sqlite";
    constexpr int kRounds = 20;
    int written[2] = {0, 0};
    bool opened[2] = {false, false};
    const auto work = [&](int who) {
        auto cache = IndexCache::open(path);
        opened[who] = cache != nullptr;
        if (!cache) {
            return;
        }
        for (int round = 0; round < kRounds; ++round) {
            cache->loadIndex();
            const std::string folder = "/f" + std::to_string(who) + "-" + std::to_string(round);
            written[who] +=
                cache->write(
                    {IndexCache::FolderWrite{.folder = folder,
                                             .mtimeNs = round,
                                             .removedFiles = {},
                                             .files = {fileWrite("a.ics", {1, 2, 3}, folder)}}},
                    {})
                    ? 1
                    : 0;
        }
    };
    std::thread other(work, 1);
    work(0);
    other.join();
    EXPECT_TRUE(opened[0]);
    EXPECT_TRUE(opened[1]);
    auto cache = IndexCache::open(path);
    ASSERT_TRUE(cache);
    EXPECT_FALSE(cache->wasRebuilt());
    const auto index = cache->loadIndex();
    ASSERT_TRUE(index);
    // Whatever was reported written is there, whole.
    EXPECT_EQ(static_cast<int>(index->size()), written[0] + written[1]);
    EXPECT_GT(written[0] + written[1], 0);
    for (const auto& [folder, entry] : *index) {
        EXPECT_EQ(cache->blob(folder, "a.ics", {1, 2, 3}), folder);
    }
}

} // namespace
} // namespace plannery
