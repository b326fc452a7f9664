// The installation root and every fixed directory derived from it.
#pragma once

#include <filesystem>

namespace exchange {

/// The installation root: $VELDRON_ROOT when set and not empty, otherwise
/// $HOME/VELDRON (c:\VELDRON on Windows).
std::filesystem::path installationRoot();

// Fixed directories under a root.
std::filesystem::path exchangeDir(const std::filesystem::path& root);    // PULT_na_vypocty
std::filesystem::path outDataDir(const std::filesystem::path& root);     // OUT_DATA
std::filesystem::path curvesDir(const std::filesystem::path& root);      // OUT_DATA/TK
std::filesystem::path outResultDir(const std::filesystem::path& root);   // OUT_RESULT
std::filesystem::path outPicturesDir(const std::filesystem::path& root); // OUT_PICTURES
std::filesystem::path variantsDir(const std::filesystem::path& root);    // VARIANTY

} // namespace exchange
