#include "detail/DetailSheetReply.h"

#include "detail/EventDetailText.h"

namespace plannery {

ReplyLook replyLook(Reply reply) {
    const std::string_view text = EventDetailText::reply(reply);
    switch (reply) {
    case Reply::accepted:
        return {.text = text, .symbol = SheetSymbol::checkmarkCircle, .tint = SheetTint::green};
    case Reply::tentative:
        return {.text = text, .symbol = SheetSymbol::questionmarkCircle, .tint = SheetTint::orange};
    case Reply::declined:
        return {.text = text, .symbol = SheetSymbol::xmarkCircle, .tint = SheetTint::red};
    case Reply::pending:
        return {.text = text, .symbol = SheetSymbol::dashedCircle, .tint = SheetTint::secondary};
    case Reply::other:
        return {
            .text = text, .symbol = SheetSymbol::arrowRightCircle, .tint = SheetTint::secondary};
    }
    return {.text = text, .symbol = SheetSymbol::dashedCircle, .tint = SheetTint::secondary};
}

} // namespace plannery
