// The program's version and the day it was built, as the build sets them.
#pragma once

namespace desk {

/// The project's version from CMake ("0.1").
extern const char* const kProgramVersion;
/// The day of the build in Czech writing ("3. 2. 2026"): SOURCE_DATE_EPOCH's
/// day when the build sets it (a reproducible build), otherwise the day the
/// program was built, in UTC.
extern const char* const kBuildDate;

} // namespace desk
