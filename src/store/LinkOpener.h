#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// The one way out of Plannery to the desktop's programs. Every link a user can click, whatever
// it came from, passes here, and only links of the schemes LinkSchemes lets through are handed
// on; anything else is refused, and the caller shows it as text.
namespace plannery::LinkOpener {

// Gives a link to whatever opens it: the desktop, or a stand-in that records it.
using HandOff = std::function<void(const std::string& url)>;

// Opens the link with the desktop's default program for its scheme; false, with nothing opened,
// for a link of any other scheme or one that is no valid URL. A failure of the desktop itself is
// silent, as there is nothing the user could do about it here.
bool open(std::string_view url);
// The same rule in front of another hand-off.
bool open(std::string_view url, const HandOff& handOff);

// Shows a folder of the user's in the file manager: a local path Plannery chose itself, never a
// link from an event.
void showFolder(const std::filesystem::path& folder);

} // namespace plannery::LinkOpener
