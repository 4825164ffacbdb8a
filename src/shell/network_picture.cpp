#include "shell/network_picture.h"

#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace korvane::shell {
namespace {

// A click that moves the mouse less than this is a click, not a drag.
constexpr int kClickSlack = 4;
// How near (pixels) a click must come to a point or a line to pick it.
constexpr double kClickReach = 9.0;
// Names are written once the usual line is this long on the canvas.
constexpr double kNamesFromLineLength = 36.0;
constexpr double kMargin = 30.0;

// The legend below the picture, as tall as its words need.
class LegendView : public QWidget {
 public:
  explicit LegendView(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("PictureLegend")); }
  void setNote(const QString& note) {
    note_ = note;
    fitHeight();
    update();
  }
  QString text() const { return legendText() + (note_.isEmpty() ? QString() : u'\n' + note_); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    paintLegend(painter, QRectF(rect()).adjusted(6, 4, -6, -4), 1.0, note_);
  }
  void resizeEvent(QResizeEvent*) override { fitHeight(); }

 private:
  void fitHeight() {
    QImage scratch(std::max(width(), 200), 400, QImage::Format_ARGB32);
    QPainter painter(&scratch);
    painter.setFont(font());
    const double height = paintLegend(painter, QRectF(6, 4, scratch.width() - 12, 392), 1.0, note_);
    const int wanted = int(std::ceil(height)) + 10;
    if (wanted != this->height()) setFixedHeight(wanted);
  }
  QString note_;
};

}  // namespace

NetworkPictureView::NetworkPictureView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PictureView"));
  setMouseTracking(false);
  setMinimumSize(300, 200);
  setCursor(Qt::OpenHandCursor);
  QPalette background = palette();
  background.setColor(QPalette::Window, Qt::white);
  setPalette(background);
  setAutoFillBackground(true);
}

void NetworkPictureView::setDrawing(const NetworkDrawing* drawing) {
  drawing_ = drawing;
  fitted_ = true;
  fitAll();
}

void NetworkPictureView::fitAll() {
  fitted_ = true;
  transform_.reset();
  if (drawing_ && !drawing_->isEmpty()) {
    const QRectF bounds = drawing_->bounds();
    const double w = std::max(bounds.width(), 1.0);
    const double h = std::max(bounds.height(), 1.0);
    double s = std::min((width() - 2 * kMargin) / w, (height() - 2 * kMargin) / h);
    // A tiny network is not blown up beyond a few times its usual line.
    s = std::clamp(s, 1e-4, 3.0);
    transform_ = QTransform::fromTranslate(-bounds.center().x(), -bounds.center().y()) * QTransform::fromScale(s, s) *
                 QTransform::fromTranslate(width() / 2.0, height() / 2.0);
  }
  update();
}

void NetworkPictureView::zoomBy(double factor, QPointF around) {
  const double next = scale() * factor;
  if (next < 1e-5 || next > 200.0) return;
  fitted_ = false;
  transform_ = transform_ * QTransform::fromTranslate(-around.x(), -around.y()) * QTransform::fromScale(factor, factor) *
               QTransform::fromTranslate(around.x(), around.y());
  update();
}

bool NetworkPictureView::namesShown() const {
  return drawing_ && kUsualLineLength * scale() >= kNamesFromLineLength;
}

void NetworkPictureView::paintEvent(QPaintEvent*) {
  if (!drawing_) return;
  QPainter painter(this);
  drawing_->paint(painter, transform_, 1.0, namesShown());
}

void NetworkPictureView::resizeEvent(QResizeEvent*) {
  if (fitted_) fitAll();
}

void NetworkPictureView::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps != 0.0) zoomBy(std::pow(1.25, steps), event->position());
  event->accept();
}

void NetworkPictureView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressedAt_ = lastMouse_ = event->position().toPoint();
  dragging_ = false;
}

void NetworkPictureView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const QPoint now = event->position().toPoint();
  if (!dragging_ && (now - pressedAt_).manhattanLength() < kClickSlack) return;
  if (!dragging_) setCursor(Qt::ClosedHandCursor);
  dragging_ = true;
  fitted_ = false;
  transform_ = transform_ * QTransform::fromTranslate(now.x() - lastMouse_.x(), now.y() - lastMouse_.y());
  lastMouse_ = now;
  update();
}

void NetworkPictureView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (dragging_) {
    dragging_ = false;
    setCursor(Qt::OpenHandCursor);
    return;
  }
  if (!drawing_ || !onClicked) return;
  const QPointF place = transform_.inverted().map(event->position());
  onClicked(drawing_->hit(place, kClickReach / scale()));
}

struct NetworkPicture::Layout {
  int generation = 0;
  SharedResult result;
  int centre = 0;
  workbench::PictureGraph graph;
  workbench::PicturePlaces places;
};

NetworkPicture::NetworkPicture(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("NetworkPicture"));
  auto* zoomIn = new QPushButton(QStringLiteral("放大"), this);
  zoomIn->setObjectName(QStringLiteral("ZoomIn"));
  auto* zoomOut = new QPushButton(QStringLiteral("縮小"), this);
  zoomOut->setObjectName(QStringLiteral("ZoomOut"));
  auto* whole = new QPushButton(QStringLiteral("全圖"), this);
  whole->setObjectName(QStringLiteral("FitAll"));
  redraw_ = new QPushButton(QStringLiteral("圍繞選取點重畫"), this);
  redraw_->setObjectName(QStringLiteral("RedrawAround"));
  redraw_->setVisible(false);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("PictureStatus"));
  status_->setWordWrap(true);
  view_ = new NetworkPictureView(this);
  legend_ = new LegendView(this);

  auto* tools = new QHBoxLayout;
  for (QPushButton* button : {zoomIn, zoomOut, whole, redraw_}) {
    button->setAutoDefault(false);
    tools->addWidget(button);
  }
  tools->addWidget(status_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(tools);
  layout->addWidget(view_, 1);
  layout->addWidget(legend_);

  connect(zoomIn, &QPushButton::clicked, this, [this] { view_->zoomBy(1.5); });
  connect(zoomOut, &QPushButton::clicked, this, [this] { view_->zoomBy(1 / 1.5); });
  connect(whole, &QPushButton::clicked, this, [this] { view_->fitAll(); });
  connect(redraw_, &QPushButton::clicked, this, [this] { redrawAroundSelection(); });
  view_->onClicked = [this](PictureSelection selection) {
    if (selection.kind == PictureSelection::Kind::None) return;
    select(selection);
    if (onClicked) onClicked(selection);
  };
  updateStatus();
}

NetworkPicture::~NetworkPicture() {
  // The layout may still run; it is waited for before the drawing goes.
  view_->setDrawing(nullptr);
}

void NetworkPicture::showResult(const SharedResult& result, int centre) {
  clear();
  result_ = result;
  startLayout(centre);
}

void NetworkPicture::clear() {
  ++generation_;
  pendingCentre_.reset();
  result_.reset();
  view_->setDrawing(nullptr);
  drawing_.reset();
  selection_ = {};
  problem_.clear();
  updateStatus();
}

void NetworkPicture::redrawAroundSelection() {
  if (!result_ || selection_.kind == PictureSelection::Kind::None) return;
  const int point = selection_.kind == PictureSelection::Kind::Point ? selection_.index
                                                                      : result_->observations[selection_.index].from;
  ++generation_;
  startLayout(point);
}

void NetworkPicture::select(PictureSelection selection) {
  selection_ = selection;
  if (drawing_) drawing_->select(selection);
  view_->update();
  updateStatus();
}

void NetworkPicture::startLayout(int centre) {
  if (layingOut_) {
    pendingCentre_ = centre;
    updateStatus();
    return;
  }
  layingOut_ = true;
  auto layout = std::make_shared<Layout>();
  layout->generation = generation_;
  layout->result = result_;
  layout->centre = centre;
  layoutThread_.run([this, layout] {
    layout->graph = workbench::choosePicture(*layout->result, layout->centre);
    layout->places = workbench::layOutPicture(layout->graph);
    layoutThread_.post([this, layout] { laidOut(layout); });
  });
  updateStatus();
}

void NetworkPicture::laidOut(const std::shared_ptr<Layout>& layout) {
  layingOut_ = false;
  if (pendingCentre_) {
    const int centre = *pendingCentre_;
    pendingCentre_.reset();
    if (result_) {
      startLayout(centre);
      return;
    }
  }
  if (layout->generation != generation_) {
    updateStatus();
    return;
  }
  problem_ = QString::fromStdString(layout->places.problem);
  if (problem_.isEmpty()) {
    drawing_ = std::make_unique<NetworkDrawing>(*layout->result, layout->graph, layout->places);
    drawing_->select(selection_);
    view_->setDrawing(drawing_.get());
  }
  updateStatus();
  if (onLaidOut) onLaidOut();
}

QString NetworkPicture::partNote() const {
  if (!drawing_ || !drawing_->graph().isPartial()) return {};
  const workbench::PictureGraph& graph = drawing_->graph();
  return QStringLiteral("網形共 %1 點，太大無法整體排列；圖上只畫出點 %2 附近的 %3 點（選取其他點或觀測後按「圍繞選取點重畫」）。")
      .arg(graph.totalPoints)
      .arg(QString::fromStdString(result_->points[graph.centre].name))
      .arg(graph.points.size());
}

QString NetworkPicture::statusText() const { return status_->text(); }

void NetworkPicture::updateStatus() {
  QString text;
  if (layingOut_) {
    text = QStringLiteral("Graphviz 排列網形中…");
  } else if (!problem_.isEmpty()) {
    text = QStringLiteral("無法繪出網形：") + problem_;
  } else if (drawing_) {
    text = QStringLiteral("圖上 %1 點、%2 條路線。滾輪或按鈕縮放，拖曳移動，點一下點或線即選取它在其他分頁的資料列。")
               .arg(drawing_->graph().points.size())
               .arg(drawing_->graph().lines.size());
  }
  status_->setText(text);
  const bool partial = drawing_ && drawing_->graph().isPartial();
  redraw_->setVisible(partial);
  redraw_->setEnabled(partial && selection_.kind != PictureSelection::Kind::None && !layingOut_);
  static_cast<LegendView*>(legend_)->setNote(partNote());
}

void NetworkPicture::paintForPrint(QPainter& painter, const QRectF& area, double pixel) const {
  const double legendHeight = paintLegend(painter, area, pixel, partNote());
  if (!drawing_ || drawing_->isEmpty()) return;
  const QRectF space = area.adjusted(0, legendHeight + 12 * pixel, 0, 0);
  const QRectF bounds = drawing_->bounds();
  const double margin = 20 * pixel;
  const double s = std::min((space.width() - 2 * margin) / std::max(bounds.width(), 1.0),
                            (space.height() - 2 * margin) / std::max(bounds.height(), 1.0));
  const QTransform toPage = QTransform::fromTranslate(-bounds.center().x(), -bounds.center().y()) *
                            QTransform::fromScale(s, s) *
                            QTransform::fromTranslate(space.center().x(), space.center().y());
  drawing_->paint(painter, toPage, pixel, kUsualLineLength * s >= kNamesFromLineLength * pixel);
}

}  // namespace korvane::shell
