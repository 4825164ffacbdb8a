#pragma once
// The conversions of the command table as `korvane convert` runs them: reading the text in pieces
// and writing the result to a sink as they go, so that inputs of any size (a batch of merged
// days) need little memory. Each gives what its entry's converter gives for the whole text, with
// the same messages and failures.

#include <QString>
#include <functional>
#include <memory>

#include "convert/conversion.h"
#include "convert/text_stream.h"

namespace korvane::convert {

using StreamFactory = std::function<std::unique_ptr<TextConversion>(ConversionEnvironment& environment, TextSink& sink)>;

// The piece-by-piece form of the conversion with this `korvane convert` verb; empty for a verb
// that has none (it then converts the whole text at once).
StreamFactory streamFor(const QString& verb);

}  // namespace korvane::convert
