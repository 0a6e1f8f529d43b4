#pragma once

#include "platform/DocumentScanner.h"

namespace plannery {

// Scanning through SANE: the first scanner the drivers find, one page at 300 dots per inch in
// grey where the scanner offers that (text reads as well, and the page is a third of the size).
// Only scanners on this computer are looked for, never ones on the network. SANE is not made for
// several threads: every call holds one lock for the whole process.
class SaneScanner final : public DocumentScanner {
  public:
    bool available() override;
    Scan scan(std::stop_token stop) override;
};

} // namespace plannery
