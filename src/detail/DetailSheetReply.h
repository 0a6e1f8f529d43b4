#pragma once

#include "model/CalEvent.h"

#include <string_view>

namespace plannery {

// The small pictures of the detail sheet. The views paint each as a simple shape, so the sheet
// looks the same whatever icon theme the desktop has.
enum class SheetSymbol {
    checkmarkCircle,    // accepted
    questionmarkCircle, // maybe
    xmarkCircle,        // declined
    dashedCircle,       // not responded
    arrowRightCircle,   // delegated
    calendarWarning,    // the event is not available
    openOutside,        // opens a web page
    link,
    bell,
    repeat,
    globe,
    video,
    mapPin,
    lock,
    building,
};

// The colours a reply is drawn in: the system's green, orange and red, or the secondary label
// colour.
enum class SheetTint { green, orange, red, secondary };

// How a reply looks wherever the sheet shows one: under "Your response", beside a calendar and as
// the badge of a person.
struct ReplyLook {
    std::string_view text{};
    SheetSymbol symbol = SheetSymbol::dashedCircle;
    SheetTint tint = SheetTint::secondary;

    friend bool operator==(const ReplyLook&, const ReplyLook&) = default;
};

ReplyLook replyLook(Reply reply);

} // namespace plannery
