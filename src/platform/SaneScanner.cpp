#include "platform/SaneScanner.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <cstring>
#include <mutex>

namespace plannery {

namespace {

constexpr int kDotsPerInch = 300;
constexpr const char* kNoScanner = "No scanner is connected.";
constexpr const char* kFailed = "The scanner couldn't scan the page.";

std::mutex& saneLock() {
    static std::mutex lock;
    return lock;
}

// One use of SANE, from its start to its end; the drivers are loaded again each time, so a
// scanner plugged in meanwhile is found.
class Session {
  public:
    Session() {
        SANE_Int version = 0;
        m_ok = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
    }
    ~Session() {
        if (m_ok) {
            sane_exit();
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool ok() const { return m_ok; }

    // The first scanner on this computer (never one on the network).
    const SANE_Device* firstDevice() const {
        const SANE_Device** devices = nullptr;
        if (!m_ok || sane_get_devices(&devices, SANE_TRUE) != SANE_STATUS_GOOD || !devices) {
            return nullptr;
        }
        return devices[0];
    }

  private:
    bool m_ok = false;
};

const SANE_Option_Descriptor* settable(SANE_Handle handle, const char* name, SANE_Int& index) {
    for (SANE_Int i = 1;; ++i) {
        const SANE_Option_Descriptor* option = sane_get_option_descriptor(handle, i);
        if (!option) {
            return nullptr;
        }
        if (option->name && std::strcmp(option->name, name) == 0 &&
            SANE_OPTION_IS_SETTABLE(option->cap) && SANE_OPTION_IS_ACTIVE(option->cap)) {
            index = i;
            return option;
        }
    }
}

// Grey at 300 dots per inch where the scanner offers them; its own settings otherwise.
void chooseSettings(SANE_Handle handle) {
    SANE_Int index = 0;
    if (const auto* mode = settable(handle, SANE_NAME_SCAN_MODE, index);
        mode && mode->type == SANE_TYPE_STRING &&
        mode->constraint_type == SANE_CONSTRAINT_STRING_LIST) {
        for (const SANE_String_Const* value = mode->constraint.string_list; *value; ++value) {
            if (std::strcmp(*value, SANE_VALUE_SCAN_MODE_GRAY) == 0) {
                std::string gray = *value;
                gray.resize(static_cast<std::size_t>(mode->size));
                sane_control_option(handle, index, SANE_ACTION_SET_VALUE, gray.data(), nullptr);
                break;
            }
        }
    }
    if (const auto* resolution = settable(handle, SANE_NAME_SCAN_RESOLUTION, index)) {
        SANE_Word value =
            resolution->type == SANE_TYPE_FIXED ? SANE_FIX(kDotsPerInch) : SANE_Word(kDotsPerInch);
        if (resolution->type == SANE_TYPE_INT || resolution->type == SANE_TYPE_FIXED) {
            sane_control_option(handle, index, SANE_ACTION_SET_VALUE, &value, nullptr);
        }
    }
}

// A page of SANE's samples as a picture: grey in 1, 8 or 16 bits (a set bit is black), or
// colour in 8 or 16 bits per sample (16-bit samples in this machine's byte order).
QImage pictureOf(const SANE_Parameters& p, const std::vector<unsigned char>& data) {
    const int width = p.pixels_per_line;
    const int stride = p.bytes_per_line;
    if (width <= 0 || stride <= 0) {
        return {};
    }
    const int lines = static_cast<int>(data.size() / static_cast<std::size_t>(stride));
    const bool color = p.format == SANE_FRAME_RGB;
    if ((!color && p.format != SANE_FRAME_GRAY) || lines <= 0 ||
        (p.depth != 1 && p.depth != 8 && p.depth != 16) || (color && p.depth == 1)) {
        return {};
    }
    QImage image(width, lines, color ? QImage::Format_RGB888 : QImage::Format_Grayscale8);
    const int samples = color ? 3 : 1;
    for (int y = 0; y < lines; ++y) {
        const unsigned char* in = data.data() + static_cast<std::size_t>(y) * stride;
        unsigned char* out = image.scanLine(y);
        for (int i = 0; i < width * samples; ++i) {
            if (p.depth == 1) {
                out[i] = (in[i / 8] & (0x80 >> (i % 8))) ? 0 : 255;
            } else if (p.depth == 16) {
                std::uint16_t sample = 0;
                std::memcpy(&sample, in + 2 * i, 2);
                out[i] = static_cast<unsigned char>(sample >> 8);
            } else {
                out[i] = in[i];
            }
        }
    }
    const int dotsPerMeter = static_cast<int>(kDotsPerInch / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

} // namespace

bool SaneScanner::available() {
    std::lock_guard lock(saneLock());
    const Session session;
    return session.firstDevice() != nullptr;
}

DocumentScanner::Scan SaneScanner::scan(std::stop_token stop) {
    std::lock_guard lock(saneLock());
    const Session session;
    const SANE_Device* device = session.firstDevice();
    if (!device) {
        return Scan{.error = kNoScanner};
    }
    // A scan stopped before it began is not started: cancelling a driver whose reader thread is
    // only just starting can leave that thread holding the allocator's lock (SANE's own test
    // driver cancels its thread asynchronously), and the cancel would then never return.
    if (stop.stop_requested()) {
        return Scan{};
    }
    SANE_Handle handle = nullptr;
    if (sane_open(device->name, &handle) != SANE_STATUS_GOOD) {
        return Scan{.error = kFailed};
    }
    chooseSettings(handle);
    Scan result;
    std::vector<unsigned char> data;
    SANE_Parameters parameters{};
    {
        // SANE allows cancelling from another thread; the read in progress then ends.
        std::stop_callback onStop(stop, [handle] { sane_cancel(handle); });
        SANE_Status status = sane_start(handle);
        if (status == SANE_STATUS_GOOD) {
            status = sane_get_parameters(handle, &parameters);
        }
        std::vector<unsigned char> chunk(64 * 1024);
        while (status == SANE_STATUS_GOOD && !stop.stop_requested()) {
            SANE_Int length = 0;
            status = sane_read(handle, chunk.data(), static_cast<SANE_Int>(chunk.size()), &length);
            if (status == SANE_STATUS_GOOD) {
                data.insert(data.end(), chunk.begin(), chunk.begin() + length);
            }
        }
        if (!stop.stop_requested()) {
            if (status != SANE_STATUS_EOF) {
                result.error =
                    status == SANE_STATUS_NO_DOCS ? "The scanner has no page in it." : kFailed;
            } else if (QImage page = pictureOf(parameters, data); !page.isNull()) {
                result.pages.push_back(std::move(page));
            } else {
                result.error = kFailed;
            }
        }
        sane_cancel(handle);
    }
    sane_close(handle);
    return result;
}

} // namespace plannery
