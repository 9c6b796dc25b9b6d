// The state exchange between a calling instance and a child instance (child
// mode): the text that travels through the caller's exchange control, in
// both directions. Pure; the format is described in docs/programs.md.
#pragma once

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kes {

struct ExchangeState {
  // '>' from the caller to the child, '<' from the child back.
  char direction = '>';
  std::vector<std::pair<std::string, std::string>> vars;
  // user lists ("$NAME") and system lists (STDOUT, DIR...) by name
  std::vector<std::pair<std::string, std::vector<std::string>>> lists;
  bool hasErrors = false;
  int32_t error = 0, errorlevel = 0;
  std::string lines;  // the numbered lines to run (caller to child)
};

// The text holds no NUL byte, so it survives a window text.
std::string PackExchange(const ExchangeState& s);
// False when the text is not an exchange text; records of unknown kind are
// skipped, so a later version can add some.
bool UnpackExchange(std::string_view text, ExchangeState& s);

}  // namespace kes
