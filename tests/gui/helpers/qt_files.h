// File and picture helpers shared by the Qt tests.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>
#include <QWidget>

namespace veldron::testing {

/// The bytes of a file, or "<missing>" when it cannot be read.
inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

/// Creates or overwrites a file with the bytes; fails the test when it cannot.
inline void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

/// Saves a picture of the widget when VELDRON_SCREENSHOT_DIR is set (for looking at it).
inline void screenshot(QWidget& widget, const char* name) {
    const QString dir = qEnvironmentVariable("VELDRON_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    widget.show();
    QTest::qWait(1500); // let the axis animation end
    widget.grab().save(dir + "/" + name + ".png");
}

} // namespace veldron::testing
