#include "views/DaySource.h"

namespace plannery {

DaySource::DaySource(QObject* parent) : QObject(parent) {}

DaySource::~DaySource() = default;

} // namespace plannery
