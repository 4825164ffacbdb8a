#pragma once
// What the transfers need of the window around them (or of the command line standing in for it).

#include <QString>

#include "common/messages.h"
#include "link/port_settings.h"

namespace korvane::link {

class TransferSurface {
 public:
  virtual ~TransferSurface() = default;
  // The instrument series list's text, as shown.
  virtual QString seriesText() const = 0;
  virtual PortListTexts portLists() const = 0;
  virtual void setWorkspaceText(const QString& text) = 0;
  virtual void setAnimationPlaying(bool playing) = 0;
  virtual Messages& messages() = 0;
};

}  // namespace korvane::link
