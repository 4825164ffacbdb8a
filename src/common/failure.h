#pragma once
// A command's failure with its own description, the text a message box shows.

#include <QString>
#include <exception>
#include <optional>
#include <stdexcept>

namespace korvane {

class Failure : public std::runtime_error {
 public:
  explicit Failure(const QString& description)
      : std::runtime_error(description.toStdString()), description_(description) {}
  const QString& description() const { return description_; }

 private:
  QString description_;
};

// Runs the steps of a command that traps its failures: returns the failure's own description,
// or nothing when every step succeeded.
template <typename Steps>
std::optional<QString> attempt(Steps&& steps) {
  try {
    steps();
    return std::nullopt;
  } catch (const Failure& failure) {
    return failure.description();
  } catch (const std::exception& error) {
    return QString::fromLocal8Bit(error.what());
  }
}

}  // namespace korvane
