// Writing an Excel 97-2003 workbook: BIFF8 records in an OLE2 compound file.
#include "gui/common/xls_workbook.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-output.h>
#include <gsf/gsf-utils.h>

#include "gui/common/file_io.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <map>
#include <mutex>

namespace gui {

namespace {

// Record identifiers (BIFF8).
enum : std::uint16_t {
    kBof = 0x0809,
    kEof = 0x000A,
    kCodepage = 0x0042,
    kWindow1 = 0x003D,
    kDateMode = 0x0022,
    kFont = 0x0031,
    kFormat = 0x041E,
    kXf = 0x00E0,
    kStyle = 0x0293,
    kBoundSheet = 0x0085,
    kSst = 0x00FC,
    kContinue = 0x003C,
    kExtSst = 0x00FF,
    kDimensions = 0x0200,
    kWindow2 = 0x023E,
    kLabelSst = 0x00FD,
    kBlank = 0x0201,
    kMulBlank = 0x00BE,
};

constexpr std::size_t kMaxRecordData = 8224; // bytes of data in one record
constexpr std::uint16_t kTextFormat = 49;    // the built-in number format "@"
constexpr std::uint16_t kStyleXfCount = 15;  // XF 0 .. 14: the cell styles every workbook has
constexpr std::uint16_t kDefaultCellXf = 15; // XF 15: the default cell format
constexpr std::uint16_t kTextCellXf = 16;    // XF 16: a cell formatted as text

using Bytes = std::vector<std::uint8_t>;

void put8(Bytes& b, unsigned value) {
    b.push_back(static_cast<std::uint8_t>(value & 0xFF));
}
void put16(Bytes& b, unsigned value) {
    put8(b, value);
    put8(b, value >> 8);
}
void put32(Bytes& b, std::uint32_t value) {
    put16(b, value & 0xFFFF);
    put16(b, value >> 16);
}

void appendRecord(Bytes& stream, std::uint16_t id, const Bytes& data) {
    assert(data.size() <= kMaxRecordData);
    put16(stream, id);
    put16(stream, static_cast<unsigned>(data.size()));
    stream.insert(stream.end(), data.begin(), data.end());
}

/// UTF-8 to UTF-16 code units; a malformed sequence becomes U+FFFD.
std::u16string toUtf16(const std::string& text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80           ? 0
                    : (lead >> 5) == 0x6  ? 1
                    : (lead >> 4) == 0xE  ? 2
                    : (lead >> 3) == 0x1E ? 3
                                          : -1;
        char32_t code = extra == 0   ? lead
                        : extra == 1 ? lead & 0x1Fu
                        : extra == 2 ? lead & 0x0Fu
                                     : lead & 0x07u;
        bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
        if (valid) {
            for (int k = 1; k <= extra; ++k) {
                const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
                if ((next & 0xC0) != 0x80) {
                    valid = false;
                    break;
                }
                code = (code << 6) | (next & 0x3Fu);
            }
        }
        static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (!valid || code < kLeast[extra] || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

bool fitsOneByte(const std::u16string& text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= 0xFF; });
}

/// Characters of a string: one byte each when all fit (the "compressed" form),
/// otherwise UTF-16LE.
void putChars(Bytes& b, const std::u16string& text, bool oneByte) {
    for (char16_t c : text)
        oneByte ? put8(b, c) : put16(b, c);
}

/// A string with a one-byte length (sheet names, font names).
void putShortString(Bytes& b, const std::u16string& text) {
    const bool oneByte = fitsOneByte(text);
    put8(b, static_cast<unsigned>(text.size()));
    put8(b, oneByte ? 0 : 1);
    putChars(b, text, oneByte);
}

/// A string with a two-byte length (number formats).
void putString(Bytes& b, const std::u16string& text) {
    const bool oneByte = fitsOneByte(text);
    put16(b, static_cast<unsigned>(text.size()));
    put8(b, oneByte ? 0 : 1);
    putChars(b, text, oneByte);
}

Bytes bofData(unsigned substreamType) {
    Bytes b;
    put16(b, 0x0600); // BIFF8
    put16(b, substreamType);
    put16(b, 0x0DBB); // build
    put16(b, 0x07CC); // year
    put32(b, 0);      // file history flags
    put32(b, 0x0006); // lowest BIFF version that can read the file
    return b;
}

Bytes fontData() {
    Bytes b;
    put16(b, 200);    // height in twips: 10 pt
    put16(b, 0);      // no italics or strikeout
    put16(b, 0x7FFF); // automatic colour
    put16(b, 400);    // normal weight
    put16(b, 0);      // no super- or subscript
    put8(b, 0);       // no underline
    put8(b, 2);       // family: swiss
    put8(b, 0);       // character set: ANSI
    put8(b, 0);
    putShortString(b, u"Arial");
    return b;
}

Bytes xfData(std::uint16_t format, bool styleXf, bool numberFormatUsed) {
    Bytes b;
    put16(b, 0);      // font 0
    put16(b, format); // number format
    // Locked; a style XF has no parent (0xFFF), a cell XF has the Normal style (0).
    put16(b, styleXf ? 0xFFF5 : 0x0001);
    put8(b, 0x20); // aligned to the bottom
    put8(b, 0);    // no rotation
    put8(b, 0);    // no indent
    // For a cell XF a set bit means the attribute differs from its style; for
    // a style XF that it is left out of the style.
    put8(b, styleXf ? 0xF4 : (numberFormatUsed ? 0x04 : 0x00));
    put32(b, 0);      // no borders
    put32(b, 0);      // border colours
    put16(b, 0x20C0); // pattern colours: automatic
    return b;
}

struct SharedStrings {
    std::map<std::u16string, std::uint32_t> index;
    std::vector<const std::u16string*> inOrder;
    std::uint32_t total = 0;

    std::uint32_t add(const std::u16string& text) {
        ++total;
        const auto [it, added] = index.emplace(text, static_cast<std::uint32_t>(inOrder.size()));
        if (added) inOrder.push_back(&it->first);
        return it->second;
    }
};

/// Appends the SST (and CONTINUE records where it exceeds one record) and the
/// EXTSST that indexes it. A string's length and flags never split from its
/// first character, a character never splits, and a string continued in a new
/// record repeats its flags byte there.
void appendSharedStrings(Bytes& stream, const SharedStrings& strings) {
    const std::size_t unique = strings.inOrder.size();
    const std::size_t perBucket = std::max<std::size_t>(8, (unique + 127) / 128);
    Bytes extSst;
    put16(extSst, static_cast<unsigned>(perBucket));

    std::uint16_t recordId = kSst;
    Bytes data;
    put32(data, strings.total);
    put32(data, static_cast<std::uint32_t>(unique));
    auto flush = [&] {
        appendRecord(stream, recordId, data);
        recordId = kContinue;
        data.clear();
    };

    for (std::size_t n = 0; n < unique; ++n) {
        const std::u16string& text = *strings.inOrder[n];
        const bool oneByte = fitsOneByte(text);
        const std::size_t charSize = oneByte ? 1 : 2;
        if (data.size() + 3 + charSize > kMaxRecordData) flush();
        if (n % perBucket == 0) {
            put32(extSst, static_cast<std::uint32_t>(stream.size() + 4 + data.size()));
            put16(extSst, static_cast<unsigned>(4 + data.size()));
            put16(extSst, 0);
        }
        put16(data, static_cast<unsigned>(text.size()));
        put8(data, oneByte ? 0 : 1);
        std::size_t done = 0;
        while (done < text.size()) {
            const std::size_t room = (kMaxRecordData - data.size()) / charSize;
            const std::size_t now = std::min(room, text.size() - done);
            putChars(data, text.substr(done, now), oneByte);
            done += now;
            if (done < text.size()) {
                flush();
                put8(data, oneByte ? 0 : 1);
            }
        }
    }
    flush();
    appendRecord(stream, kExtSst, extSst);
}

/// Runs of empty cells in a row become one MULBLANK (or a BLANK for one cell).
void appendBlanks(Bytes& stream, int row, int first, int last) {
    Bytes b;
    put16(b, static_cast<unsigned>(row));
    put16(b, static_cast<unsigned>(first));
    if (first == last) {
        put16(b, kTextCellXf);
        appendRecord(stream, kBlank, b);
        return;
    }
    for (int column = first; column <= last; ++column)
        put16(b, kTextCellXf);
    put16(b, static_cast<unsigned>(last));
    appendRecord(stream, kMulBlank, b);
}

Bytes sheetStream(const XlsSheet& sheet, bool first, SharedStrings& strings) {
    Bytes stream;
    appendRecord(stream, kBof, bofData(0x0010));

    Bytes dimensions;
    put32(dimensions, 0);
    put32(dimensions, static_cast<std::uint32_t>(sheet.rowCount));
    put16(dimensions, 0);
    put16(dimensions, static_cast<unsigned>(sheet.columnCount));
    put16(dimensions, 0);
    appendRecord(stream, kDimensions, dimensions);

    Bytes window;
    // Grid lines, headers, zeros, outline symbols; the first sheet is the active one.
    put16(window, first ? 0x06B6 : 0x00B6);
    put16(window, 0);  // top row
    put16(window, 0);  // left column
    put32(window, 64); // grid line colour: automatic
    put16(window, 0);
    put16(window, 0);
    put32(window, 0);
    appendRecord(stream, kWindow2, window);

    static const std::string kNoText;
    for (int row = 0; row < sheet.rowCount; ++row) {
        const auto* cells = static_cast<std::size_t>(row) < sheet.cells.size()
                                ? &sheet.cells[static_cast<std::size_t>(row)]
                                : nullptr;
        int blankFrom = -1;
        for (int column = 0; column < sheet.columnCount; ++column) {
            const std::string& text =
                cells != nullptr && static_cast<std::size_t>(column) < cells->size()
                    ? (*cells)[static_cast<std::size_t>(column)]
                    : kNoText;
            if (text.empty()) {
                if (blankFrom < 0) blankFrom = column;
                continue;
            }
            if (blankFrom >= 0) appendBlanks(stream, row, blankFrom, column - 1);
            blankFrom = -1;
            Bytes label;
            put16(label, static_cast<unsigned>(row));
            put16(label, static_cast<unsigned>(column));
            put16(label, kTextCellXf);
            put32(label, strings.add(toUtf16(text)));
            appendRecord(stream, kLabelSst, label);
        }
        if (blankFrom >= 0) appendBlanks(stream, row, blankFrom, sheet.columnCount - 1);
    }
    appendRecord(stream, kEof, {});
    return stream;
}

/// The user's text for a failed save: the usual file error texts where the
/// cause is a common one (the library's own texts name its temporary file).
std::string saveErrorText(const GError* error, const std::filesystem::path& path) {
    // The library reports a failed system call with its errno as the code.
    if (error != nullptr && error->domain == gsf_output_error_id() && error->code > 0)
        return fileErrorText(error->code, path);
    return path.string() + " (" + (error != nullptr ? error->message : "zápis selhal") + ")";
}

std::u16string lowerAscii(std::u16string text) {
    for (char16_t& c : text)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return text;
}

} // namespace

std::string checkXlsSheets(const std::vector<XlsSheet>& sheets) {
    if (sheets.empty()) return "Sešit musí mít alespoň jeden list.";
    std::vector<std::u16string> names;
    for (const XlsSheet& sheet : sheets) {
        const std::u16string name = toUtf16(sheet.name);
        if (name.empty() || name.size() > kXlsMaxSheetNameLength ||
            name.find_first_of(u":\\/?*[]") != std::u16string::npos)
            return "Neplatný název listu sešitu: \"" + sheet.name + "\"";
        if (std::find(names.begin(), names.end(), lowerAscii(name)) != names.end())
            return "Název listu sešitu se opakuje: \"" + sheet.name + "\"";
        names.push_back(lowerAscii(name));
        if (sheet.rowCount < 0 || sheet.rowCount > kXlsMaxRows || sheet.columnCount < 0 ||
            sheet.columnCount > kXlsMaxColumns)
            return "List sešitu \"" + sheet.name + "\" přesahuje 65536 řádků nebo 256 sloupců.";
        for (const auto& row : sheet.cells)
            for (const std::string& text : row)
                if (text.size() > kXlsMaxTextLength && toUtf16(text).size() > kXlsMaxTextLength)
                    return "Text buňky listu \"" + sheet.name + "\" je delší než 32767 znaků.";
    }
    return {};
}

std::vector<std::uint8_t> buildWorkbookStream(const std::vector<XlsSheet>& sheets) {
    // The sheets come first so that the shared strings are known; the globals
    // then point at them by their offsets in the stream.
    SharedStrings strings;
    std::vector<Bytes> sheetStreams;
    for (std::size_t n = 0; n < sheets.size(); ++n)
        sheetStreams.push_back(sheetStream(sheets[n], n == 0, strings));

    Bytes globals;
    appendRecord(globals, kBof, bofData(0x0005));
    Bytes codepage;
    put16(codepage, 1200); // UTF-16
    appendRecord(globals, kCodepage, codepage);

    Bytes window;
    put16(window, 360);
    put16(window, 270);
    put16(window, 14940);
    put16(window, 9150);
    put16(window, 0x0038); // scroll bars and sheet tabs shown
    put16(window, 0);      // active sheet
    put16(window, 0);      // first visible tab
    put16(window, 1);      // selected tabs
    put16(window, 600);    // tab bar width ratio
    appendRecord(globals, kWindow1, window);

    Bytes dateMode;
    put16(dateMode, 0); // dates count from 1900
    appendRecord(globals, kDateMode, dateMode);

    for (int n = 0; n < 4; ++n)
        appendRecord(globals, kFont, fontData());

    Bytes format;
    put16(format, kTextFormat);
    putString(format, u"@");
    appendRecord(globals, kFormat, format);

    for (std::uint16_t n = 0; n < kStyleXfCount; ++n)
        appendRecord(globals, kXf, xfData(0, true, false));
    static_assert(kDefaultCellXf == kStyleXfCount && kTextCellXf == kDefaultCellXf + 1);
    appendRecord(globals, kXf, xfData(0, false, false));
    appendRecord(globals, kXf, xfData(kTextFormat, false, true));

    Bytes style;
    put16(style, 0x8000); // built-in style on XF 0
    put8(style, 0);       // "Normal"
    put8(style, 0xFF);
    appendRecord(globals, kStyle, style);

    std::vector<std::size_t> offsetFields;
    for (const XlsSheet& sheet : sheets) {
        Bytes boundSheet;
        put32(boundSheet, 0); // stream offset of the sheet's BOF, filled in below
        put16(boundSheet, 0); // visible worksheet
        putShortString(boundSheet, toUtf16(sheet.name));
        offsetFields.push_back(globals.size() + 4);
        appendRecord(globals, kBoundSheet, boundSheet);
    }

    appendSharedStrings(globals, strings);
    appendRecord(globals, kEof, {});

    Bytes stream = std::move(globals);
    for (std::size_t n = 0; n < sheets.size(); ++n) {
        const auto offset = static_cast<std::uint32_t>(stream.size());
        for (int k = 0; k < 4; ++k)
            stream[offsetFields[n] + static_cast<std::size_t>(k)] =
                static_cast<std::uint8_t>(offset >> (8 * k));
        stream.insert(stream.end(), sheetStreams[n].begin(), sheetStreams[n].end());
    }
    return stream;
}

XlsResult writeXlsWorkbook(const std::filesystem::path& path, const std::vector<XlsSheet>& sheets) {
    if (std::string problem = checkXlsSheets(sheets); !problem.empty())
        return {false, "Sešit nelze vytvořit: " + path.string() + ": " + problem};
    const Bytes stream = buildWorkbookStream(sheets);

    static std::once_flag gsfReady;
    std::call_once(gsfReady, [] { gsf_init(); });

    auto failure = [&path](const GError* error) {
        return XlsResult{false, "Sešit nelze uložit: " + saveErrorText(error, path)};
    };

    GError* error = nullptr;
    GsfOutput* file = gsf_output_stdio_new(path.c_str(), &error);
    if (file == nullptr) {
        XlsResult result = failure(error);
        if (error != nullptr) g_error_free(error);
        return result;
    }
    GsfOutfile* container = gsf_outfile_msole_new(file);
    GsfOutput* workbook = gsf_outfile_new_child(container, "Workbook", FALSE);
    bool written = workbook != nullptr && gsf_output_write(workbook, stream.size(), stream.data());
    if (workbook != nullptr) {
        written = gsf_output_close(workbook) && written;
        g_object_unref(workbook);
    }
    // An error on the file makes it drop the temporary file instead of
    // renaming it over the target when it is closed.
    if (!written && gsf_output_error(file) == nullptr)
        gsf_output_set_error(file, 0, "zápis selhal");
    // Closing the container closes the file it writes to.
    written = gsf_output_close(GSF_OUTPUT(container)) && written;
    g_object_unref(container);
    if (!gsf_output_is_closed(file)) written = gsf_output_close(file) && written;
    XlsResult result;
    if (!written) result = failure(gsf_output_error(file));
    g_object_unref(file);
    return result;
}

} // namespace gui
