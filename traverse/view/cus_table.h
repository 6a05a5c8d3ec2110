#pragma once
// One custom result-table definition: a name and the column data codes it shows.
#include <string>
#include <vector>

struct CCusTable {
  std::string name;
  std::vector<std::string> codes;
};
