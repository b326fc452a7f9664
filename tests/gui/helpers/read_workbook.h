// Reading an .xlsx workbook back with an independent reader (openpyxl), for
// the tests of the exports.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <map>
#include <utility>

namespace veldron::testing {

/// The cells of the first sheet of an .xlsx workbook as openpyxl reads them:
/// (row, column) from 0 -> "number:<repr>" or "text:<text>"; the names of
/// all its sheets into `sheetNames` when given. Empty, with the reader's
/// complaint in the test's log, when openpyxl cannot read the file.
inline std::map<std::pair<int, int>, QString> readWorkbook(const QString& path,
                                                           QStringList* sheetNames = nullptr) {
    QProcess reader;
    reader.start("/usr/bin/python3",
                 {QStringLiteral(VELDRON_SOURCE_DIR) + "/tests/gui_support/read_xlsx.py", path});
    std::map<std::pair<int, int>, QString> cells;
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        qWarning("openpyxl cannot read %s: %s", qPrintable(path),
                 reader.readAllStandardError().constData());
        return cells;
    }
    int sheets = 0;
    for (const QString& line : QString::fromUtf8(reader.readAllStandardOutput()).split('\n')) {
        const QStringList parts = line.split('\t');
        if (parts[0] == "SHEET") {
            ++sheets;
            if (sheetNames != nullptr && parts.size() > 1) *sheetNames << parts[1];
        }
        if (parts[0] == "CELL" && parts.size() == 5 && sheets == 1)
            cells[{parts[1].toInt(), parts[2].toInt()}] = parts[3] + ":" + parts[4];
    }
    return cells;
}

} // namespace veldron::testing
