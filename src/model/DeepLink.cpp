#include "model/DeepLink.h"

#include "model/Fmt.h"
#include "model/PercentDecoding.h"

#include <algorithm>
#include <cctype>

namespace plannery::DeepLink {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::string day(Instant date, const Calendar& calendar) {
    return std::string(scheme) + "://day/" + Fmt::dayKey(date, calendar);
}

std::optional<Instant> parse(std::string_view url, const Calendar& calendar) {
    const std::size_t colon = url.find(':');
    if (colon == std::string_view::npos || !equalsIgnoringCase(url.substr(0, colon), scheme)) {
        return std::nullopt;
    }
    std::string_view rest = url.substr(colon + 1);
    if (!rest.starts_with("//")) {
        return std::nullopt;
    }
    rest.remove_prefix(2);
    // Neither the query nor the fragment belongs to the path.
    rest = rest.substr(0, std::min(rest.find_first_of("?#"), rest.size()));
    const std::size_t slash = std::min(rest.find('/'), rest.size());
    std::string_view host = rest.substr(0, slash);
    const std::string_view path = rest.substr(slash);
    if (const std::size_t at = host.rfind('@'); at != std::string_view::npos) {
        host.remove_prefix(at + 1);
    }
    host = host.substr(0, std::min(host.find(':'), host.size()));
    if (!equalsIgnoringCase(host, "day")) {
        return std::nullopt;
    }
    // The last component of the path; a trailing slash does not make an empty one.
    std::string_view last = path;
    while (!last.empty() && last.back() == '/') {
        last.remove_suffix(1);
    }
    // rfind gives npos without a slash, and npos + 1 is 0: the whole text.
    last = last.substr(std::min(last.rfind('/') + 1, last.size()));
    if (last.empty()) {
        return std::nullopt;
    }
    const auto decoded = percentDecoded(last);
    return decoded ? Fmt::parseDayKey(*decoded, calendar) : std::nullopt;
}

} // namespace plannery::DeepLink
