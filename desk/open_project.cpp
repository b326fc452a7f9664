// The project the front end has open.
#include "desk/open_project.h"

#include "exchange/exchange_paths.h"

namespace desk {

namespace {

// Empty: the installation root, read anew each time, as VELDRON_ROOT names it.
std::filesystem::path& openRoot() {
    static std::filesystem::path root;
    return root;
}

} // namespace

std::filesystem::path projectRoot() {
    return openRoot().empty() ? exchange::installationRoot() : openRoot();
}

void setProjectRoot(std::filesystem::path root) {
    openRoot() = std::move(root);
}

std::filesystem::path projectInputsDir() {
    return exchange::exchangeDir(projectRoot());
}

std::filesystem::path programsDir() {
    return exchange::exchangeDir(exchange::installationRoot());
}

} // namespace desk
