#include "widget/SharedRecord.h"

#include "store/SharedKeychain.h"
#include "store/WidgetCenter.h"

#include <sys/stat.h>

namespace plannery {

namespace {

std::uint64_t inodeOf(const std::filesystem::path& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 ? static_cast<std::uint64_t>(status.st_ino) : 0;
}

using Found = SharedStore::Lookup::Found;

} // namespace

SharedRecord::SharedRecord(std::optional<std::filesystem::path> file) : m_file(std::move(file)) {}

SharedRecord::~SharedRecord() = default;

SharedRecord::Snapshot SharedRecord::read() {
    Snapshot snapshot;
    if (!m_file) {
        return snapshot;
    }
    const std::uint64_t inode = inodeOf(*m_file);
    if (!m_store || inode != m_inode) {
        // The app moves a damaged file aside and starts a new one: follow it.
        m_store.reset();
        SharedStore::Reader opened = SharedStore::openForReading(*m_file, kWait);
        switch (opened.problem) {
        case SharedStore::ReadProblem::missing:
            break;
        case SharedStore::ReadProblem::busy:
            snapshot.state = State::busy;
            return snapshot;
        case SharedStore::ReadProblem::damaged:
        case SharedStore::ReadProblem::unreadable:
            snapshot.state = State::damaged;
            return snapshot;
        }
        if (!opened.store) {
            return snapshot;
        }
        m_store = std::move(opened.store);
        m_inode = inode;
    }

    const SharedStore::Lookup settings =
        m_store->lookup(SharedKeychain::settingsService(), "shared");
    const SharedStore::Lookup reload =
        m_store->lookup(SharedKeychain::widgetsService(), WidgetCenter::reloadAccount);
    const SharedStore::Lookup roots =
        m_store->lookup(SharedKeychain::prefsService(), WidgetCenter::rootsKey);
    for (const SharedStore::Lookup* lookup : {&settings, &reload, &roots}) {
        if (lookup->found == Found::busy) {
            snapshot.state = State::busy;
            return snapshot;
        }
        if (lookup->found == Found::failed) {
            m_store.reset();
            snapshot.state = State::damaged;
            return snapshot;
        }
    }
    if (settings.found == Found::item) {
        const auto decoded = SharedSettings::fromJson(settings.bytes);
        if (!decoded) {
            snapshot.state = State::damaged;
            return snapshot;
        }
        snapshot.settings = *decoded;
    }
    snapshot.reloadCount = WidgetCenter::countFrom(reload.bytes);
    snapshot.roots = WidgetCenter::rootsFromJson(roots.bytes);
    snapshot.state = State::ok;
    return snapshot;
}

} // namespace plannery
