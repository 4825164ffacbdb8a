#pragma once
// The text workspace: the exact document (CR LF line ends, control characters such as ETX and
// EOT kept) in a model of its own, shown in a plain-text view.
//
// A plain-text view turns CR LF and a lone CR alike into one paragraph break, so the view alone
// would not give the document back. The model keeps the exact text until the user edits it in
// the view; from then on the text is the view's, with CR LF line ends.
//
// The workspace also knows which file its text is: the file it was read from or last saved to.
// Any other text that replaces it (a download, a conversion, what an upload leaves, an empty
// workspace) is no file's, so that saving never offers to write it over the file it came from.

#include <QObject>
#include <QString>

class QPlainTextEdit;

namespace korvane::shell {

class Workspace : public QObject {
  Q_OBJECT

 public:
  explicit Workspace(QPlainTextEdit* view);

  // Replaces the text; `fileName` is the file it is, empty when it is no file's.
  void setText(const QString& text, const QString& fileName = QString());
  QString text() const;
  void clear() { setText(QString()); }
  QPlainTextEdit* view() const { return view_; }

  // The file the text is; edits in the view keep it. Empty when the text is no file's.
  QString fileName() const { return fileName_; }
  // The text was saved as this file.
  void setFileName(const QString& fileName);

 signals:
  // The text was replaced or saved; `fileName` is the file it now is, empty when none.
  void documentChanged(const QString& fileName);

 private:
  QPlainTextEdit* view_;
  QString exact_;
  QString fileName_;
  bool editedInView_ = false;
  bool settingText_ = false;
};

}  // namespace korvane::shell
