// Product identification, shown in the "A propos de" box and the log.
#pragma once

namespace kes {

inline constexpr const char* kProductName = "Kestrova";
inline constexpr const char* kProductVersion = "1.0.0";
inline constexpr const char* kBuildDate = __DATE__;
inline constexpr const char* kCopyright = "© Kestrova developers";

}  // namespace kes
