// The start level of the last calculation saved or started in a root.
#include "desk/start_level.h"

#include "desk/typed_number.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "project_files/saved_inputs.h"

namespace desk {

namespace {

// The number of a one-value text (blanks and line ends around it), as an
// exchange file writes it.
std::optional<std::string> numberText(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::nullopt;
    const ParsedNumber number =
        parseSavedNumber(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
    return number ? std::optional(number.text) : std::nullopt;
}

} // namespace

std::optional<std::string> lastStartLevel(const std::filesystem::path& root) {
    if (const auto kept = project_files::readBytes(root / exchange::kLastStartLevel))
        if (auto level = numberText(*kept)) return level;
    // The core's own reading of IN_START_VYP, as the next run would take it.
    const auto saved = project_files::readSavedInputs(exchange::exchangeDir(root)).startLevel;
    return saved ? numberText(saved->text) : std::nullopt;
}

std::string shownStartLevel(const std::filesystem::path& root) {
    const std::optional<std::string> level = lastStartLevel(root);
    return level ? czechNumber(*level) : std::string();
}

project_files::FileResult keepStartLevel(const std::filesystem::path& root,
                                         const std::string& text) {
    return project_files::writeOneLineFile(root / exchange::kLastStartLevel, text);
}

} // namespace desk
