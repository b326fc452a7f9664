// The project the front end has open. Every window asks here for the folder
// whose files it reads and writes, so that opening another project moves
// them all at once; the programs stay in the installation.
#pragma once

#include <filesystem>

namespace desk {

/// The open project's root: the installation root (exchange::installationRoot())
/// until another project is opened.
std::filesystem::path projectRoot();

/// Opens `root` as the project of every window; an empty path returns to
/// the installation root.
void setProjectRoot(std::filesystem::path root);

/// The open project's exchange directory: its IN_* files and the forms'
/// sources (Q_FLOOD_WAVE.csv, BK.csv).
std::filesystem::path projectInputsDir();

/// The installation's exchange directory, which holds the programs (the
/// core, the front end, the report) and the bundled sample's folder.
std::filesystem::path programsDir();

} // namespace desk
