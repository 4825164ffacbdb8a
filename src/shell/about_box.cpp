#include "shell/about_box.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/program_folder.h"

namespace korvane::shell {
namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text) {
  auto* widget = new QLabel(text, parent);
  widget->setObjectName(QString::fromLatin1(name));
  widget->setFont(QFont(QStringLiteral("新細明體")));
  widget->setWordWrap(true);
  return widget;
}

QFrame* line(QWidget* parent) {
  auto* rule = new QFrame(parent);
  rule->setObjectName(QStringLiteral("Line1"));
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  return rule;
}

}  // namespace

AboutBox::AboutBox(QWidget* owner, Messages& messages, SystemInformation& system)
    : QDialog(owner), messages_(messages), system_(system) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("版本資訊 "));
  setModal(true);

  auto* logo = new QLabel(this);
  logo->setObjectName(QStringLiteral("ImageLogo"));
  logo->setPixmap(QPixmap(resourceFile(QStringLiteral("logo.jpg"))).scaledToWidth(105, Qt::SmoothTransformation));
  logo->setAlignment(Qt::AlignTop);

  auto* texts = new QVBoxLayout;
  QLabel* title = label(this, "lblTitle", QStringLiteral("Korvane資料轉換系統"));
  QFont titleFont = title->font();
  titleFont.setPointSize(titleFont.pointSize() + 4);
  titleFont.setBold(true);
  title->setFont(titleFont);
  texts->addWidget(title);
  texts->addWidget(label(this, "lblVersion", QStringLiteral("版本 V2.1.4 2003/01/12")));
  texts->addWidget(label(this, "lblDescription",
                         QStringLiteral("自全站儀（GTS-200、GTS-600 系列）與電子水準儀（DL-100C 系列）經由序列埠下載觀測資料，"
                                        "轉換為觀測報表、座標表與地政格式，上傳座標檔至全站儀，"
                                        "並整理水準資料、建立水準網平差檔交由 tarnex 以最小二乘法平差。")));
  texts->addStretch();

  auto* top = new QHBoxLayout;
  top->addWidget(logo);
  top->addLayout(texts, 1);

  auto* ok = new QPushButton(QStringLiteral("確定"), this);
  ok->setObjectName(QStringLiteral("cmdOK"));
  ok->setDefault(true);
  auto* sysInfo = new QPushButton(QStringLiteral("系統資訊(&S)..."), this);
  sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
  // Focus after a click must not make it the default: Enter stays 確定.
  sysInfo->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(sysInfo, &QPushButton::clicked, this, [this] { startSystemInformation(); });

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(label(this, "Label2",
                          QStringLiteral("本程式供測量人員使用；資料以 Big5 (CP950) 文字交換。")),
                    1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(sysInfo);
  bottom->addLayout(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(line(this));
  layout->addLayout(bottom);
  resize(520, 260);
}

void AboutBox::startSystemInformation() {
  // The tool's own location first, then its folder as the shared tools record it.
  if (const auto path = system_.localMachineValue(QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                                  QStringLiteral("PATH"))) {
    if (system_.start(*path)) return;
  } else if (const auto folder = system_.localMachineValue(
                 QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"), QStringLiteral("MSINFO"))) {
    const QString program = *folder + QStringLiteral("\\MSINFO32.EXE");
    if (system_.fileExists(program) && system_.start(program)) return;
  }
  messages_.plain(kNoSystemInformation);
}

}  // namespace korvane::shell
