#pragma once
// The Main window on the offscreen platform, with recording message boxes and a 1024 x 768
// pixel screen at 96 DPI (15360 x 11520 twips).

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "fakes/recording_messages.h"
#include "fakes/scripted_port.h"
#include "shell/main_window.h"

namespace korvane::testing {

inline const shell::ScreenMetrics kTestScreen{15360, 11520, 96.0, 96.0};

template <typename Port = ScriptedPort>
struct WindowUnderTest {
  RecordingMessages messages;
  Port port;
  shell::MainWindow window;

  explicit WindowUnderTest(shell::WindowServices services = {}) : window(messages, port, &kTestScreen, services) {}

  template <typename T>
  T* find(const char* name) {
    T* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (!widget) ADD_FAILURE() << "no control " << name;
    return widget;
  }
  QAction* action(const char* name) { return find<QAction>(name); }
  QPushButton* button(const char* name) { return find<QPushButton>(name); }
  bool enabled(const char* name) { return button(name)->isEnabled(); }
  // The series list clicked with `series` shown.
  void choose(const QString& series) {
    find<QComboBox>("Combo1")->setCurrentText(series);
    window.chooseSeries();
  }
  // The file the connection indicator shows.
  QString icon() { return find<QLabel>("ImageConection")->property("iconFile").toString(); }
};

}  // namespace korvane::testing
