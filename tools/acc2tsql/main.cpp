// acc2tsql: translates Access query files into SQL Server text (all OSes).
#include <iostream>

#include "acc2tsql.h"
#include "platform/command_line.h"
#include "platform/version.h"

int main(int argc, char** argv) {
  if (kelv::ShowVersionIfAsked(argc, argv, "acc2tsql")) return 0;
  kelv::UseBinaryStreams();
  return kelv::EjecutaAcc2tsql(kelv::Utf8Arguments(argc, argv), std::cin, std::cout,
                               std::cerr);
}
