#pragma once

#include "agenda/WidgetWords.h"

#include <QString>

// The translatable words of the widget faces and the gallery, in one place, so the widget process
// and the app say the same things.
namespace plannery::WidgetTexts {

// The agenda's words through tr().
WidgetWords words();

// "+3 more" events of a day not shown; "1 event", "4 events" of the next day.
QString more(int count);
QString events(int count);

// What the faces say without calendar access.
QString noAccessTitle();       // "Plannery", on the rectangular face
QString noAccessShort();       // the inline face
QString noAccessRectangular(); // under the title
QString noAccess();            // the tiles

} // namespace plannery::WidgetTexts
