#include <iostream>
#include <string>
#include <vector>

#include "inspect.h"

int main(int argc, char** argv) {
  return tabiro::inspect::run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
