// The record of the inputs a run read, kept in its result set.
#include "exchange/inputs_record.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/run_summary.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace exchange {

namespace {

constexpr std::string_view kHeader = "VELDRON vstupy vypoctu 1\r\n";
constexpr std::string_view kEnd = "konec\r\n";

// The next line of `text` from `pos` without its CR LF; none without one.
std::optional<std::string_view> line(std::string_view text, std::size_t& pos) {
    const std::size_t end = text.find("\r\n", pos);
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view found = text.substr(pos, end - pos);
    pos = end + 2;
    return found;
}

std::optional<std::string> readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return bytes.str();
}

} // namespace

std::uint64_t fingerprint(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::string fingerprintText(std::string_view bytes) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx",
                  static_cast<unsigned long long>(fingerprint(bytes)));
    return text;
}

std::string inputsRecordText(const InputFiles& files, std::string_view summary) {
    std::string text(kHeader);
    text += "souhrn " + fingerprintText(summary) + "\r\n";
    for (const auto& [name, bytes] : files)
        text += "soubor " + name + " " + std::to_string(bytes.size()) + "\r\n" + bytes + "\r\n";
    text += kEnd;
    return text;
}

std::optional<InputFiles> parseInputsRecord(std::string_view text, std::string_view summary) {
    if (!text.starts_with(kHeader)) return std::nullopt;
    std::size_t pos = kHeader.size();
    const auto sealed = line(text, pos);
    if (!sealed || *sealed != "souhrn " + fingerprintText(summary)) return std::nullopt;
    InputFiles files;
    for (;;) {
        const auto next = line(text, pos);
        if (!next) return std::nullopt;
        if (*next == "konec") return pos == text.size() ? std::optional(files) : std::nullopt;
        const std::size_t blank = next->rfind(' ');
        if (!next->starts_with("soubor ") || blank <= 7) return std::nullopt;
        std::size_t size = 0;
        const std::string_view digits = next->substr(blank + 1);
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), size);
        if (error != std::errc() || end != digits.data() + digits.size() ||
            size > text.size() - pos || text.substr(pos + size, 2) != "\r\n")
            return std::nullopt;
        files.emplace_back(std::string(next->substr(7, blank - 7)),
                           std::string(text.substr(pos, size)));
        pos += size + 2;
    }
}

std::optional<InputFiles> readInputsRecord(const std::filesystem::path& root) {
    try {
        const auto record = readWhole(outResultDir(root) / kInputsRecord);
        const auto summary = readWhole(outResultDir(root) / summary::kFileName);
        if (!record || !summary) return std::nullopt;
        return parseInputsRecord(*record, *summary);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace exchange
