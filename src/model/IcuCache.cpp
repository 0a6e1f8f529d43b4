#include "model/IcuCache.h"

#include <unordered_map>

namespace plannery::IcuCache {

namespace {

// A window uses a few dozen objects; the limit only guards against a caller that walks through
// many locales or zones.
constexpr std::size_t kLimit = 256;

std::unordered_map<std::string, std::unique_ptr<icu::UObject>>& objects() {
    thread_local std::unordered_map<std::string, std::unique_ptr<icu::UObject>> kept;
    return kept;
}

} // namespace

std::string utf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

icu::UnicodeString unicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), text.size()));
}

std::unique_ptr<icu::TimeZone> knownZone(const std::string& zoneId) {
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(unicode(zoneId)));
    if (!zone || *zone == icu::TimeZone::getUnknown()) {
        return nullptr;
    }
    return zone;
}

icu::TimeZone* zoneOrUtc(const std::string& zoneId) {
    auto zone = knownZone(zoneId);
    return zone ? zone.release() : icu::TimeZone::getGMT()->clone();
}

std::string key(std::string_view pattern, const std::string& localeId, const std::string& zoneId) {
    std::string out(localeId);
    out.append(1, '\x1f').append(zoneId).append(1, '\x1f').append(pattern);
    return out;
}

std::optional<icu::UObject*> find(const std::string& key) {
    auto& kept = objects();
    if (auto found = kept.find(key); found != kept.end()) {
        return found->second.get();
    }
    return std::nullopt;
}

icu::UObject* keep(const std::string& key, std::unique_ptr<icu::UObject> object) {
    auto& kept = objects();
    if (kept.size() >= kLimit) {
        kept.clear();
    }
    return kept.insert_or_assign(key, std::move(object)).first->second.get();
}

} // namespace plannery::IcuCache
