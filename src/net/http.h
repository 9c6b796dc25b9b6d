// The HTTP client's entries used by the script loader.
#pragma once

#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// Fetches a script by address. On failure cacheCopy names the copy in the
// cache folder that may be read instead (empty when there is none).
bool HttpFetchScript(Interp& in, std::string_view address, std::string& text, std::string& cacheCopy);
// True when an "http://" address answers with a document.
bool HttpExists(Interp& in, std::string_view address);
void WriteCacheCopy(const std::string& path, std::string_view bytes);

}  // namespace kes
