#pragma once
// The text workspace: the exact document (CR LF line ends, control characters such as ETX and
// EOT kept) in a model of its own, shown in a plain-text view.
//
// A plain-text view turns CR LF and a lone CR alike into one paragraph break, so the view alone
// would not give the document back. The model keeps the exact text until the user edits it in
// the view; from then on the text is the view's, with CR LF line ends.

#include <QObject>
#include <QString>

class QPlainTextEdit;

namespace korvane::shell {

class Workspace : public QObject {
  Q_OBJECT

 public:
  explicit Workspace(QPlainTextEdit* view);

  void setText(const QString& text);
  QString text() const;
  void clear() { setText(QString()); }
  QPlainTextEdit* view() const { return view_; }

 private:
  QPlainTextEdit* view_;
  QString exact_;
  bool editedInView_ = false;
  bool settingText_ = false;
};

}  // namespace korvane::shell
