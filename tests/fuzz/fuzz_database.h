#pragma once
// The adjustment database of a fuzz target: in memory, emptied after every input, and the road
// its rows take on to tarnex ("平差檔建立", then the adjustment).

#include <QString>
#include <string>
#include <string_view>

#include "workbench/lnet_database.h"
#include "workbench/recordset.h"

namespace korvane::fuzz {

class FuzzDatabase {
 public:
  FuzzDatabase();

  // The recordsets of `dat` and `cood`, opened anew on the rows stored so far.
  workbench::Recordset& observations() { return observations_; }
  workbench::Recordset& knownPoints() { return knownPoints_; }
  workbench::Connection& connection() { return connection_; }
  void reopen();

  // Aborts when a number stored in either table is not finite.
  void checkStoredNumbers(std::string_view where);

  // Writes the engine input file of the stored rows as "平差檔建立" writes it and, when a file
  // is written (also the one that ends after the first "-99" for want of known points), runs
  // tarnex on it (runTarnex, words of `input` excepted).
  void runEngineOnRows(const QString& projectName, std::string_view input, std::string_view where);

  // Deletes every row.
  void clear();

 private:
  workbench::Connection connection_;
  workbench::Recordset observations_;
  workbench::Recordset knownPoints_;
};

}  // namespace korvane::fuzz
