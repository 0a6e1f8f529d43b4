#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace plannery {

// `plannery-widget`: shows the faces asked for in windows of their own and keeps them current,
// or draws one into a picture (--render). Returns the exit status: 0, 1 when it cannot run (no
// display, a picture not written), 2 for bad usage.
int runWidget(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// Opens a "plannery://" link in the app: the `plannery` next to this program when there is one
// (it hands the link to a running window or starts one), else the desktop's handler of the link.
void openAppLink(const std::string& url);

} // namespace plannery
