#include "cli/FindCommand.h"

#include "MiniJson.h"
#include "ScriptedServer.h"
#include "TestSupport.h"
#include "cli/Cli.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <sstream>

namespace plannery::cli {
namespace {

namespace fs = std::filesystem;
namespace json = test::json;
using test::ScriptedServer;

struct Ran {
    int status = -1;
    std::string out;
    std::string err;
};

// `plannery find` in this process: pictures are drawn with fonts and the local model's server
// runs on this thread, so the tests keep one GUI application (offscreen) for the whole suite.
class FindCommandTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!QCoreApplication::instance()) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            static int argc = 1;
            static char name[] = "test_cli";
            static char* argv[] = {name, nullptr};
            new QGuiApplication(argc, argv);
        }
    }

    test::TempDir dir;

    static Ran find(std::vector<std::string> arguments, const std::string& input = "") {
        arguments.insert(arguments.begin(), "find");
        const ParseResult parsed = parseArguments(arguments);
        Ran ran;
        if (!parsed.invocation) {
            ran.status = 2;
            ran.err = parsed.error;
            return ran;
        }
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        ran.status = runFind(std::get<FindOptions>(*parsed.invocation), in, out, err);
        ran.out = out.str();
        ran.err = err.str();
        return ran;
    }

    std::string file(const std::string& name, const std::string& content) {
        return dir.write(name, content).string();
    }

    std::string picture(const std::string& name, const QStringList& lines) {
        QImage image(1000, 80 + 60 * static_cast<int>(lines.size()), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(34);
        painter.setFont(font);
        for (int i = 0; i < lines.size(); ++i) {
            painter.drawText(40, 80 + 60 * i, lines[i]);
        }
        painter.end();
        const std::string path = (dir.path() / name).string();
        image.save(QString::fromStdString(path));
        return path;
    }
};

const std::vector<std::string> kBerlinMonday = {"--now", "2026-03-02T09:00", "--tz",
                                                "Europe/Berlin"};

std::vector<std::string> with(std::vector<std::string> arguments,
                              const std::vector<std::string>& more) {
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

TEST_F(FindCommandTest, ListsTheEventsOfATextAsAnAgendaOrAsJson) {
    const std::string text = file("invite.txt", "Team Lunch\nFriday, March 13 at 12:30\n"
                                                "Rooftop Terrace, 5 Main St\n"
                                                "Board meeting: March 20, 9:00-11:00 ET\n");
    const Ran agenda = find(with({"--text", text}, kBerlinMonday));
    ASSERT_EQ(agenda.status, 0) << agenda.err;
    EXPECT_EQ(agenda.out, "Friday, March 13, 2026\n"
                          "  12:30–13:30   Team Lunch\n"
                          "\n"
                          "Friday, March 20, 2026\n"
                          "  14:00–16:00   Board meeting\n");

    const Ran listed = find(with({"--text", text, "--json"}, kBerlinMonday));
    ASSERT_EQ(listed.status, 0) << listed.err;
    const auto document = json::Reader(listed.out).document();
    ASSERT_TRUE(document) << listed.out;
    const json::Value& result = *document;
    EXPECT_EQ(result["text"].string, "Team Lunch\nFriday, March 13 at 12:30\n"
                                     "Rooftop Terrace, 5 Main St\n"
                                     "Board meeting: March 20, 9:00-11:00 ET\n");
    const json::Value& lunch = result["drafts"][0];
    EXPECT_EQ(lunch.object.size(), 4u); // absent fields are left out
    EXPECT_EQ(lunch["title"].string, "Team Lunch");
    EXPECT_EQ(lunch["startDate"].string, "2026-03-13");
    EXPECT_EQ(lunch["startTime"].string, "12:30");
    EXPECT_EQ(lunch["location"].string, "Rooftop Terrace, 5 Main St");
    EXPECT_EQ(result["drafts"][1]["timeZone"].string, "America/New_York");
    const json::Value& board = result["suggestions"][1];
    EXPECT_EQ(board["title"].string, "Board meeting");
    EXPECT_EQ(board["start"].string, "2026-03-20T14:00:00+01:00");
    EXPECT_EQ(board["end"].string, "2026-03-20T16:00:00+01:00");
    EXPECT_FALSE(board["isAllDay"].boolean);
    EXPECT_EQ(board["timeZone"].string, "America/New_York");
    EXPECT_EQ(board["id"].string.size(), 36u);

    // A printed instant is taken back as --now, and so is the same time typed in the zone.
    const Ran again =
        find({"--text", text, "--tz", "Europe/Berlin", "--now", "2026-03-02T09:00:00+01:00"});
    EXPECT_EQ(again.out, agenda.out);
    const Ran fromInstant =
        find({"--text", text, "--tz", "Europe/Berlin", "--now", board["start"].string});
    EXPECT_EQ(fromInstant.status, 0);
}

TEST_F(FindCommandTest, ReadsTheStandardInputAndSaysWhenThereIsNothing) {
    const Ran piped = find(with({"--text", "-"}, kBerlinMonday), "Dentist tomorrow at 3pm\n");
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_NE(piped.out.find("15:00–16:00   Dentist"), std::string::npos) << piped.out;
    EXPECT_NE(piped.out.find("Tuesday, March 3, 2026"), std::string::npos);

    EXPECT_EQ(find(with({"--text", "-"}, kBerlinMonday), "").out, "No events found.\n");
    const Ran none = find(with({"--text", "-", "--json"}, kBerlinMonday), "Thanks!\n");
    EXPECT_EQ(none.out, "{\"text\":\"Thanks!\\n\",\n\"drafts\":[],\n\"suggestions\":[]}\n");

    // A megabyte of text is no reason to hang.
    std::string big;
    while (big.size() < (1u << 20)) {
        big += "Lunch with Sam on Friday, March 13 at 12:30. Bring the slides.\n";
    }
    const Ran huge = find(with({"--text", "-", "--json"}, kBerlinMonday), big);
    EXPECT_EQ(huge.status, 0);
}

TEST_F(FindCommandTest, ReadsTheTextOfPictures) {
    const std::string shot = picture("shot.png", {QStringLiteral("Parents Evening"),
                                                  QStringLiteral("Tuesday, March 17 at 18:00"),
                                                  QStringLiteral("Room 4, Hill School")});
    const Ran read = find(with({"--image", shot, "--json"}, kBerlinMonday));
    ASSERT_EQ(read.status, 0) << read.err;
    const auto document = json::Reader(read.out).document();
    ASSERT_TRUE(document);
    EXPECT_EQ((*document)["text"].string,
              "Parents Evening\nTuesday, March 17 at 18:00\nRoom 4, Hill School");
    EXPECT_EQ((*document)["suggestions"][0]["title"].string, "Parents Evening");
    EXPECT_EQ((*document)["suggestions"][0]["start"].string, "2026-03-17T18:00:00+01:00");

    struct Case {
        std::string file;
        std::string says;
    };
    const Case bad[] = {
        {file("notes.png", "Lunch on Friday"), "isn't a picture"},
        {file("letter.pdf", "%PDF-1.4\n%%EOF\n"), "PDF documents can't be read here"},
        {(dir.path() / "missing.png").string(), "can't be opened"},
        {picture("blank.png", {}), "couldn't find any text in this image"},
    };
    for (const Case& c : bad) {
        const Ran failed = find(with({"--image", c.file}, kBerlinMonday));
        EXPECT_EQ(failed.status, 1) << c.file;
        EXPECT_NE(failed.err.find(c.says), std::string::npos) << failed.err;
        EXPECT_TRUE(failed.out.empty());
    }
}

TEST_F(FindCommandTest, AsksTheLocalModelsServer) {
    ScriptedServer server([](const ScriptedServer::Request& request) -> ScriptedServer::Reply {
        if (request.path == "/v1/models") {
            return {.status = 200, .body = R"({"data":[{"id":"m"}]})"};
        }
        return {
            .status = 200,
            .body =
                R"({"choices":[{"message":{"content":"{\"events\":[{\"title\":\"Choir\",)"
                R"(\"startDate\":\"2026-03-05\",\"startTime\":\"19:30\",\"endDate\":\"\",)"
                R"(\"endTime\":\"\",\"timeZone\":\"\",\"location\":\"\",\"notes\":\"\"}]}"}}]})"};
    });
    const std::string text = file("choir.txt", "Choir practice Thursday 7:30pm");
    const Ran asked =
        find(with({"--text", text, "--engine", "local-model", "--url", server.url().toStdString()},
                  kBerlinMonday));
    ASSERT_EQ(asked.status, 0) << asked.err;
    EXPECT_NE(asked.out.find("19:30–20:30   Choir"), std::string::npos) << asked.out;

    const Ran off = find(with({"--text", text, "--engine", "local-model", "--url",
                               "http://127.0.0.1:" + std::to_string(ScriptedServer::closedPort())},
                              kBerlinMonday));
    EXPECT_EQ(off.status, 1);
    EXPECT_NE(off.err.find("The local model is turned off."), std::string::npos) << off.err;
    const Ran elsewhere =
        find(with({"--text", text, "--engine", "local-model", "--url", "http://192.0.2.7:8080"},
                  kBerlinMonday));
    EXPECT_NE(elsewhere.err.find("The local model isn't available right now."), std::string::npos);
}

TEST_F(FindCommandTest, AddsWhatItFoundToTheCalendarNamedByATail) {
    dir.write("cals/home/personal/displayname", "Personal\n");
    dir.write("cals/home/feed/calendar.ini", "read-only = true\n");
    const std::string root = (dir.path() / "cals").string();
    const std::string text = file("two.txt", "Dentist: March 5 at 10:00\nYoga: March 6 at 7:30\n");
    const Ran added = find(with(
        {"--text", text, "--add", "--calendar", "home/personal", "--root", root}, kBerlinMonday));
    ASSERT_EQ(added.status, 0) << added.err;
    std::vector<std::string> ids;
    std::istringstream lines(added.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("added ")) {
            ids.push_back(line.substr(6));
        }
    }
    ASSERT_EQ(ids.size(), 2u) << added.out;
    for (const std::string& id : ids) {
        EXPECT_TRUE(fs::exists(id)) << id;
    }
    const Ran agenda = [&] {
        std::ostringstream out;
        std::ostringstream err;
        const int status = run({"agenda", "--root", root, "--from", "2026-03-05", "--days", "2",
                                "--tz", "Europe/Berlin"},
                               out, err);
        return Ran{status, out.str(), err.str()};
    }();
    EXPECT_NE(agenda.out.find("Dentist  [Personal]"), std::string::npos) << agenda.out;
    EXPECT_NE(agenda.out.find("Yoga  [Personal]"), std::string::npos);

    // As JSON, the identifiers of what was added follow the suggestions.
    const std::string third = file("third.txt", "Piano: March 7 at 16:00\n");
    const Ran json = find(
        with({"--text", third, "--add", "--calendar", "home/personal", "--root", root, "--json"},
             kBerlinMonday));
    ASSERT_EQ(json.status, 0) << json.err;
    const auto document = json::Reader(json.out).document();
    ASSERT_TRUE(document) << json.out;
    EXPECT_EQ(document->object.size(), 4u);
    ASSERT_EQ((*document)["added"].array.size(), 1u);
    EXPECT_TRUE(fs::exists((*document)["added"][0].string));

    const Ran locked = find(
        with({"--text", text, "--add", "--calendar", "home/feed", "--root", root}, kBerlinMonday));
    EXPECT_EQ(locked.status, 1);
    EXPECT_NE(locked.err.find("takes no new events"), std::string::npos) << locked.err;
    const Ran unknown =
        find(with({"--text", text, "--add", "--calendar", "nope", "--root", root}, kBerlinMonday));
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("No calendar has"), std::string::npos) << unknown.err;
}

TEST_F(FindCommandTest, BadUsageIsSaidInOneSentence) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "needs --text FILE"},
        {{"--text", "a.txt", "--add"}, "--add needs --calendar"},
        {{"--text", "a.txt", "--calendar", "x"}, "--calendar is for --add"},
        {{"--text", "a.txt", "--engine", "magic"}, "takes builtin or local-model"},
        {{"--text", "a.txt", "--url", "http://127.0.0.1:1"}, "--url is for --engine local-model"},
        {{"--text", "a.txt", "--now", "2026-02-30T10:00"}, "is not a time that exists"},
        {{"--text", "a.txt", "--tz", "Mars/Olympus"}, "is not known"},
        {{"--text", "a.txt", "--text", "b.txt"}, "Give --text once"},
    };
    for (const auto& [arguments, says] : cases) {
        const Ran ran = find(arguments);
        EXPECT_EQ(ran.status, 2);
        EXPECT_NE(ran.err.find(says), std::string::npos) << ran.err;
    }
    const Ran missing = find(with({"--text", (dir.path() / "none.txt").string()}, kBerlinMonday));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("can't be opened"), std::string::npos);
}

} // namespace
} // namespace plannery::cli
