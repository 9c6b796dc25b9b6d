// Registry access shared by the registry commands and start-up.
#pragma once

#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// Reads a string value ("ROOT\key\path", value name); empty when missing.
std::string RegistryReadString(Interp& in, std::string_view key, std::string_view value);
// True when HKEY_LOCAL_MACHINE\SECURITY opens with read-control access.
bool RegistryCanOpenSecurity();

}  // namespace kes
