// The Main window's controls and menus, placed at their design positions in twips.

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMovie>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QAbstractItemView>

#include "common/program_folder.h"
#include "link/port_names.h"
#include "link/port_settings.h"
#include "link/series.h"
#include "shell/main_window.h"
#include "shell/workspace.h"
#include "shell/workspace_commands.h"

namespace korvane::shell {
namespace {

template <typename Widget>
Widget* place(Widget* widget, const char* name, const ScreenMetrics& screen, int left, int top, int width,
              int height) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(screen.toPixels(left, top, width, height));
  return widget;
}

QComboBox* listBox(QWidget* parent, const QStringList& items, const QString& initialText, bool editable) {
  auto* box = new QComboBox(parent);
  box->setEditable(editable);
  box->addItems(items);
  if (editable) {
    box->setCurrentText(initialText);
  } else {
    box->setCurrentIndex(items.indexOf(initialText));
  }
  return box;
}

// Widens a control by `extra` pixels: what stands to its right in the same frame moves right,
// and the frame grows with it, up to the window's central area.
void widen(QWidget* control, int extra) {
  if (extra <= 0) return;
  const int right = control->geometry().right();
  QWidget* parent = control->parentWidget();
  for (QWidget* sibling : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (sibling != control && sibling->x() > right) sibling->move(sibling->x() + extra, sibling->y());
  }
  control->resize(control->width() + extra, control->height());
  if (qobject_cast<QGroupBox*>(parent)) widen(parent, extra);
}

// A list as wide as its longest entry, so that no entry is cut, neither in the box nor in its
// drop-down list.
void fitToEntries(QComboBox* box) {
  box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + box->view()->frameWidth() * 2);
  widen(box, box->sizeHint().width() - box->width());
}

}  // namespace

void MainWindow::buildControls() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("Korvane"));
  setCentralWidget(central);
  const ScreenMetrics& s = screen_;

  // 1. Instrument model
  auto* frame1 = place(new QGroupBox(QStringLiteral("1.儀器型號"), central), "Frame1", s, 120, 120, 3255, 3015);
  combo1_ = place(listBox(frame1, link::seriesChoices(), QString(), false), "Combo1", s, 120, 360, 3015, 330);
  combo1_->setCurrentIndex(-1);
  imageLogo_ = place(new QLabel(frame1), "ImageLogo", s, 120, 840, 1575, 2055);
  imageLogo_->setPixmap(QPixmap(resourceFile(QStringLiteral("logo.jpg"))));
  imageLogo_->setScaledContents(true);
  imageLogo_->hide();
  animation1_ = place(new QLabel(frame1), "Animation1", s, 1800, 1320, 1335, 1095);
  animation1_->setAlignment(Qt::AlignCenter);
  animation1_->hide();
  if (const QString clip = resourceFile(QStringLiteral("Send.gif")); !clip.isEmpty()) {
    clip_ = new QMovie(clip, QByteArray(), this);
    clip_->setScaledSize(animation1_->size());
    animation1_->setMovie(clip_);
    clip_->jumpToFrame(0);
  }

  // 2. Transfer parameter settings
  auto* frameSetting =
      place(new QGroupBox(QStringLiteral("2.傳輸參數設定"), central), "FrameSetting", s, 3480, 120, 3975, 3015);
  const char* labelNames[] = {"LabelPort", "LabelBaudRate", "LabelParity", "LabelStopBit", "LabelProtoCal"};
  const char* labelTexts[] = {"Port", "BaudRate", "Parity", "StopBit", "ProtoCal"};
  for (int row = 0; row < 5; ++row) {
    auto* label = new QLabel(QString::fromLatin1(labelTexts[row]), frameSetting);
    place(label, labelNames[row], s, 240, 360 + row * 420, 1000, 300);
  }
  comboPort_ = place(listBox(frameSetting, link::portListEntries(), QStringLiteral("COM1"), true), "ComboPort", s,
                     1320, 330, 1455, 330);
  comboBaudRate_ = place(listBox(frameSetting, link::baudRateChoices(), QStringLiteral("9600"), true),
                         "ComboBaudRate", s, 1320, 750, 1455, 330);
  comboParity_ = place(listBox(frameSetting, link::parityChoices(), QStringLiteral("8bit/None"), true),
                       "ComboParity", s, 1320, 1170, 1455, 330);
  comboStopBit_ = place(listBox(frameSetting, link::stopBitChoices(), QStringLiteral("1"), true), "ComboStopBit",
                        s, 1320, 1590, 1455, 330);
  textProtoCal_ = place(new QLineEdit(QStringLiteral("OneWay"), frameSetting), "TextProtoCal", s, 1320, 2010, 1455,
                        330);
  imageConection_ = place(new QLabel(frameSetting), "ImageConection", s, 3000, 330, 495, 495);
  imageConection_->setScaledContents(true);
  labelAtetion_ = place(new QLabel(QStringLiteral("！請注意傳輸協定！"), frameSetting), "LabelAtetion", s, 240, 2520,
                        3495, 330);
  labelAtetion_->setStyleSheet(QStringLiteral("color: #C00000;"));
  labelAtetion_->hide();
  cConection_ = place(new QPushButton(QStringLiteral("開啟連接阜"), frameSetting), "cConection", s, 2880, 960, 975,
                      435);
  cConectionClose_ = place(new QPushButton(QStringLiteral("關閉連接阜"), frameSetting), "cConectionClose", s, 2880,
                           1440, 975, 435);
  cConection_->hide();
  cConectionClose_->hide();

  // 3-1. File download
  auto* frameDownload = place(new QGroupBox(QStringLiteral("3-1.檔案下載"), central), "FrameFileDownload", s, 7560,
                              120, 3735, 1095);
  cDownload_ = place(new QPushButton(QStringLiteral("下載"), frameDownload), "cDownload", s, 240, 360, 1455, 495);
  cDownloadBreak_ =
      place(new QPushButton(QStringLiteral("中斷"), frameDownload), "cDownloadBreak", s, 2040, 360, 1455, 495);

  // 3-2. File upload
  auto* frameUpload =
      place(new QGroupBox(QStringLiteral("3-2.檔案上傳"), central), "FrameFileUpload", s, 7560, 1320, 3735, 1815);
  ssOptionX_ = place(new QRadioButton(QStringLiteral("Name,X,Y,Z,PCode"), frameUpload), "SSOptionX", s, 240, 300,
                     2055, 315);
  ssOptionY_ = place(new QRadioButton(QStringLiteral("Name,Y,X,Z,PCode"), frameUpload), "SSOptionY", s, 240, 660,
                     2055, 315);
  ssOptionL14_ =
      place(new QRadioButton(QStringLiteral("地政L14"), frameUpload), "SSOptionL14", s, 240, 1020, 2055, 315);
  ssOptionCode_ = place(new QRadioButton(QStringLiteral("Code"), frameUpload), "SSOptionCode", s, 240, 1380, 2055, 315);
  ssOptionCode_->hide();
  auto* options = new QButtonGroup(frameUpload);
  for (QRadioButton* option : {ssOptionX_, ssOptionY_, ssOptionL14_, ssOptionCode_}) options->addButton(option);
  cUpload_ = place(new QPushButton(QStringLiteral("上傳"), frameUpload), "cUpload", s, 2400, 300, 1095, 495);
  cUploadBreak_ = place(new QPushButton(QStringLiteral("中斷"), frameUpload), "cUploadBreak", s, 2400, 900, 1095, 495);
  cUploadOpenFile_ =
      place(new QPushButton(QStringLiteral("開啟檔案"), frameUpload), "cUploadOpenFile", s, 2400, 1260, 1095, 435);
  cUploadOpenFile_->hide();

  // The workspace; its size is set at start-up.
  text1_ = new QPlainTextEdit(central);
  text1_->setObjectName(QStringLiteral("Text1"));
  text1_->move(s.toPixelsX(120), s.toPixelsY(3360));
  text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont font(QStringLiteral("細明體"));
  text1_->setFont(font);
  workspace_ = std::make_unique<Workspace>(text1_);

  fitToEntries(combo1_);
  fitToEntries(comboPort_);

  connect(combo1_, &QComboBox::activated, this, [this] { chooseSeries(); });
  connect(cConection_, &QPushButton::clicked, this, [this] { connectPort(); });
  connect(cConectionClose_, &QPushButton::clicked, this, [this] { disconnectPort(); });
  connect(cDownload_, &QPushButton::clicked, this, [this] { startDownload(); });
  connect(cDownloadBreak_, &QPushButton::clicked, this, [this] { interruptDownload(); });
  connect(cUpload_, &QPushButton::clicked, this, [this] { startUpload(); });
  connect(cUploadBreak_, &QPushButton::clicked, this, [this] { interruptUpload(); });
  connect(cUploadOpenFile_, &QPushButton::clicked, this, [this] { openFileForUpload(); });
}

void MainWindow::buildMenus() {
  QMenuBar* bar = menuBar();
  QList<QAction*> wired;
  auto entry = [this](QMenu* menu, const QString& caption, const char* name) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
  };
  auto submenu = [](QWidget* parent, const QString& caption, const char* name) {
    QMenu* menu = nullptr;
    if (auto* bar = qobject_cast<QMenuBar*>(parent)) {
      menu = bar->addMenu(caption);
    } else {
      menu = static_cast<QMenu*>(parent)->addMenu(caption);
    }
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
  };

  auto command = [this, &wired](QAction* action, void (WorkspaceCommands::*handler)()) {
    connect(action, &QAction::triggered, this, [this, handler] { (workspaceCommands_.get()->*handler)(); });
    wired << action;
  };
  QMenu* file = submenu(bar, QStringLiteral("檔案[&F]"), "mnuFile");
  command(entry(file, QStringLiteral("開啟舊檔[&O ]"), "mnuOpen"), &WorkspaceCommands::open);
  command(entry(file, QStringLiteral("存檔[&S]"), "mnuSave"), &WorkspaceCommands::save);
  command(entry(file, QStringLiteral("刪除[&D]"), "MnuDele"), &WorkspaceCommands::deleteFile);
  QAction* saveRaw = entry(file, QStringLiteral("儲存下載原始資料..."), "mnuSaveRaw");
  connect(saveRaw, &QAction::triggered, this, [this] { saveRawDownload(); });
  wired << saveRaw;
  file->addSeparator();
  command(entry(file, QStringLiteral("列表機設定"), "cPrinterSet"), &WorkspaceCommands::printerSetUp);
  command(entry(file, QStringLiteral("列印[&P]"), "cPrint"), &WorkspaceCommands::print);
  file->addSeparator();
  QAction* end = entry(file, QStringLiteral("結束"), "mnuEnd");
  connect(end, &QAction::triggered, this, &QWidget::close);
  wired << end;

  QMenu* edit = submenu(bar, QStringLiteral("編輯[&E]"), "mnuEdit");
  command(entry(edit, QStringLiteral("剪下[&T]"), "mnuCut"), &WorkspaceCommands::cut);
  command(entry(edit, QStringLiteral("複製[&C]"), "mnuCopy"), &WorkspaceCommands::copy);
  command(entry(edit, QStringLiteral("貼上[&P]"), "mnuPaste"), &WorkspaceCommands::paste);

  QMenu* convert = submenu(bar, QStringLiteral("資料轉換[&C]"), "ConverData");
  QMenu* totalStation = submenu(convert, QStringLiteral("光波"), "mnuM1");
  QMenu* gts200 = submenu(totalStation, link::kSeriesGts200, "mnu200");
  entry(gts200, QStringLiteral("座標(點號Y,X,Z)"), "cCoord");
  entry(gts200, QStringLiteral("座標(點號X,Y,Z)"), "cCoord1");
  entry(gts200, QStringLiteral("觀測資料"), "cMeas");
  entry(gts200, QStringLiteral("地政觀測資料"), "mnuMeas200");
  totalStation->addSeparator();
  QMenu* gts600 = submenu(totalStation, link::kSeriesGts600, "mnu600");
  entry(gts600, QStringLiteral("地政座標(點號Y,X,Z)"), "mnuCoord600");
  entry(gts600, QStringLiteral("地政觀測資料"), "mnuMeas600");
  QMenu* level = submenu(convert, QStringLiteral("電子水準儀"), "mnuDL_100C");
  entry(level, QStringLiteral("資料轉檔"), "mnuLvDataTran");
  entry(level, QStringLiteral("資料->Excel"), "mnuLvDataExcel");
  entry(level, QStringLiteral("Leica GSI/DiNi M5 水準線"), "mnuLvLines");
  QAction* toDatabase = entry(level, QStringLiteral("資料->平差資料庫"), "MnuLvDataMdb");
  connect(toDatabase, &QAction::triggered, this, [this] { importIntoDatabase(); });
  wired << toDatabase;
  QAction* levelNet = entry(level, QStringLiteral("水準網平差"), "mnuLVNet");
  connect(levelNet, &QAction::triggered, this, [this] { showWorkbench(); });
  wired << levelNet;

  QMenu* font = submenu(bar, QStringLiteral("字型[&O]"), "mnuFont");
  QMenu* size = submenu(font, QStringLiteral("大小[&S]"), "mnuSize");
  const std::pair<int, const char*> sizes[] = {{9, "mnuSize8"}, {10, "mnuSize10"}, {12, "mnuSize12"}, {18, "mnuSize18"}};
  for (const auto& [points, name] : sizes) {
    QAction* action = entry(size, QString::number(points), name);
    action->setCheckable(true);
    sizeEntries_ << action;
    wired << action;
    connect(action, &QAction::triggered, this, [this, points = points, action] { setFontSize(points, action); });
  }
  font->addSeparator();
  QMenu* style = submenu(font, QStringLiteral("字體[&Y]"), "mnuStyle");
  const std::pair<const char16_t*, const char*> names[] = {{u"細明體", "mnuMing"}, {u"標楷體", "mnuKai"}};
  const QString captions[] = {QStringLiteral("細明體[&M]"), QStringLiteral("標楷體[&B]")};
  for (int i = 0; i < 2; ++i) {
    QAction* action = entry(style, captions[i], names[i].second);
    action->setCheckable(true);
    fontNameEntries_ << action;
    wired << action;
    const QString family = QString::fromUtf16(names[i].first);
    connect(action, &QAction::triggered, this, [this, family, action] { setFontName(family, action); });
  }

  for (const convert::ConversionCommand& command : convert::allConversionCommands()) {
    if (command.menuName.isEmpty()) continue;
    auto* action = convert->findChild<QAction*>(command.menuName);
    if (!action) continue;
    connect(action, &QAction::triggered, this, [this, command] { runConversion(command); });
    wired << action;
  }

  QAction* about = bar->addAction(QStringLiteral("版本[&A]"));
  about->setObjectName(QStringLiteral("mnuAbout"));
  connect(about, &QAction::triggered, this, [this] { showAbout(); });
  wired << about;

  // Commands whose handlers are not part of this window yet stay visible but unavailable.
  for (QAction* action : bar->findChildren<QAction*>()) {
    if (action->menu() || action->isSeparator()) continue;
    if (!wired.contains(action)) action->setEnabled(false);
  }
}

}  // namespace korvane::shell
