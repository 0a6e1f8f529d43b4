#pragma once

#include "finder/TextFacts.h"

// What the lines around a line say of its days that sets them aside as no events. TextFacts reads
// them in the order below, the last once a chat's writers are known.
namespace plannery::reader {

// A reply's quotes ("> Q1 review: Thursday 12 March") and the message it answers below "On Fri,
// Mar 19, 2027 at 3:12 PM … wrote:" or "-----Original Message-----": days the reply takes up or
// replaces, unless the note above has no days of its own or its subject forwards the message.
void setAsideAnsweredMessage(TextFacts& text);
// The line below a record's label on a line of its own ("Expected delivery"), and the block under
// a heading of opening hours or of what a warranty covers.
void setAsideUnderHeadings(TextFacts& text);
// A short heading that calls off the day below it ("ANCIEN RENDEZ-VOUS (annulé)"), a table's "BYE"
// under its day, and a sentence that runs on in lower case into the next line to call off its
// last day ("entfällt das Singen!").
void readNeighbourRemarks(TextFacts& text);

} // namespace plannery::reader
