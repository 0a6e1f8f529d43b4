#pragma once

#include <QImage>

#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace plannery {

// A document scanner attached to this computer. Both calls block (drivers look for devices and
// scanners move slowly): they are meant for a worker thread.
class DocumentScanner {
  public:
    // The scanned pages in order, or a sentence; a cancelled scan gives neither.
    struct Scan {
        std::vector<QImage> pages{};
        std::optional<std::string> error{};
    };

    virtual ~DocumentScanner() = default;

    // Whether a scanner is there to scan with.
    virtual bool available() = 0;
    virtual Scan scan(std::stop_token stop) = 0;
};

} // namespace plannery
