#include "link/series.h"

#include "text/spaces.h"

namespace korvane::link {

Series seriesOf(QStringView listText) {
  const QStringView text = text::trimSpacesView(listText);
  if (text == kSeriesGts600) return Series::Gts600;
  if (text == kSeriesGts200) return Series::Gts200;
  if (text == kSeriesDl100c) return Series::Dl100c;
  return Series::Other;
}

}  // namespace korvane::link
