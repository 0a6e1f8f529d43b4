#pragma once

#include <unicode/timezone.h>
#include <unicode/unistr.h>
#include <unicode/uobject.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <typeinfo>

// The one place where ICU objects are kept between calls. Formatters cost far more to build than
// to use, and every text the program shows goes through a handful of them, so each is built once
// per thread, locale, zone and pattern. ICU formatters are not safe to share between threads: the
// cache is per thread. A pointer it hands out stays valid until the next call on the same thread
// (a full cache is emptied to make room).
namespace plannery::IcuCache {

std::string utf8(const icu::UnicodeString& text);
icu::UnicodeString unicode(std::string_view text);

// The zone of an identifier; none for one ICU does not know.
std::unique_ptr<icu::TimeZone> knownZone(const std::string& zoneId);
// An unknown zone is written in UTC rather than under ICU's "Etc/Unknown", which would also be
// UTC but under a misleading name.
icu::TimeZone* zoneOrUtc(const std::string& zoneId);

// What an object is made from: the pattern (or any text telling apart objects of one kind), the
// locale and the zone.
std::string key(std::string_view pattern, const std::string& localeId,
                const std::string& zoneId = {});

// The object kept under a key, null when it could not be built; none when nothing is kept.
std::optional<icu::UObject*> find(const std::string& key);
// Keeps an object (or its absence, so that it is not retried on every call) and returns it.
icu::UObject* keep(const std::string& key, std::unique_ptr<icu::UObject> object);

// The object of type T kept under `key`, made by `make` (returning std::unique_ptr<T>, null when
// ICU cannot build it) the first time. Keys of different types never meet.
template <typename T, typename Make> T* cached(const std::string& key, Make make) {
    std::string typed(typeid(T).name());
    typed.append(1, '\x1e').append(key);
    if (const std::optional<icu::UObject*> found = find(typed)) {
        return static_cast<T*>(*found);
    }
    std::unique_ptr<T> made = make();
    return static_cast<T*>(keep(typed, std::move(made)));
}

} // namespace plannery::IcuCache
