// PRGVELDRON: one calculation on the exchange files of the installation root.
#include "core/run.h"
#include "exchange/exchange_paths.h"

#include <iostream>

int main() {
    return veldron::runCore(exchange::installationRoot(), std::cout, std::cin);
}
