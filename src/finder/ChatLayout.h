#pragma once

#include "finder/TextFacts.h"

// Chats copied or photographed with each message set between its writer's name and its time
// stamp, or under its writer's name alone: the names and stamps are no content, and the lines
// between them are what someone said. So is the bar atop a screenshot of a mail app, and the
// clock atop a phone's lock screen, which shows today.
namespace plannery::reader {

void readChatLayout(TextFacts& text, const ReaderDays& days);

} // namespace plannery::reader
