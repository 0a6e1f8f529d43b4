// The Built-in Reader over the project's own texts (bench/data/finder): recall and precision of
// the start day and time against the events a careful person would enter, and how often a found
// event's end, zone, title and place are right; reported for the texts the reader's rules were
// tuned on and for the held-out quarter apart. Then the speed of text to suggestions per page,
// and of very long and unreadable texts. `--split N` also reports the held-out texts numbered
// below N and from N on apart, to compare a batch written later with the earlier ones. `--from N`
// also reports the tuning texts numbered N and above apart: a batch the rules have not yet been
// tuned on, read as it comes.
//
// `--title-options` writes, for every event of the tuning texts that the reader finds, the names
// the text offers for it with their features and whether each is a right title, one JSON line per
// event; bench/title-weights.py weighs those features from them.
//
// Run: FinderBench [--details] [--details-held-out] [--split N] [--from N] [--show NAME]
//                  [--title-options] [benchmark options]

#include "BenchMain.h"
#include "FinderCorpus.h"
#include "finder/BuiltinReader.h"
#include "finder/DraftJson.h"
#include "finder/EventAssembly.h"
#include "finder/EventSuggestion.h"
#include "finder/PlacePicking.h"
#include "finder/TitlePicking.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace plannery {
namespace {

// A page of text: about 1,800 characters (30 lines of 60).
constexpr double kPageCharacters = 1800;

const std::vector<bench::CorpusText>& corpus() {
    static const auto texts =
        bench::loadCorpus(std::filesystem::path(PLANNERY_BENCH_DATA) / "finder");
    return texts;
}

double percent(int part, int whole) {
    return whole == 0 ? 100.0 : 100.0 * part / whole;
}

void report(const char* name, const bench::Score& s, bool details) {
    std::printf("%-9s %3d texts %4d expected %4d found | recall %5.1f%% precision %5.1f%% | "
                "of matched: end %5.1f%% zone %5.1f%% title %5.1f%% place %5.1f%% | "
                "texts without events where some were found: %d\n",
                name, s.texts, s.expected, s.found, percent(s.matched, s.expected),
                percent(s.matched, s.found), percent(s.endRight, s.matched),
                percent(s.zoneRight, s.matched), percent(s.titleRight, s.matched),
                percent(s.placeRight, s.matched), s.emptyTextsWithEvents);
    if (details) {
        for (const std::string& miss : s.misses) {
            std::printf("    %s\n", miss.c_str());
        }
    }
}

void qualityReport(bool details, bool heldOutDetails, std::optional<int> split,
                   std::optional<int> from) {
    bench::Score tuning;
    bench::Score heldOut;
    bench::Score earlier;
    bench::Score later;
    bench::Score fresh;
    for (const bench::CorpusText& text : corpus()) {
        const auto drafts = BuiltinReader::read(text.text, text.now, text.calendar);
        (text.heldOut ? heldOut : tuning).add(text, drafts);
        if (text.heldOut && split) {
            (bench::number(text) < *split ? earlier : later).add(text, drafts);
        }
        if (!text.heldOut && from && bench::number(text) >= *from) {
            fresh.add(text, drafts);
        }
    }
    std::printf("Built-in Reader on %zu texts\n", corpus().size());
    report("tuning", tuning, details);
    report("held-out", heldOut, heldOutDetails);
    if (split) {
        std::printf("held-out texts numbered below %d, and from %d on:\n", *split, *split);
        report("  earlier", earlier, false);
        report("  later", later, false);
    }
    if (from) {
        std::printf("tuning texts numbered %d and above:\n", *from);
        report("  from", fresh, details);
    }
}

// The drafts found in the texts whose names contain `part`, as JSON.
// The held-out texts are never shown: they judge the rules only while no one has looked at them.
void show(const std::string& part) {
    for (const bench::CorpusText& text : corpus()) {
        if (text.heldOut || text.name.find(part) == std::string::npos) {
            continue;
        }
        std::printf(
            "%s\n%s\n", text.name.c_str(),
            DraftJson::write(BuiltinReader::read(text.text, text.now, text.calendar)).c_str());
    }
}

// The names offered for each event of the tuning texts that matches an expected one.
void titleOptions() {
    for (const bench::CorpusText& text : corpus()) {
        if (text.heldOut) {
            continue;
        }
        const reader::ReaderDays days(text.calendar, text.now);
        const reader::TextFacts facts = reader::TextFacts::read(text.text, days);
        const auto candidates = reader::assemble(facts, days, text.now, text.calendar);
        const reader::PlacePicker places(facts, candidates, text.calendar.localeId());
        const reader::TitlePicker titles(facts, candidates, text.calendar.localeId(),
                                         places.venueName());
        std::vector<bool> used(text.expected.size(), false);
        for (const reader::Candidate& c : candidates) {
            EventDraft draft{.startDate = reader::ReaderDays::key(c.day)};
            if (c.start) {
                char clock[8];
                std::snprintf(clock, sizeof clock, "%02d:%02d", c.start->hour % 24,
                              c.start->minute % 60);
                draft.startTime = clock;
            }
            std::size_t e = 0;
            while (e < text.expected.size() &&
                   (used[e] || bench::startKey(text.expected[e].draft) != bench::startKey(draft))) {
                ++e;
            }
            if (e == text.expected.size()) {
                continue;
            }
            used[e] = true;
            const auto right = [&](const std::string& title) {
                const std::string found = bench::comparable(EventSuggestion::tidyTitle(title));
                return std::any_of(
                    text.expected[e].titles.begin(), text.expected[e].titles.end(),
                    [&](const std::string& t) { return bench::comparable(t) == found; });
            };
            nlohmann::json line{{"text", text.name},
                                {"number", bench::number(text)},
                                {"expected", text.expected[e].titles}};
            if (auto fixed = titles.fixedTitle(c)) {
                line["fixed"] = right(*fixed);
            }
            line["fallback"] = right(titles.finished(facts.lines[c.line].text));
            nlohmann::json options = nlohmann::json::array();
            for (const reader::TitleOption& option : titles.options(c)) {
                nlohmann::json features = nlohmann::json::object();
                for (std::size_t k = 0; k < reader::kTitleFeatures; ++k) {
                    if (option.features[k] != 0) {
                        features[reader::featureName(static_cast<reader::TitleFeature>(k))] =
                            option.features[k];
                    }
                }
                const std::string title = titles.finished(option.text);
                options.push_back(
                    {{"title", title}, {"right", right(title)}, {"features", features}});
            }
            line["options"] = options;
            std::printf("%s\n", line.dump().c_str());
        }
    }
}

void BM_TextToSuggestions(benchmark::State& state) {
    double characters = 0;
    for (const auto& text : corpus()) {
        characters += static_cast<double>(text.text.size());
    }
    for (auto _ : state) {
        for (const auto& text : corpus()) {
            const auto drafts = BuiltinReader::read(text.text, text.now, text.calendar);
            benchmark::DoNotOptimize(
                EventSuggestion::suggestions(drafts, text.now, text.calendar, text.text));
        }
    }
    state.counters["pages"] = benchmark::Counter(characters / kPageCharacters,
                                                 benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * characters));
}
BENCHMARK(BM_TextToSuggestions)->Unit(benchmark::kMillisecond);

// One megabyte of pasted text: only its start is read, so the time stays bounded.
void BM_OneMegabyte(benchmark::State& state) {
    std::string text;
    while (text.size() < (1u << 20)) {
        for (const auto& t : corpus()) {
            text += t.text + "\n";
        }
    }
    text.resize(1u << 20);
    const auto& first = corpus().front();
    for (auto _ : state) {
        const auto drafts = BuiltinReader::read(text, first.now, first.calendar);
        benchmark::DoNotOptimize(
            EventSuggestion::suggestions(drafts, first.now, first.calendar, text));
    }
}
BENCHMARK(BM_OneMegabyte)->Unit(benchmark::kMillisecond);

// A page in a script the reader does not know.
void BM_UnknownScript(benchmark::State& state) {
    std::string text;
    while (text.size() < 4000) {
        text += "会議は金曜日の午後三時から本社の第二会議室で行います。よろしくお願いします。\n";
    }
    const auto& first = corpus().front();
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuiltinReader::read(text, first.now, first.calendar));
    }
}
BENCHMARK(BM_UnknownScript)->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool declared = bench::declare(
    {bench::Application::none, [](bench::Arguments& arguments) -> std::optional<int> {
         if (arguments.flag("--title-options")) {
             titleOptions();
             return 0;
         }
         if (const char* part = arguments.value("--show")) {
             show(part);
             return 0;
         }
         const bool details = arguments.flag("--details");
         const bool heldOutDetails = arguments.flag("--details-held-out");
         const auto number = [&](const char* name) {
             const char* value = arguments.value(name);
             return value ? std::optional(std::atoi(value)) : std::nullopt;
         };
         qualityReport(details, heldOutDetails, number("--split"), number("--from"));
         return std::nullopt;
     }});

} // namespace
} // namespace plannery
