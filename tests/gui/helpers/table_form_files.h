// The files of a table input form's tests: one root named by VELDRON_ROOT, a
// directory of its own for each test function holding the sample's source
// file, and forms over that directory.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace veldron::testing {

class TableFormFiles {
public:
    /// Reads the sample's source file `sourceName` (BK.csv, Q_FLOOD_WAVE.csv).
    explicit TableFormFiles(const char* sourceName) : m_sourceName(sourceName) {
        QFile sample(QStringLiteral(VELDRON_SOURCE_DIR) + "/data/sample/" + sourceName);
        m_valid = m_root.isValid() && sample.open(QIODevice::ReadOnly);
        m_sample = sample.readAll();
        qputenv("VELDRON_ROOT", m_root.path().toUtf8());
    }
    ~TableFormFiles() { qunsetenv("VELDRON_ROOT"); }

    bool isValid() const { return m_valid; }
    /// Starts a test function: its own directory, holding the sample source.
    bool startTest() {
        m_dir = m_root.path() + "/" + QTest::currentTestFunction();
        QFile source(path(m_sourceName));
        return QDir().mkpath(m_dir) && source.open(QIODevice::WriteOnly) &&
               source.write(m_sample) == m_sample.size();
    }

    QString dir() const { return m_dir; }
    QString path(const char* name) const { return m_dir + "/" + name; }
    const QByteArray& sample() const { return m_sample; }
    int sampleLines() const { return int(m_sample.count('\n')); }

    /// A new form over the test function's directory.
    template <class Form> std::unique_ptr<Form> makeForm() const {
        auto form = std::make_unique<Form>();
        form->setFilesDir(m_dir);
        return form;
    }

private:
    const char* m_sourceName;
    QTemporaryDir m_root;
    QByteArray m_sample;
    QString m_dir;
    bool m_valid = false;
};

} // namespace veldron::testing
