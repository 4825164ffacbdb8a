#pragma once
// The window's serial port with its settings and connection indicator: the port configuration
// that the download, upload and connect commands share, and closing the port.

#include <functional>

#include "link/port_settings.h"
#include "link/serial_port.h"

namespace korvane::link {

class PortConnection {
 public:
  // `showOpen` updates the connection indicator: true shows the open icon, false the closed one.
  PortConnection(SerialPort& port, std::function<void(bool)> showOpen);

  // Closes the port if open, reads the lists into the settings, opens the port with them and
  // shows it open. Throws Failure; steps already done stay done.
  void configure(const PortListTexts& lists);

  // Closes the port if it is open and shows it closed.
  void close();

  bool isOpen() const { return port_.isOpen(); }
  SerialPort& port() { return port_; }
  const PortSettings& settings() const { return settings_; }

 private:
  SerialPort& port_;
  std::function<void(bool)> showOpen_;
  PortSettings settings_;
};

}  // namespace korvane::link
