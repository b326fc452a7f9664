// Console texts of the error exit.
#include "core/errors.h"

namespace veldron {

const char* errorExitMessage(ErrorExit::Kind kind) {
    switch (kind) {
    case ErrorExit::CrestGridOffCurve:
        return "ERROR 1 spatne nactene hodnoty nebo vybocilo z okrajovych podminek  !!!";
    case ErrorExit::StartLevelOffCurve:
        return "ERROR 2 spatne nactene hodnoty nebo vybocilo z okrajovych podminek  !!!";
    case ErrorExit::StepLevelOffCurve:
        return "ERROR 3 spatne nactene hodnoty nebo vybocilo z okrajovych podminek   !!!";
    case ErrorExit::Overtopping:
        return "!!! doslo k preliti nadrze !!!";
    }
    return "";
}

} // namespace veldron
