// The main function of the Qt tests: the program's own application object, so
// that every window is tested with the locale settings, the translations and
// the handling of escaped errors it runs with.
#pragma once

#include "gui/main_window/veldron_application.h"

#include <QtTest>

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace veldron::testing {

/// False, with a message, when LC_ALL names a locale the system does not
/// have: the test would run under "C" and prove nothing about it.
inline bool requestedLocaleExists() {
    const char* wanted = std::getenv("LC_ALL");
    if (wanted == nullptr || *wanted == '\0') return true;
    if (std::setlocale(LC_ALL, "") == nullptr) {
        std::fprintf(stderr, "Locale %s is missing (scripts/setup.sh generates cs_CZ.UTF-8).\n",
                     wanted);
        return false;
    }
    std::setlocale(LC_ALL, "C");
    return true;
}

} // namespace veldron::testing

#define VELDRON_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char* argv[]) {                                                             \
        if (!veldron::testing::requestedLocaleExists()) return 1;                                  \
        gui::VeldronApplication app(argc, argv);                                                   \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
