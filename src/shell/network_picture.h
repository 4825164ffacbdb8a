#pragma once
// The "網形圖" tab: the network drawn as a graph laid out by Graphviz (away from the window's
// thread), with zoom (wheel, buttons), pan (drag), a click that picks a point or a line, and the
// legend. A large network is drawn around one point; the picture says so.

#include <QWidget>
#include <functional>
#include <memory>

#include "common/background_thread.h"
#include "shell/analysis_columns.h"
#include "shell/network_drawing.h"

class QLabel;
class QPushButton;

namespace korvane::shell {

// The canvas: the drawing through a zoom and a pan.
class NetworkPictureView : public QWidget {
 public:
  explicit NetworkPictureView(QWidget* parent = nullptr);

  void setDrawing(const NetworkDrawing* drawing);  // null: nothing to draw
  void zoomBy(double factor, QPointF around);
  void zoomBy(double factor) { zoomBy(factor, QPointF(width() / 2.0, height() / 2.0)); }
  void fitAll();
  // Where a place of the picture is on the canvas.
  QPointF toCanvas(QPointF place) const { return transform_.map(place); }
  double scale() const { return transform_.m11(); }
  bool namesShown() const;

  std::function<void(PictureSelection)> onClicked;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const NetworkDrawing* drawing_ = nullptr;
  QTransform transform_;
  bool fitted_ = true;  // follows the canvas's size until the user zooms or pans
  QPoint pressedAt_;
  QPoint lastMouse_;
  bool dragging_ = false;
};

class NetworkPicture : public QWidget {
 public:
  explicit NetworkPicture(QWidget* parent = nullptr);
  ~NetworkPicture() override;

  // Draws the result's network (around `centre` when it is too large to draw whole); the layout
  // runs on a thread of its own and the picture appears when it is done.
  void showResult(const SharedResult& result, int centre);
  void clear();
  // Draws the part around the selected point (or the selected observation's start).
  void redrawAroundSelection();
  void select(PictureSelection selection);
  PictureSelection selection() const { return selection_; }

  bool isLaidOut() const { return drawing_ && !layingOut_; }
  const NetworkDrawing* drawing() const { return drawing_.get(); }
  NetworkPictureView& view() { return *view_; }
  QString statusText() const;

  // Prints the picture, fitted into `area`, with its legend below it.
  void paintForPrint(QPainter& painter, const QRectF& area, double pixel) const;

  // A point or line was clicked.
  std::function<void(PictureSelection)> onClicked;
  // The picture has been laid out (for whoever waits for it).
  std::function<void()> onLaidOut;

 private:
  struct Layout;
  void startLayout(int centre);
  void laidOut(const std::shared_ptr<Layout>& layout);
  QString partNote() const;
  void updateStatus();

  SharedResult result_;
  std::unique_ptr<NetworkDrawing> drawing_;
  PictureSelection selection_;
  int generation_ = 0;
  bool layingOut_ = false;
  std::optional<int> pendingCentre_;
  QString problem_;
  NetworkPictureView* view_ = nullptr;
  QWidget* legend_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* redraw_ = nullptr;
  BackgroundThread layoutThread_;
};

}  // namespace korvane::shell
