#pragma once
// The instrument series as the list of the Main window names them.

#include <QString>
#include <QStringList>

namespace korvane::link {

enum class Series { Gts600, Gts200, Dl100c, Other };

inline const QString kSeriesGts600 = QStringLiteral("GTS-600/700/800系列");
inline const QString kSeriesGts200 = QStringLiteral("GTS-210/220/310/Gpt1000/2000系列");
inline const QString kSeriesDl100c = QStringLiteral("DL-100C系列");

// The list's items, in list order.
inline QStringList seriesChoices() { return {kSeriesGts600, kSeriesGts200, kSeriesDl100c}; }

// The series a list text names, after removing leading and trailing spaces.
Series seriesOf(QStringView listText);

}  // namespace korvane::link
