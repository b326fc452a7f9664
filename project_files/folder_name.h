// Whether a name the user typed can name a folder on the file systems of both
// Linux and Windows, so that a project and its kept variants move between
// the two systems whole. Toolkit-free: the front end and the studies ask it
// before any folder is made.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace project_files {

/// The longest folder name both systems hold: 255 bytes in UTF-8. Linux file
/// systems count bytes; NTFS counts 255 UTF-16 units, which a UTF-8 text never
/// has more of than bytes.
inline constexpr std::size_t kLongestFolderNameBytes = 255;

/// Why `name` (UTF-8, taken as it stands: trimming is the caller's) cannot
/// name a folder on both systems: one Czech sentence that begins with
/// `subject`, a masculine noun phrase such as "Název varianty" or "Název
/// projektu". Empty when it can. Refused: nothing but blanks; a path
/// separator (/ or \); a character Windows refuses in a name (< > : " | ? *
/// and the control characters); a name Windows keeps for a device (CON, PRN,
/// AUX, NUL, CONIN$, CONOUT$, COM0-COM9, LPT0-LPT9 and COM or LPT with a
/// superscript 1-3), in any case and with any extension ("con.txt"); a
/// trailing point or blank, which Windows drops (so "." and ".." too); more
/// than kLongestFolderNameBytes bytes; a text that is not valid UTF-8.
std::string folderNameProblem(std::string_view name, std::string_view subject);

/// As folderNameProblem, and a name starting with a point is refused too: a
/// hidden folder, which no folder list shows, for what the user names.
std::string visibleFolderNameProblem(std::string_view name, std::string_view subject);

/// A name as the user means it: without the blanks (spaces, tabs) typed
/// around it.
std::string trimmedName(const std::string& name);

} // namespace project_files
