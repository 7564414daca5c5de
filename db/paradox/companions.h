// The files that belong to a table beside its .DB: primary index, memo/blob
// data and secondary indexes, found whatever the letter case of their names.
#pragma once

#include <string>
#include <vector>

namespace db::paradox {

struct Companions {
  std::string primaryIndex;  // CP1251 path of the .PX, empty when absent
  std::string blobs;         // .MB
  std::vector<std::string> secondaryIndexes;  // .Xnn, .Ynn, .XGn, .YGn
};

// dbPath: CP1251.
Companions FindCompanions(const std::string& dbPath);

// CP1251 upper case of Latin and Cyrillic letters.
unsigned char UpperCp1251(unsigned char c);
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

}  // namespace db::paradox
