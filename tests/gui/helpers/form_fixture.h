// One test's world for a window: a fresh installation root that VELDRON_ROOT
// names, with its exchange and OUT_* directories, every message box
// recorded, and the clicks and keystrokes a user gives a window's widgets.
#pragma once

#include "helpers/fake_messages.h"
#include "helpers/veldron_test_main.h"
#include "tests/support/sample_root.h"

#include <QAbstractSeries>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

namespace veldron::testing {

class FormFixture {
public:
    enum Inputs { NoInputs, SampleInputs };

    /// A root with empty directories, or with the sample reservoir's files
    /// in its exchange directory.
    explicit FormFixture(Inputs inputs = NoInputs) {
        m_valid = m_dir.isValid();
        if (m_valid) (inputs == SampleInputs ? installSample : makeEmptyRoot)(rootPath());
        qputenv("VELDRON_ROOT", root().toUtf8());
    }
    ~FormFixture() { qunsetenv("VELDRON_ROOT"); }
    FormFixture(const FormFixture&) = delete;
    FormFixture& operator=(const FormFixture&) = delete;

    bool isValid() const { return m_valid; }
    QString root() const { return m_dir.path(); }
    std::filesystem::path rootPath() const { return m_dir.path().toStdString(); }
    QString exchangeDir() const { return root() + "/PULT_na_vypocty"; }
    QString exchangeFile(const QString& name) const { return exchangeDir() + "/" + name; }
    /// Every box shown so far, and the answers to the coming questions.
    FakeMessages& messages() { return m_messages; }

private:
    QTemporaryDir m_dir;
    FakeMessages m_messages;
    bool m_valid = false;
};

/// Clicks the named push button of `window` as a user would; the test fails
/// when it is missing or hidden.
inline void click(QWidget& window, const char* button) {
    auto* target = window.findChild<QPushButton*>(button);
    QVERIFY2(target != nullptr, button);
    QVERIFY2(target->isVisible(), button);
    QTest::mouseClick(target, Qt::LeftButton);
}

/// Presses the named button of `window`, whether the window is shown or not.
inline void press(QWidget& window, const char* button) {
    auto* target = window.findChild<QPushButton*>(button);
    QVERIFY2(target != nullptr, button);
    target->click();
}

/// Replaces the text of the named field of `window` by typing `text`.
inline void type(QWidget& window, const char* field, const QString& text) {
    auto* edit = window.findChild<QLineEdit*>(field);
    QVERIFY2(edit != nullptr, field);
    edit->clear();
    QTest::keyClicks(edit, text);
}

/// The lines drawn in the named chart of `window`, in the order drawn.
inline QList<QLineSeries*> chartLines(QWidget& window, const char* chart) {
    QList<QLineSeries*> lines;
    if (auto* view = window.findChild<QChartView*>(chart))
        for (QAbstractSeries* series : view->chart()->series())
            lines << qobject_cast<QLineSeries*>(series);
    return lines;
}

} // namespace veldron::testing
