// acc2tsql: translates Access query files into SQL Server text (all OSes).
#include <iostream>

#include "acc2tsql.h"
#include "console.h"

int main(int argc, char** argv) {
  kelv::UsaFlujosBinarios();
  return kelv::EjecutaAcc2tsql(kelv::ArgumentosUtf8(argc, argv), std::cin, std::cout,
                               std::cerr);
}
