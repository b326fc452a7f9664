// PRGVELDRON: one calculation on the exchange files of the installation root.
#include "core/run.h"
#include "exchange/exchange_paths.h"

#include <csignal>
#include <iostream>

int main() {
#ifdef SIGXFSZ
    // A file-size limit (ulimit -f) then fails the write (EFBIG), which the
    // run reports as *ERR* 11 with the previous set whole, instead of killing
    // the process without a word.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    return veldron::runCore(exchange::installationRoot(), std::cout, std::cin);
}
