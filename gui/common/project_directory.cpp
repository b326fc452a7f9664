// Creating a project directory, or replacing an empty one.
#include "gui/common/project_directory.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace gui {

namespace fs = std::filesystem;

namespace {

// The reason a directory operation failed, in words a user can act on.
std::string reason(const std::error_code& error) {
    if (error.category() == std::generic_category() || error.category() == std::system_category()) {
        switch (error.value()) {
        case ENOENT:
            return "nadřazený adresář neexistuje";
        case EEXIST:
            return "takový název už existuje";
        case EACCES:
        case EPERM:
        case EROFS:
            return "přístup odepřen";
        case ENOTDIR:
            return "část cesty není adresář";
        case ENAMETOOLONG:
            return "název je příliš dlouhý";
        case EINVAL:
            return "neplatný název";
        case ENOSPC:
            return "na disku není místo";
        case ENOTEMPTY:
            return "adresář není prázdný";
        default:
            break;
        }
    }
    return error.message();
}

std::string quoted(const fs::path& path) {
    return path.string();
}

// mkdir creates one level: a missing parent is an error, not a reason to
// create it as well.
std::error_code makeOneDirectory(const fs::path& path) {
    std::error_code error;
    if (!fs::create_directory(path, error) && !error)
        error = std::make_error_code(std::errc::file_exists);
    return error;
}

} // namespace

bool projectDirectoryExists(const fs::path& path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

ProjectDirectoryResult createProjectDirectory(const fs::path& path) {
    if (path.empty()) return {false, "Projekt nebyl založen: název projektu je prázdný."};
    if (const std::error_code error = makeOneDirectory(path))
        return {false, "Projekt nebyl založen: adresář " + quoted(path) + " nelze vytvořit (" +
                           reason(error) + ")."};
    return {true, kProjectCreatedText};
}

ProjectDirectoryResult replaceProjectDirectory(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (error || status.type() != fs::file_type::directory)
        return {false, "Adresář " + quoted(path) +
                           " nebyl přepsán: není to obyčejný adresář, ponechán beze změny."};
    if (!fs::is_empty(path, error) || error)
        return {false, "Adresář " + quoted(path) +
                           " nebyl přepsán: není prázdný, jeho obsah zůstal beze změny."};
    // remove() on a directory is rmdir, which refuses a directory that gained
    // content in the meantime: nothing with content is ever deleted here.
    if (!fs::remove(path, error) || error) {
        if (!error) error = std::make_error_code(std::errc::no_such_file_or_directory);
        return {false, "Adresář " + quoted(path) + " nebyl přepsán (" + reason(error) + ")."};
    }
    if (const std::error_code made = makeOneDirectory(path))
        return {false, "Adresář " + quoted(path) +
                           " byl odstraněn, ale nelze jej znovu vytvořit (" + reason(made) + ")."};
    return {true, kDirectoryReplacedText};
}

} // namespace gui
