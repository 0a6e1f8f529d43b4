#pragma once

#include <string_view>

// Which links Plannery hands to the desktop. Links come from events anyone can send (an
// invitation's URL, location or notes), and the desktop opens whatever it is given: a file: link
// runs the file's program, smb: mounts a share, javascript: and data: run in the browser. Only
// the schemes people expect a click to open are let through: the web, mail, telephone, the
// video-call apps that invitations link to, and Plannery's own links.
namespace plannery::LinkSchemes {

// True when the link has one of those schemes (in any letter case) with something after its
// colon, and no white space or control character anywhere.
bool opens(std::string_view url);

} // namespace plannery::LinkSchemes
