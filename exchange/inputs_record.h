// The record of the inputs a run read, kept in its result set
// (OUT_RESULT/vstupy_vypoctu): every IN_* file byte for byte, and the summary
// they belong to, so that a reader pairs the results only with the inputs
// that produced them.
//
// The file, in plain ASCII lines ending in CR LF around the files' bytes:
//   VELDRON vstupy vypoctu 1
//   souhrn <16 hex digits: FNV-1a of the summary's bytes>
//   soubor <name> <size>        then exactly <size> bytes and CR LF, per file
//   konec
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace exchange {

/// The files a run read: (name, bytes), in the order read.
using InputFiles = std::vector<std::pair<std::string, std::string>>;

/// The record's text of `files` for the summary `summary` (its bytes as written).
std::string inputsRecordText(const InputFiles& files, std::string_view summary);

/// The files of a record's text, when it is whole and belongs to `summary`;
/// none when it is malformed, cut short or another summary's.
std::optional<InputFiles> parseInputsRecord(std::string_view text, std::string_view summary);

/// The inputs the result set in `root` was computed from: its record, when
/// it belongs to the set's summary. None for a set of an earlier version of
/// the core, which kept no record (or left another run's), and for a record
/// that cannot be read: the inputs are not known. Never throws.
std::optional<InputFiles> readInputsRecord(const std::filesystem::path& root);

/// FNV-1a, 64 bits: the summary's fingerprint in the record.
std::uint64_t fingerprint(std::string_view bytes);
/// The fingerprint as the files write it: 16 lowercase hexadecimal digits.
std::string fingerprintText(std::string_view bytes);

} // namespace exchange
