#pragma once
// Large inputs of every `korvane convert` verb, as an instrument or a merged batch of days would
// give them, for the benchmarks of the conversions.

#include <QString>

namespace korvane::bench {

// A GTS-200 download of about `size` characters: a sample of every record kind run over and over
// with numbered points, cut into transfer blocks (gts200-obs, gts200-cadastral).
QString gts200ObservationDownload(qsizetype size);
// A GTS-200 coordinate download of about `size` characters (gts200-coord-yxz, gts200-coord-xyz).
QString gts200CoordinateDownload(qsizetype size);
// A GTS-600 observation printout (gts600-cadastral) and coordinate printout (gts600-coord).
QString gts600ObservationPrintout(qsizetype size);
QString gts600CoordinatePrintout(qsizetype size);
// A DL-100C download: levelling lines of twenty sections each, every section a backsight, an
// intermediate sight now and then, a foresight and its turning point (dl100c-report, dl100c-xlsx).
QString dl100cDownload(qsizetype size);
// Cadastral L14 point text: lines of three points "name first second", with page headings (l14).
QString l14Text(qsizetype size);

}  // namespace korvane::bench
