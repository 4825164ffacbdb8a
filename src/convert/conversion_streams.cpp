#include "convert/conversion_streams.h"

#include "common/failure.h"
#include "convert/level/level_report.h"
#include "convert/level/level_workbook.h"
#include "convert/total_station/gts200_cadastral_report.h"
#include "convert/total_station/gts200_coordinate_listing.h"
#include "convert/total_station/gts200_observation_report.h"
#include "convert/total_station/gts600_coordinate_list.h"
#include "link/l14_text.h"

namespace korvane::convert {
namespace {

// "資料轉檔" read in pieces: a failure goes to the "錯誤" box, as on the whole text.
class LevelReportStream : public TextConversion {
 public:
  LevelReportStream(ConversionEnvironment& environment, TextSink& sink)
      : messages_(environment.messages), report_(level::Scaling{environment.unitDivisor}, sink) {}
  void read(QStringView piece) override { shown([&] { report_.read(piece); }); }
  void finish() override { shown([&] { report_.finish(); }); }
  bool metRecords() const override { return report_.metRecords(); }

 private:
  template <typename Step>
  void shown(Step step) {
    if (failed_) return;
    try {
      step();
    } catch (const Failure& failure) {
      failed_ = true;
      messages_.critical(kTitleErrorZh, failure.description());
    }
  }

  Messages& messages_;
  level::LevelReportConversion report_;
  bool failed_ = false;
};

template <typename Conversion, typename... Arguments>
std::unique_ptr<TextConversion> make(Arguments&&... arguments) {
  return std::make_unique<Conversion>(std::forward<Arguments>(arguments)...);
}

}  // namespace

StreamFactory streamFor(const QString& verb) {
  using namespace total_station;
  if (verb == u"gts200-coord-yxz") {
    return [](ConversionEnvironment&, TextSink& sink) { return make<CoordinateListingConversion>(PlaneOrder::XThenY, sink); };
  }
  if (verb == u"gts200-coord-xyz") {
    return [](ConversionEnvironment&, TextSink& sink) { return make<CoordinateListingConversion>(PlaneOrder::YThenX, sink); };
  }
  if (verb == u"gts200-obs") {
    return [](ConversionEnvironment& environment, TextSink& sink) {
      return make<ObservationReportConversion>(environment.messages, sink);
    };
  }
  if (verb == u"gts200-cadastral") {
    return [](ConversionEnvironment& environment, TextSink& sink) {
      return make<CadastralReportConversion>(environment.messages, sink);
    };
  }
  if (verb == u"gts600-coord") {
    return [](ConversionEnvironment& environment, TextSink& sink) {
      return make<Gts600Command>(environment, Gts600Command::Kind::CoordinateList, sink);
    };
  }
  if (verb == u"gts600-cadastral") {
    return [](ConversionEnvironment& environment, TextSink& sink) {
      return make<Gts600Command>(environment, Gts600Command::Kind::CadastralReport, sink);
    };
  }
  if (verb == u"dl100c-report") {
    return [](ConversionEnvironment& environment, TextSink& sink) { return make<LevelReportStream>(environment, sink); };
  }
  if (verb == u"dl100c-xlsx") {
    return [](ConversionEnvironment& environment, TextSink&) { return make<level::WorkbookConversion>(environment); };
  }
  if (verb == u"l14") {
    return [](ConversionEnvironment& environment, TextSink& sink) {
      return make<link::L14Conversion>(environment.programFolder, environment.yieldToEvents, sink);
    };
  }
  return {};
}

}  // namespace korvane::convert
