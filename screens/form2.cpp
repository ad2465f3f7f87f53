// SPDX-License-Identifier: MIT
#include "screens/form2.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QMenu>
#include <QUrl>

#include "screens/controls.h"

namespace xscatter {

Form2::Form2(QWidget* parent) : QWidget(parent) {
  SetUpWindow(this, QStringLiteral("ファイル保存"), {0, 0, 8730, 4845}, FrameStyle::kSingle,
              ScreenFont(kMeiryo, 15.75));

  const LabelStyle line{.auto_size = true};
  Label6 = AddLabel(this, "Label6", QStringLiteral("最後に計算した一次線スペクトルデータは"),
                    {840, 480, 5985, 465}, line);
  Label5 =
      AddLabel(this, "Label5", QStringLiteral("P_Spectrum.dat に"), {1560, 960, 2895, 465}, line);
  Label1 = AddLabel(this, "Label1", QStringLiteral("散乱線スペクトルデータは"),
                    {840, 1560, 3780, 465}, line);
  Label2 = AddLabel(this, "Label2", QStringLiteral("干渉性散乱線スペクトル　Coh_Spectrum.dat "),
                    {1200, 2160, 6750, 465}, line);
  Label3 = AddLabel(this, "Label3", QStringLiteral("非干渉性散乱線スペクトル　Inc_Spectrum.dat"),
                    {1200, 2640, 6855, 465}, line);
  Label4 = AddLabel(this, "Label4", QStringLiteral("に一時保存しました。"), {960, 3240, 3150, 465},
                    line);
  Command1 =
      AddButton(this, "Command1", QStringLiteral("OK"), {3600, 3960, 1695, 585}, std::nullopt);
  // In the narrow band between the last line and OK, in a small type.
  FolderLabel = AddLabel(this, "FolderLabel", QString(), {960, 3705, 7560, 255},
                         {.font = ScreenFont(kMeiryo, 9)});
  FolderLabel->setContextMenuPolicy(Qt::NoContextMenu);
  Command1->setFocus();
}

void Form2::ShowFolder(const QString& folder) {
  folder_ = folder;
  const QString text = QStringLiteral("保存先: ") + folder;
  FolderLabel->setText(
      FolderLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, FolderLabel->width()));
  FolderLabel->setToolTip(text);
}

void Form2::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* open = menu.addAction(QStringLiteral("フォルダを開く"));
  open->setEnabled(!folder_.isEmpty());
  connect(open, &QAction::triggered, this,
          [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(folder_)); });
  menu.exec(event->globalPos());
}

void Form2::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}

}  // namespace xscatter
