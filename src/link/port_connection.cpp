#include "link/port_connection.h"

namespace korvane::link {

PortConnection::PortConnection(SerialPort& port, std::function<void(bool)> showOpen)
    : port_(port), showOpen_(std::move(showOpen)) {}

void PortConnection::configure(const PortListTexts& lists) {
  if (port_.isOpen()) port_.close();
  settings_.readLists(lists);
  port_.open(settings_.device(), settings_.settingsText());
  if (showOpen_) showOpen_(true);
}

void PortConnection::close() {
  if (port_.isOpen()) port_.close();
  if (showOpen_) showOpen_(false);
}

}  // namespace korvane::link
