#pragma once
// `korvane db`: the adjustment database without a window, for batch work. The DL-100C import
// ("資料->平差資料庫" without opening the workbench), "平差檔建立" and "資料讀入".

#include <QStringList>

namespace korvane::app {

int runDbCommand(const QStringList& arguments);

}  // namespace korvane::app
