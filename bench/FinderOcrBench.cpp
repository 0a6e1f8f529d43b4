// The finder's texts (bench/data/finder) drawn as pictures and read back with Tesseract before the
// Built-in Reader looks for their events: the same figures as FinderBench (recall and precision
// of start day and time; right ends, zones, titles and places), for each way of drawing and for
// all of them, on the tuned texts and on the held-out quarter. The pictures are drawn in turn as
// a screenshot in a sans font, a printed page in a serif font, small interface text, and a photo
// of a flyer (turned a little, grey on a tinted, uneven background, slightly blurred). Then the
// time to read a 1920 × 1080 screenshot full of text, and to find the suggestions in what was read.
//
// Run on one core: OMP_THREAD_LIMIT=1 taskset -c 0 FinderOcrBench [--details] [--pictures DIR]
//                  [--split N] [--show NAME] [--only WAYS] [--speed-only] [benchmark options]
// --details lists the misses in the tuned texts (the held-out ones stay unseen); --pictures writes
// the tuned texts' pictures (and the screenshot) to DIR; --show prints what was read from the tuned
// texts whose names contain NAME, and the drafts found in it; --split N also reports the held-out
// texts numbered below N and from N on apart; --only draws the texts only the ways named, separated
// by commas (photo, or screenshot,small-ui), and the sums over pictures cover only those ways;
// --speed-only leaves out the figures and only times the reading.

#include "BenchMain.h"
#include "FinderCorpus.h"
#include "PhotoLook.h"
#include "finder/BuiltinReader.h"
#include "finder/DraftJson.h"
#include "finder/EventSuggestion.h"
#include "platform/ImagingModule.h"
#include "platform/TesseractRecognizer.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

namespace plannery {
namespace {

// A page of text: about 1,800 characters (30 lines of 60), as FinderBench counts it.
constexpr double kPageCharacters = 1800;

struct Style {
    const char* name;
    const char* family;
    int pixelSize;
    bool photo;
};

constexpr std::array<Style, 4> kStyles{{
    {"screenshot", "DejaVu Sans", 20, false},
    {"printed", "Liberation Serif", 26, false},
    {"small-ui", "Liberation Sans", 15, false},
    {"photo", "DejaVu Sans", 30, true},
}};

// The ways named in `only` (separated by commas), or all of them when it is null.
std::vector<Style> waysNamed(const char* only) {
    std::vector<Style> ways;
    const QStringList names = QString::fromLocal8Bit(only ? only : "").split(QLatin1Char(','));
    for (const Style& style : kStyles) {
        if (!only || names.contains(QLatin1String(style.name))) {
            ways.push_back(style);
        }
    }
    return ways;
}

const std::vector<bench::CorpusText>& corpus() {
    static const auto texts =
        bench::loadCorpus(std::filesystem::path(PLANNERY_BENCH_DATA) / "finder");
    return texts;
}

QStringList linesOf(const std::string& text) {
    return QString::fromStdString(text).split(QLatin1Char('\n'));
}

// The text drawn line by line on a page just wide enough for it.
QImage draw(const std::string& text, const Style& style) {
    QFont font(QString::fromLatin1(style.family));
    font.setPixelSize(style.pixelSize);
    const QFontMetrics metrics(font);
    const QStringList lines = linesOf(text);
    int width = 0;
    for (const QString& line : lines) {
        width = std::max(width, metrics.horizontalAdvance(line));
    }
    const int margin = style.pixelSize * 2;
    const int lineHeight = metrics.lineSpacing();
    QImage page(width + 2 * margin, static_cast<int>(lines.size()) * lineHeight + 2 * margin,
                QImage::Format_RGB32);
    QPainter painter(&page);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (style.photo) {
        // Uneven light on tinted paper, and a soft grey print.
        QLinearGradient light(0, 0, page.width(), page.height());
        light.setColorAt(0, QColor(0xEE, 0xE6, 0xD2));
        light.setColorAt(1, QColor(0xB8, 0xB0, 0x9E));
        painter.fillRect(page.rect(), light);
        painter.setPen(QColor(0x4A, 0x45, 0x40));
    } else {
        page.fill(Qt::white);
        painter.setPen(Qt::black);
    }
    painter.setFont(font);
    for (int i = 0; i < lines.size(); ++i) {
        painter.drawText(margin, margin + i * lineHeight + metrics.ascent(), lines[i]);
    }
    painter.end();
    if (!style.photo) {
        return page;
    }
    return test::photographed(page);
}

TesseractRecognizer& recognizerFor(const Calendar& calendar) {
    static std::map<std::string, std::unique_ptr<TesseractRecognizer>> recognizers;
    const std::string languages = ImagingModule::languagesFor(calendar.localeId());
    auto& recognizer = recognizers[languages];
    if (!recognizer) {
        recognizer = std::make_unique<TesseractRecognizer>(languages);
    }
    return *recognizer;
}

double percent(int part, int whole) {
    return whole == 0 ? 100.0 : 100.0 * part / whole;
}

void misses(const bench::Score& s) {
    for (const std::string& miss : s.misses) {
        std::printf("    %s\n", miss.c_str());
    }
}

void report(const std::string& name, const bench::Score& s) {
    std::printf("%-22s %3d texts %4d expected %4d found | recall %5.1f%% precision %5.1f%% | "
                "of matched: end %5.1f%% zone %5.1f%% title %5.1f%% place %5.1f%% | "
                "texts without events where some were found: %d\n",
                name.c_str(), s.texts, s.expected, s.found, percent(s.matched, s.expected),
                percent(s.matched, s.found), percent(s.endRight, s.matched),
                percent(s.zoneRight, s.matched), percent(s.titleRight, s.matched),
                percent(s.placeRight, s.matched), s.emptyTextsWithEvents);
}

void qualityReport(const std::vector<Style>& ways, bool details, const char* pictures,
                   std::optional<int> split) {
    std::map<std::string, bench::Score> byStyle;
    std::map<std::string, bench::Score> tunedByStyle; // the misses shown
    bench::Score tuning;
    bench::Score heldOut;
    bench::Score typed;
    bench::Score earlier;
    bench::Score later;
    for (const bench::CorpusText& text : corpus()) {
        typed.add(text, BuiltinReader::read(text.text, text.now, text.calendar));
        // Every text in every way of drawing it.
        for (const Style& style : ways) {
            const QImage picture = draw(text.text, style);
            if (pictures && !text.heldOut) {
                picture.save(QString::fromLocal8Bit(pictures) + QLatin1Char('/') +
                             QString::fromStdString(text.name) + QLatin1Char('-') +
                             QLatin1String(style.name) + QStringLiteral(".png"));
            }
            const RecognizedText read = recognizerFor(text.calendar).text(picture, 1, {});
            const auto drafts = BuiltinReader::read(read.text, text.now, text.calendar);
            byStyle[style.name].add(text, drafts);
            if (!text.heldOut) {
                tunedByStyle[style.name].add(text, drafts);
            }
            (text.heldOut ? heldOut : tuning).add(text, drafts);
            if (text.heldOut && split) {
                (bench::number(text) < *split ? earlier : later).add(text, drafts);
            }
        }
    }
    std::printf("Built-in Reader on %zu texts, each drawn %zu ways and read by Tesseract\n",
                corpus().size(), ways.size());
    for (const Style& style : ways) {
        report(std::string("  ") + style.name, byStyle[style.name]);
        if (details) {
            misses(tunedByStyle[style.name]);
        }
    }
    report("pictures, tuned texts", tuning);
    report("pictures, held-out", heldOut);
    report("typed text", typed);
    if (split) {
        report("held-out below " + std::to_string(*split), earlier);
        report("held-out from " + std::to_string(*split), later);
    }
}

// What was read from the tuned texts whose names contain `part`, drawn each way, and the drafts
// found in it.
void show(const std::vector<Style>& ways, const std::string& part) {
    for (const bench::CorpusText& text : corpus()) {
        if (text.heldOut || text.name.find(part) == std::string::npos) {
            continue;
        }
        for (const Style& style : ways) {
            const std::string read =
                recognizerFor(text.calendar).text(draw(text.text, style), 1, {}).text;
            std::printf(
                "%s %s\n%s\n%s\n", text.name.c_str(), style.name, read.c_str(),
                DraftJson::write(BuiltinReader::read(read, text.now, text.calendar)).c_str());
        }
    }
}

// A screenshot of a mail window: a sidebar and three columns of messages in interface text.
QImage screenshot() {
    QImage shot(1920, 1080, QImage::Format_RGB32);
    shot.fill(Qt::white);
    QPainter painter(&shot);
    painter.fillRect(0, 0, 260, 1080, QColor(0xF2, 0xF2, 0xF4));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(15);
    painter.setFont(font);
    painter.setPen(QColor(0x20, 0x20, 0x24));
    const QFontMetrics metrics(font);
    std::size_t text = 0;
    for (int column = 0; column < 3; ++column) {
        int y = 40;
        while (y < 1040) {
            for (const QString& line : linesOf(corpus()[text++ % corpus().size()].text)) {
                if (y >= 1040) {
                    break;
                }
                painter.drawText(QRect(290 + column * 540, y, 510, metrics.lineSpacing()),
                                 Qt::AlignLeft | Qt::TextSingleLine, line);
                y += metrics.lineSpacing();
            }
            y += metrics.lineSpacing();
        }
    }
    return shot;
}

void BM_ReadScreenshot(benchmark::State& state) {
    const QImage shot = screenshot();
    TesseractRecognizer recognizer("eng");
    recognizer.text(shot, 1, {}); // the language data is loaded once, before timing
    std::size_t characters = 0;
    for (auto _ : state) {
        const RecognizedText read = recognizer.text(shot, 1, {});
        characters = read.text.size();
        benchmark::DoNotOptimize(read);
    }
    state.counters["characters"] = static_cast<double>(characters);
}
BENCHMARK(BM_ReadScreenshot)->Unit(benchmark::kMillisecond)->Iterations(5);

// What Tesseract read from the screenshot, with its misread letters and its columns run
// together, to suggestions: the reader's speed per page on recognised rather than typed text.
void BM_RecognizedTextToSuggestions(benchmark::State& state) {
    const std::string text = TesseractRecognizer("eng").text(screenshot(), 1, {}).text;
    const bench::CorpusText& first = corpus().front();
    std::size_t found = 0;
    for (auto _ : state) {
        const auto drafts = BuiltinReader::read(text, first.now, first.calendar);
        const auto suggestions =
            EventSuggestion::suggestions(drafts, first.now, first.calendar, text);
        found = suggestions.size();
        benchmark::DoNotOptimize(suggestions);
    }
    state.counters["suggestions"] = static_cast<double>(found);
    state.counters["pages"] = benchmark::Counter(static_cast<double>(text.size()) / kPageCharacters,
                                                 benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RecognizedTextToSuggestions)->Unit(benchmark::kMillisecond);

[[maybe_unused]] const bool declared = bench::declare(
    {bench::Application::gui, [](bench::Arguments& arguments) -> std::optional<int> {
         const std::vector<Style> ways = waysNamed(arguments.value("--only"));
         if (ways.empty()) {
             std::fprintf(stderr, "--only names none of: screenshot, printed, small-ui, photo\n");
             return 2;
         }
         if (const char* part = arguments.value("--show")) {
             show(ways, part);
             return 0;
         }
         const bool details = arguments.flag("--details");
         const char* pictures = arguments.value("--pictures");
         if (pictures != nullptr) {
             screenshot().save(QString::fromLocal8Bit(pictures) +
                               QStringLiteral("/screenshot.png"));
         }
         if (arguments.flag("--speed-only")) {
             return std::nullopt;
         }
         const char* split = arguments.value("--split");
         qualityReport(ways, details, pictures,
                       split ? std::optional(std::atoi(split)) : std::nullopt);
         return std::nullopt;
     }});

} // namespace
} // namespace plannery
