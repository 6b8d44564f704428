// Holds a database file open from another process until its input closes:
// the "another copy of the program is running" case of the store tests.
#include <cstdio>
#include <iostream>
#include <string>

#include "StoreTestDb.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  auto db = NewSession(QString::fromLocal8Bit(argv[1]));
  try {
    db->Connect();
    db->DoQuery("SELECT COUNT(*) AS N FROM TB_OBJECTS");
  } catch (const std::exception& e) {
    std::cout << "error " << e.what() << std::endl;
    return 1;
  }
  std::cout << "ready" << std::endl;
  std::string line;
  while (std::getline(std::cin, line)) {
  }
  return 0;
}
