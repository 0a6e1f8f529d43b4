// libFuzzer harness: any bytes go through reading, bounding, expansion over a fixed month and the
// cache codec. Crashes, sanitizer reports, hangs and a round trip that changes the data are
// findings.
#include "platform/IcsSeries.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

const plannery::Calendar& calendar() {
    static const plannery::Calendar berlin = *plannery::Calendar::make("Europe/Berlin");
    return berlin;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace plannery;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto result = ics::read(text);
    // March 2026 in Berlin: a month with a change of clocks.
    const Instant from{1772319600};
    const Instant to{1774994400};
    for (const auto& series : result.series) {
        const auto span = ics::bounds(series);
        if (span.first > span.last) {
            std::abort();
        }
        const auto occurrences = ics::expand(series, from, to, calendar());
        if (occurrences.size() > ics::kMaxOccurrencesPerWindow) {
            std::abort();
        }
    }
    const std::string bytes = ics::encode(result.series);
    const auto decoded = ics::decode(bytes);
    if (!decoded || ics::encode(*decoded) != bytes) {
        std::abort();
    }
    // The codec must also survive the raw input.
    (void)ics::decode(text);
    return 0;
}
