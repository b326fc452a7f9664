// Whether a name can name a folder on both Linux and Windows.
#include "project_files/folder_name.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace project_files {

namespace {

// The length of the UTF-8 sequence that starts at `text[at]`, 0 when none does
// (a stray continuation byte, an overlong form, a surrogate, beyond U+10FFFF).
std::size_t sequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    // 0xC0, 0xC1 and 0xF5 on lead only overlong forms or values beyond U+10FFFF.
    const std::size_t length = lead < 0xC2   ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0) return 0;
    const unsigned lowest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (at + length > text.size()) return 0;
    unsigned code = lead & (0xFFu >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i) & 0x3Fu);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

bool validUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = sequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

bool refusedByWindows(char c) {
    return static_cast<unsigned char>(c) < 0x20 ||
           std::string_view("<>:\"|?*").find(c) != std::string_view::npos;
}

// The device a name stands for on Windows ("COM1" for "com1.txt"), or empty.
// Windows looks at the part before the first point, blanks at its end dropped.
std::string reservedDevice(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    std::string upper(base);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN",    "AUX",
                                                                 "NUL", "CONIN$", "CONOUT$"};
    if (std::find(kDevices.begin(), kDevices.end(), upper) != kDevices.end()) return upper;
    if (!upper.starts_with("COM") && !upper.starts_with("LPT")) return {};
    const std::string_view number = std::string_view(upper).substr(3);
    const bool digit = number.size() == 1 && number[0] >= '0' && number[0] <= '9';
    // Superscript one, two and three in UTF-8.
    const bool superscript = number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";
    return digit || superscript ? upper : std::string();
}

} // namespace

std::string folderNameProblem(std::string_view name, std::string_view subject) {
    const std::string s(subject);
    if (name.find_first_not_of(" \t") == std::string_view::npos) return s + " nesmí být prázdný.";
    if (!validUtf8(name)) return s + " není platný text v kódování UTF-8.";
    if (name.find_first_of("/\\") != std::string_view::npos)
        return s + " nesmí obsahovat lomítko / ani \\: odděluje složky v cestě.";
    if (std::any_of(name.begin(), name.end(), refusedByWindows))
        return s + " nesmí obsahovat znaky < > : \" | ? * ani řídicí znaky: Windows je v názvu "
                   "složky nepřipouští.";
    if (name.size() > kLongestFolderNameBytes)
        return s + " je příliš dlouhý: v kódování UTF-8 má " + std::to_string(name.size()) +
               " bajtů, název složky smí mít nejvýše " + std::to_string(kLongestFolderNameBytes) +
               " (písmeno s diakritikou zabere 2 bajty, znak € 3).";
    if (name.back() == '.' || name.back() == ' ')
        return s + " nesmí končit tečkou ani mezerou: Windows je z názvu složky vypouští.";
    if (const std::string device = reservedDevice(name); !device.empty())
        return s + " „" + std::string(name) + "“ nelze použít: " + device +
               " je ve Windows vyhrazený název zařízení, i s příponou.";
    return {};
}

std::string visibleFolderNameProblem(std::string_view name, std::string_view subject) {
    std::string problem = folderNameProblem(name, subject);
    if (problem.empty() && name.front() == '.')
        problem = std::string(subject) + " nesmí začínat tečkou.";
    return problem;
}

std::string trimmedName(const std::string& name) {
    const std::size_t first = name.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return name.substr(first, name.find_last_not_of(" \t") - first + 1);
}

} // namespace project_files
