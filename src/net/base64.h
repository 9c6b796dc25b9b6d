// The Base64 encoder and decoder shared by the HTTP client (Basic
// authentication), the mail sender (AUTH LOGIN, attachments) and the BASE64
// command. Standard alphabet A-Z a-z 0-9 + /, "=" padding.
#pragma once

#include <string>
#include <string_view>

namespace kes {

std::string Base64Encode(std::string_view data);
// CR and LF are skipped; "=" or any character outside the alphabet ends the
// data; what was decoded up to there is returned.
std::string Base64Decode(std::string_view text);

}  // namespace kes
