#include "app/SingleInstance.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

namespace plannery {
namespace {

namespace fs = std::filesystem;

QString socketIn(const test::TempDir& dir) {
    return QString::fromStdString((dir.path() / "instance").string());
}

TEST(SingleInstance, ALaterStartHandsItsLinkToTheRunningOne) {
    test::TempDir dir;
    SingleInstance second(socketIn(dir));
    EXPECT_EQ(second.forward("plannery://day/2026-03-07", 200),
              SingleInstance::Forwarded::noneRunning);

    SingleInstance first(socketIn(dir));
    QStringList received;
    ASSERT_TRUE(first.listen([&](const QString& message) { received.push_back(message); }));
    EXPECT_EQ(second.forward("plannery://day/2026-03-07"), SingleInstance::Forwarded::toRunning);
    EXPECT_EQ(second.forward(""), SingleInstance::Forwarded::toRunning);
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == 2; }, 2000));
    EXPECT_EQ(received, (QStringList{"plannery://day/2026-03-07", ""}));
}

TEST(SingleInstance, TheSocketLivesInTheUsersRuntimeFolder) {
    test::TempDir dir;
    const fs::path runtime = dir.path() / "run";
    fs::create_directory(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    const test::ScopedVariable tmp("TMPDIR", (dir.path() / "tmp").string());
    fs::create_directory(dir.path() / "tmp");
    fs::permissions(dir.path() / "tmp", fs::perms::all | fs::perms::sticky_bit);
    {
        const test::ScopedVariable variable("XDG_RUNTIME_DIR", runtime.string());
        const SingleInstance::Place place = SingleInstance::defaultPlace();
        EXPECT_EQ(place.socket.toStdString(), (runtime / "plannery" / "instance").string());
        EXPECT_FALSE(place.problem);
    }
    // Without a runtime folder, and with the fallback made by someone else first: no socket at
    // all, rather than one another user can listen on.
    const test::ScopedVariable variable("XDG_RUNTIME_DIR", std::nullopt);
    const fs::path fallback = dir.path() / "tmp" / ("plannery-" + std::to_string(::getuid()));
    fs::create_directory(fallback);
    fs::permissions(fallback, fs::perms::all);
    const SingleInstance::Place place = SingleInstance::defaultPlace();
    EXPECT_TRUE(place.socket.isEmpty());
    EXPECT_EQ(place.problem,
              "the folder \u201C" + fallback.string() + "\u201D is open to other users");
}

// A plain socket listener in a child process: as root, a real process of another user (the
// squatter of a shared folder); otherwise one of the user's, and the start stands for another
// user. What the squatter read comes back through a pipe.
TEST(SingleInstance, NoStartOrLinkGoesToAListenerOfAnotherUser) {
    test::TempDir dir;
    const std::string path = (dir.path() / "instance").string();
    const bool root = ::geteuid() == 0;
    const passwd* nobody = ::getpwnam("nobody");
    const uid_t uid = nobody != nullptr ? nobody->pw_uid : 65534;
    const gid_t gid = nobody != nullptr ? nobody->pw_gid : 65534;
    if (root) {
        ASSERT_EQ(::chown(dir.path().c_str(), uid, gid), 0);
    }
    int ready[2] = {-1, -1};
    int heard[2] = {-1, -1};
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(heard), 0);
    const pid_t squatter = ::fork();
    ASSERT_GE(squatter, 0);
    if (squatter == 0) {
        if (root && (::setgroups(0, nullptr) != 0 || ::setresgid(gid, gid, gid) != 0 ||
                     ::setresuid(uid, uid, uid) != 0)) {
            std::_Exit(2);
        }
        const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener, 4) != 0 || ::write(ready[1], "r", 1) != 1) {
            std::_Exit(3);
        }
        const int connection = ::accept(listener, nullptr, nullptr);
        char text[256];
        const ssize_t read = ::read(connection, text, sizeof text);
        std::_Exit(::write(heard[1], text, read > 0 ? static_cast<std::size_t>(read) : 0) < 0);
    }
    ::close(ready[1]);
    ::close(heard[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);

    SingleInstance start(QString::fromStdString(path), root ? ::getuid() : ::getuid() + 1);
    EXPECT_EQ(start.forward("plannery://day/2026-03-07"), SingleInstance::Forwarded::refused);
    char text[256];
    EXPECT_EQ(::read(heard[0], text, sizeof text), 0) << "the squatter heard something";
    int status = 0;
    ::waitpid(squatter, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ::close(ready[0]);
    ::close(heard[0]);
}

TEST(SingleInstance, TheRunningInstanceTakesNothingFromAnotherUser) {
    test::TempDir dir;
    // The running instance belongs to another user than this start's process runs as.
    SingleInstance running(socketIn(dir), ::getuid() + 1);
    QStringList received;
    ASSERT_TRUE(running.listen([&](const QString& message) { received.push_back(message); }));
    QLocalSocket start;
    start.connectToServer(socketIn(dir));
    ASSERT_TRUE(start.waitForConnected(1000));
    start.write("plannery://day/2026-03-07\n");
    start.flush();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return start.state() == QLocalSocket::UnconnectedState; }, 2000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(received.isEmpty()) << received.join(", ").toStdString();
}

} // namespace
} // namespace plannery
