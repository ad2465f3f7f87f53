// SPDX-License-Identifier: MIT
// The figures window: after a scatter run at 60° and one at 30°, the numbers it lists are the
// batch tool's text report for the same conditions and angles, in the same order; from the
// conditions screen only the primary spectrum's.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>

#include "screens/screen_flow.h"

namespace xscatter::testing {
namespace {

namespace fs = std::filesystem;

// The numbers of the window's figure lines ("  label<TAB>number<TAB>unit").
QStringList WindowNumbers(const QString& text) {
  QStringList numbers;
  for (const QString& line : text.split('\n')) {
    if (line.startsWith("  ")) numbers << line.split('\t').value(1);
  }
  return numbers;
}

// The numbers of the batch report's figure lines ("  %-30s %16s  unit").
QStringList ReportNumbers(const QString& report) {
  QStringList numbers;
  for (const QString& line : report.split('\n')) {
    if (line.startsWith("  ")) numbers << line.mid(33, 16).trimmed();
  }
  return numbers;
}

QString BatchReport(const fs::path& folder, const char* angle) {
  QProcess batch;
  batch.setWorkingDirectory(QString::fromStdString(folder.string()));
  batch.start(XSCATTER_BATCH, {"--angle", angle, "--report", "text", "--spectra-dir",
                               QString::fromStdString((folder / "batch").string())});
  EXPECT_TRUE(batch.waitForFinished(60000));
  EXPECT_EQ(batch.exitCode(), 0) << batch.readAllStandardError().toStdString();
  return QString::fromUtf8(batch.readAllStandardOutput());
}

TEST(FiguresWindow, ListsTheBatchReportsNumbers) {
  QTemporaryDir dir;
  const fs::path folder = dir.path().toStdString();
  fs::create_directory_symlink(XSCATTER_DATA_DIR, folder / "Data");
  fs::create_directory(folder / "batch");
  ScreenFlow flow;
  flow.Calculation().SetWorkingFolder(folder);
  flow.SetMessageFunction(
      [](MessageKind, const QString& text) { ADD_FAILURE() << text.toStdString(); });
  ASSERT_TRUE(flow.Start());
  flow.Form1Window().Command2->click();
  flow.Form5Window().Command1->click();
  flow.ShowFigures(false);
  ASSERT_NE(flow.FiguresIfCreated(), nullptr);
  const QString primary_only = flow.FiguresIfCreated()->Text->toPlainText();
  EXPECT_TRUE(
      primary_only.startsWith("一次線スペクトル（100 kV, 12°, 固有ろ過 2.5 mmAl, Al 0 mm, Cu 0 "
                              "mm）\n  最終エネルギービン\t200\t\n"))
      << primary_only.toStdString();

  flow.Form5Window().Command4->click();
  for (const char* angle : {"60", "30"}) {
    flow.Form8Window().Text1->setText(angle);
    flow.Form8Window().Command1->click();
  }
  flow.ShowFigures(true);
  const QString text = flow.FiguresIfCreated()->Text->toPlainText();
  EXPECT_TRUE(flow.FiguresIfCreated()->isVisible());
  EXPECT_TRUE(flow.FiguresIfCreated()->Text->isReadOnly());
  EXPECT_NE(text.indexOf("散乱線スペクトル（θ = 30°）\n  平均エネルギー（非干渉性）\t"), -1)
      << text.toStdString();

  const QStringList at60 = ReportNumbers(BatchReport(folder, "60"));
  const QStringList at30 = ReportNumbers(BatchReport(folder, "30"));
  // The report lists the five conditions, the ten primary figures, then the angle and the four
  // scatter figures.
  ASSERT_EQ(at60.size(), 20) << at60.join(' ').toStdString();
  EXPECT_EQ(at60[15], "60");
  EXPECT_EQ(WindowNumbers(primary_only), at60.mid(5, 10));
  EXPECT_EQ(WindowNumbers(text), at60.mid(5, 10) + at60.mid(16, 4) + at30.mid(16, 4));
}

}  // namespace
}  // namespace xscatter::testing
