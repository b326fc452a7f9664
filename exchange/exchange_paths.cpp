// The installation root and every fixed directory derived from it.
#include "exchange/exchange_paths.h"

#include <cstdlib>

namespace exchange {

std::filesystem::path installationRoot() {
    if (const char* root = std::getenv("VELDRON_ROOT"); root != nullptr && *root != '\0')
        return root;
#ifdef _WIN32
    return "c:\\VELDRON";
#else
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "") / "VELDRON";
#endif
}

std::filesystem::path exchangeDir(const std::filesystem::path& root) {
    return root / "PULT_na_vypocty";
}
std::filesystem::path outDataDir(const std::filesystem::path& root) {
    return root / "OUT_DATA";
}
std::filesystem::path curvesDir(const std::filesystem::path& root) {
    return outDataDir(root) / "TK";
}
std::filesystem::path outResultDir(const std::filesystem::path& root) {
    return root / "OUT_RESULT";
}
std::filesystem::path outPicturesDir(const std::filesystem::path& root) {
    return root / "OUT_PICTURES";
}
std::filesystem::path variantsDir(const std::filesystem::path& root) {
    return root / "VARIANTY";
}

} // namespace exchange
