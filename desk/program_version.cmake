# Writes desk::kProgramVersion and desk::kBuildDate into OUTPUT at every build;
# the file changes only when they do, so a build on the same day compiles
# nothing again. string(TIMESTAMP) takes SOURCE_DATE_EPOCH when it is set.
string(TIMESTAMP year "%Y" UTC)
string(TIMESTAMP month "%m" UTC)
string(TIMESTAMP day "%d" UTC)
string(REGEX REPLACE "^0" "" month "${month}")
string(REGEX REPLACE "^0" "" day "${day}")
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT [[
// Written by desk/program_version.cmake at build time.
#include "desk/program_version.h"

namespace desk {
const char* const kProgramVersion = "@VERSION@";
const char* const kBuildDate = "@day@. @month@. @year@";
} // namespace desk
]] @ONLY)
