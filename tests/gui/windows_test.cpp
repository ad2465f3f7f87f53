// The four windows as built: frames, sizes, control rectangles, texts, fonts, colours and tab
// order.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "output/qt/twips.h"
#include "screens/form1.h"
#include "screens/form2.h"
#include "screens/form5.h"
#include "screens/form8.h"
#include "screens/window_title.h"

namespace xscatter::testing {
namespace {

struct ControlCase {
  const char* name;
  int left;
  int top;
  int width;   // 0 for auto-size controls, whose size follows their text
  int height;  // 0 for auto-size controls
  const char* text;
  const char* face;  // empty: the window font
  double points;
};

QRect Expected(const ControlCase& c, const QWidget* window) {
  return TwipsRect(c.left, c.top, c.width, c.height, window);
}

void ExpectControls(QWidget& window, const std::vector<ControlCase>& cases) {
  for (const ControlCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto* control = window.findChild<QWidget*>(QString::fromLatin1(c.name));
    ASSERT_NE(control, nullptr);
    const QRect expected = Expected(c, &window);
    EXPECT_EQ(control->pos(), expected.topLeft());
    if (c.width != 0) {
      EXPECT_EQ(control->size(), expected.size());
    }
    if (auto* label = qobject_cast<QLabel*>(control)) {
      EXPECT_EQ(label->text().toStdString(), c.text);
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
      EXPECT_EQ(button->text().toStdString(), c.text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
      EXPECT_EQ(edit->text().toStdString(), c.text);
    }
    if (*c.face != '\0') {
      EXPECT_EQ(control->font().family().toStdString(), c.face);
      EXPECT_DOUBLE_EQ(control->font().pointSizeF(), c.points);
    } else {
      EXPECT_EQ(control->font(), window.font());
    }
  }
}

// The focus chain from the window's first focusable control, as control names.
std::vector<std::string> TabOrder(QWidget& window, int count) {
  std::vector<std::string> order;
  QWidget* widget = window.focusWidget();
  for (int i = 0; i < count && widget != nullptr; ++i) {
    order.push_back(widget->objectName().toStdString());
    do {
      widget = widget->nextInFocusChain();
    } while (widget != window.focusWidget() && !(widget->focusPolicy() & Qt::TabFocus));
  }
  return order;
}

void ExpectFixedClientSize(QWidget& window, int width_twips, int height_twips) {
  EXPECT_EQ(window.size(),
            QSize(TwipsToPixels(width_twips, &window), TwipsToPixelsY(height_twips, &window)));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  const Qt::WindowFlags flags = window.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

QColor FaceColour(QPushButton* button) {
  const QImage image = button->grab().toImage();
  return image.pixelColor(image.width() / 2, image.height() - 6);
}

TEST(WindowsTest, MainScreen) {
  Form1 form;
  EXPECT_EQ(form.windowTitle(), kProgramTitle);
  ExpectFixedClientSize(form, 16575, 7245);
  EXPECT_EQ(form.windowType(), Qt::Tool);
  EXPECT_FALSE(form.windowIcon().isNull());
  EXPECT_EQ(form.font().family().toStdString(), "メイリオ");
  EXPECT_DOUBLE_EQ(form.font().pointSizeF(), 14.25);
  ExpectControls(
      form,
      {{"Label2", 480, 600, 0, 0,
        "ある連続エネルギースペクトルを持ったＸ線束が空中で微小容積散乱体に衝突した時", "メイリオ",
        20.25},
       {"Label11", 480, 1440, 0, 0,
        "一次線束に対して θ 方向の単位立体角に放出される散乱Ｘ線のスペクトルを計算する", "メイリオ",
        20.25},
       {"Picture1", 2520, 2520, 7290, 3705, "", "", 0},
       {"Command2", 11520, 3600, 2775, 855, "OK", "メイリオ", 15.75},
       {"Command3", 11520, 4920, 2775, 735, "EXIT", "メイリオ", 15.75},
       {"Picture2", 14160, 6120, 480, 480, "", "", 0},
       {"Label10", 11400, 6240, 0, 0, "xscatter " XSCATTER_VERSION, "Times New Roman", 11.25}});
  EXPECT_EQ(form.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_EQ(form.Label10->palette().color(QPalette::WindowText), QColor(128, 128, 128));
  EXPECT_EQ(form.Label10->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
  EXPECT_FALSE(form.Label2->autoFillBackground());
  EXPECT_EQ(TabOrder(form, 5),
            (std::vector<std::string>{"Picture1", "Command2", "Command3", "Picture2", "Picture1"}));
  EXPECT_EQ(FaceColour(form.Command2), QColor(255, 255, 192));
}

TEST(WindowsTest, ExposureConditionsScreen) {
  Form5 form;
  EXPECT_EQ(form.windowTitle(), "X-ray spectrum");
  ExpectFixedClientSize(form, 14865, 8235);
  EXPECT_EQ(form.windowType(), Qt::Tool);
  EXPECT_FALSE(form.windowIcon().isNull());
  EXPECT_DOUBLE_EQ(form.font().pointSizeF(), 12);
  ExpectControls(form, {{"Label1_3", 2520, 360, 0, 0,
                         "一次Ｘ線スペクトルを Tucker 近似式を用いて取得する", "メイリオ", 18},
                        {"Label22", 240, 1200, 4935, 5775, "", "", 0},
                        {"Label1_2", 615, 1440, 0, 0, "照射条件の設定", "メイリオ", 15.75},
                        {"Label1_1", 1440, 2160, 0, 0, "Ｘ線管電圧", "HG丸ｺﾞｼｯｸM-PRO", 12},
                        {"Text1", 2880, 2040, 975, 405, "Text1", "Times New Roman", 14.25},
                        {"Label6", 3945, 2160, 0, 0, "kV", "Times New Roman", 14.25},
                        {"Label11", 2760, 2400, 0, 0, "(40～150)", "メイリオ", 11.25},
                        {"Label10", 1200, 2760, 0, 0, "高電圧整流方式：定電圧", "", 0},
                        {"Label1_0", 960, 3360, 0, 0, "ターゲット角度", "HG丸ｺﾞｼｯｸM-PRO", 12},
                        {"Text5", 2880, 3240, 975, 420, "Text5", "Times New Roman", 14.25},
                        {"Label5", 3960, 3300, 855, 375, "degree", "Times New Roman", 14.25},
                        {"Label2_1", 600, 3960, 0, 0, "固有ろ過（Al当量）", "HG丸ｺﾞｼｯｸM-PRO", 12},
                        {"Text2", 2880, 3840, 975, 390, "Text2", "Times New Roman", 14.25},
                        {"Label7", 3960, 3900, 0, 0, "mmAl eq.", "Times New Roman", 14.25},
                        {"Label12", 2760, 4200, 0, 0, "(最小1mm)", "メイリオ", 11.25},
                        {"Label3", 600, 4800, 0, 0, "アルミ付加フィルタ", "HG丸ｺﾞｼｯｸM-PRO", 12},
                        {"Text3", 2880, 4680, 975, 405, "Text3", "Times New Roman", 14.25},
                        {"Label8", 3960, 4740, 0, 0, "mm", "Times New Roman", 14.25},
                        {"Label4", 1080, 5400, 0, 0, "銅付加フィルタ", "HG丸ｺﾞｼｯｸM-PRO", 12},
                        {"Text4", 2880, 5280, 975, 405, "Text4", "Times New Roman", 14.25},
                        {"Label9", 3960, 5340, 0, 0, "mm", "Times New Roman", 14.25},
                        {"Command1", 720, 6000, 2175, 615, "スペクトル計算", "", 0},
                        {"Command3", 3240, 6000, 1455, 615, "Reset", "", 0},
                        {"Command4", 720, 7200, 2175, 615, "OK", "メイリオ", 14.25},
                        {"Command2", 3240, 7200, 1455, 615, "Cancel", "", 0},
                        {"Picture3", 5400, 1200, 9135, 6615, "", "Times New Roman", 18}});
  EXPECT_EQ(form.Text1->palette().color(QPalette::Text), QColor(0, 0, 192));
  EXPECT_EQ(form.Text5->palette().color(QPalette::Text), QColor(0, 0, 255));
  EXPECT_EQ(form.Text1->alignment(), Qt::AlignCenter);
  EXPECT_EQ(form.Label1[3]->palette().color(QPalette::WindowText), QColor(0, 0, 192));
  EXPECT_EQ(form.Label22->palette().color(QPalette::Window), QColor(192, 255, 255));
  // The panel lies behind every other control.
  EXPECT_EQ(form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).first(), form.Label22);
  EXPECT_TRUE(form.Command4->isEnabled());
  EXPECT_EQ(TabOrder(form, 11),
            (std::vector<std::string>{"Command1", "Command3", "Text5", "Text1", "Text3", "Text4",
                                      "Text2", "Picture3", "Command2", "Command4", "Command1"}));
  EXPECT_EQ(FaceColour(form.Command1), QColor(255, 255, 192));
}

TEST(WindowsTest, ScatterScreen) {
  Form8 form;
  EXPECT_EQ(form.windowTitle(), "散乱線スペクトル");
  ExpectFixedClientSize(form, 19470, 11550);
  EXPECT_EQ(form.windowType(), Qt::Window);
  EXPECT_DOUBLE_EQ(form.font().pointSizeF(), 15.75);
  ExpectControls(
      form, {{"Label1_0", 1200, 120, 0, 0, "一次Ｘ線スペクトル（最大値で正規化）", "メイリオ", 18},
             {"Label2_0", 11400, 120, 0, 0, "散乱Ｘ線スペクトル（最大値で正規化）", "メイリオ", 18},
             {"Picture3", 360, 720, 9135, 6615, "", "Times New Roman", 18},
             {"Picture1", 9840, 720, 9135, 6615, "", "Times New Roman", 18},
             {"Label7", 9840, 7440, 9135, 1335, "", "", 0},
             {"Label5", 11760, 7560, 0, 0, "非干渉性散乱 (Compton散乱) 線のスペクトル", "", 0},
             {"Label6", 11760, 8160, 0, 0, "干渉性散乱 (Rayleigh散乱) 線のスペクトル", "", 0},
             {"Label10", 360, 7680, 5535, 3495, "", "", 0},
             {"Label1_1", 1560, 8040, 0, 0, "Ｘ線管電圧", "メイリオ", 14.25},
             {"Label11", 3480, 8040, 1095, 495, "Label11", "メイリオ", 15.75},
             {"Label14", 4785, 8100, 0, 0, "kV", "メイリオ", 14.25},
             {"Label1_2", 1035, 8640, 0, 0, "ターゲット角度", "メイリオ", 14.25},
             {"Label12", 3480, 8640, 1095, 495, "Label12", "メイリオ", 15.75},
             {"Label17", 4800, 8700, 0, 0, "度", "メイリオ", 14.25},
             {"Label2_1", 780, 9240, 0, 0, "固有ろ過（Al当量）", "メイリオ", 14.25},
             {"Label18", 3480, 9240, 1095, 495, "Label18", "メイリオ", 15.75},
             {"Label13", 4800, 9300, 0, 0, "mmAl", "メイリオ", 14.25},
             {"Label16", 750, 9840, 0, 0, "アルミ付加フィルタ", "メイリオ", 14.25},
             {"Label19", 3480, 9840, 1095, 495, "Label19", "メイリオ", 15.75},
             {"Label8", 4800, 9840, 0, 0, "mm", "メイリオ", 14.25},
             {"Label15", 1200, 10440, 0, 0, "銅付加フィルタ", "メイリオ", 14.25},
             {"Label20", 3480, 10440, 1095, 495, "Label20", "メイリオ", 15.75},
             {"Label9", 4800, 10440, 0, 0, "mm", "メイリオ", 14.25},
             {"Picture4", 7920, 8040, 480, 480, "", "", 0},
             {"Picture2", 6360, 9000, 4455, 2175, "", "", 0},
             {"Label3", 12240, 9360, 0, 0, "散乱角度 θ （5～175）=", "", 0},
             {"Text1", 16200, 9240, 1335, 600, "Text1", "Times New Roman", 20.25},
             {"Label4", 17760, 9360, 0, 0, "度", "", 0},
             {"Command1", 11880, 10320, 2655, 855, "OK", "", 0},
             {"Command3", 15240, 10320, 1575, 855, "Clear", "メイリオ", 15.75},
             {"Command2", 17520, 10320, 1455, 855, "END", "", 0}});
  EXPECT_EQ(form.Label11->alignment() & Qt::AlignRight, Qt::AlignRight);
  // Panels in the system's window background colour, as the charts, not the button face.
  EXPECT_EQ(form.Label7->palette().color(QPalette::Window), form.palette().color(QPalette::Base));
  EXPECT_EQ(form.Label10->palette().color(QPalette::Window), form.palette().color(QPalette::Base));
  EXPECT_EQ(form.Line1->geometry(),
            QRect(TwipsToPixels(10440, &form), TwipsToPixelsY(7800, &form) - 1,
                  TwipsToPixels(960, &form), 2));
  const QImage legend = form.grab().toImage();
  EXPECT_EQ(legend.pixelColor(form.Line1->geometry().center()), QColor(255, 0, 0));
  EXPECT_EQ(legend.pixelColor(form.Line2->geometry().center()), QColor(0, 0, 255));
  const QList<QWidget*> stacking = form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  EXPECT_LT(stacking.indexOf(form.Label7), stacking.indexOf(form.Line1));
  EXPECT_LT(stacking.indexOf(form.Label10), stacking.indexOf(form.Label11));
  EXPECT_EQ(TabOrder(form, 9),
            (std::vector<std::string>{"Picture3", "Picture1", "Text1", "Command1", "Command2",
                                      "Command3", "Picture2", "Picture4", "Picture3"}));
  EXPECT_EQ(FaceColour(form.Command2), QColor(255, 255, 192));
}

TEST(WindowsTest, FileNotice) {
  Form2 form;
  EXPECT_EQ(form.windowTitle(), "ファイル保存");
  ExpectFixedClientSize(form, 8730, 4845);
  EXPECT_EQ(form.windowType(), Qt::Window);
  ExpectControls(form,
                 {{"Label6", 840, 480, 0, 0, "最後に計算した一次線スペクトルデータは", "", 0},
                  {"Label5", 1560, 960, 0, 0, "P_Spectrum.dat に", "", 0},
                  {"Label1", 840, 1560, 0, 0, "散乱線スペクトルデータは", "", 0},
                  {"Label2", 1200, 2160, 0, 0, "干渉性散乱線スペクトル　Coh_Spectrum.dat ", "", 0},
                  {"Label3", 1200, 2640, 0, 0, "非干渉性散乱線スペクトル　Inc_Spectrum.dat", "", 0},
                  {"Label4", 960, 3240, 0, 0, "に一時保存しました。", "", 0},
                  {"Command1", 3600, 3960, 1695, 585, "OK", "", 0}});
  EXPECT_TRUE(form.Label1->autoFillBackground());
  EXPECT_EQ(form.focusWidget(), form.Command1);
}

// Under the substitutions the Japanese faces resolve to installed fonts that hold the glyphs.
TEST(WindowsTest, JapaneseFacesResolveToFontsWithTheGlyphs) {
  Form5 form;
  for (QWidget* control : {static_cast<QWidget*>(form.Label1[1]),
                           static_cast<QWidget*>(form.Label1[3]), static_cast<QWidget*>(&form)}) {
    const QFontMetrics metrics(control->font());
    for (const QChar c : QStringLiteral("照射条件線管電圧ターゲット角度")) {
      EXPECT_TRUE(metrics.inFont(c)) << QFontInfo(control->font()).family().toStdString();
    }
  }
}

}  // namespace
}  // namespace xscatter::testing
