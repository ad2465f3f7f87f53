#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPixmap>
#include <QSvgRenderer>
#include <ios>
#include <utility>

#include "output/qt/picture_box.h"
#include "output/qt/twips.h"

namespace xscatter {
namespace {

TEST(Pictures, IconIsThirtyTwoPixelsSquare) {
  RegisterPictureResources();
  const QPixmap icon(QStringLiteral(":/pictures/icon.png"));
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.size(), QSize(32, 32));
  const QIcon window_icon = ProgramIcon();
  ASSERT_FALSE(window_icon.isNull());
  EXPECT_TRUE(window_icon.availableSizes().contains(QSize(32, 32)));
}

TEST(Pictures, DiagramIsTheStoredVectorPicture) {
  RegisterPictureResources();
  QSvgRenderer diagram(QStringLiteral(":/pictures/geometry.svg"));
  ASSERT_TRUE(diagram.isValid());
  EXPECT_EQ(diagram.viewBoxF(), QRectF(0, 0, 5567, 2713));
}

struct BoxCase {
  const char* where;
  int width_twips;
  int height_twips;
  QRectF picture;
};

TEST(DiagramBox, NaturalSizeWhereItFitsScaledDownWhereNot) {
  const BoxCase cases[] = {
      // Form1: 371 x 181 pixels of diagram at the top left, inside the 2-pixel border.
      {"Form1", 7290, 3705, QRectF(2, 2, 371, 181)},
      // Form8: the 293 x 141 inner area is too low, so the height decides.
      {"Form8", 4455, 2175, QRectF(2, 2, 141.0 * 371 / 181, 141)},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.where);
    DiagramBox box;
    box.resize(TwipsToPixels(c.width_twips, &box), TwipsToPixelsY(c.height_twips, &box));
    const QRectF picture = box.PictureRect();
    EXPECT_NEAR(picture.left(), c.picture.left(), 1e-9);
    EXPECT_NEAR(picture.top(), c.picture.top(), 1e-9);
    EXPECT_NEAR(picture.width(), c.picture.width(), 1e-9);
    EXPECT_NEAR(picture.height(), c.picture.height(), 1e-9);
    EXPECT_TRUE(QRectF(box.contentsRect()).contains(picture));
  }
}

TEST(DiagramBox, DrawsOnTheWindowBackground) {
  DiagramBox box;
  box.resize(486, 247);
  const QImage image = box.grab().toImage();
  const QColor background = box.palette().color(QPalette::Base);
  EXPECT_EQ(image.pixelColor(480, 240), background);  // right of and below the diagram
  int coloured = 0;
  for (int x = 0; x < 371; ++x) {
    for (int y = 0; y < 181; ++y) {
      if (image.pixelColor(x + 2, y + 2) != background) ++coloured;
    }
  }
  EXPECT_GT(coloured, 1000);
}

TEST(IconBox, BorderlessBoxOfTheIconsSize) {
  IconBox box;
  EXPECT_EQ(box.size(), QSize(32, 32));  // 480 x 480 twips
  EXPECT_EQ(box.frameWidth(), 0);
  RegisterPictureResources();
  const QImage icon = QImage(QStringLiteral(":/pictures/icon.png"));
  const QImage shown = box.grab().toImage();
  EXPECT_EQ(shown.pixelColor(16, 8), icon.pixelColor(16, 8));
}

TEST(Twips, FifteenTwipsToAPixelAtNinetySixDpi) {
  QWidget widget;
  ASSERT_EQ(widget.logicalDpiX(), 96);
  const std::pair<int, int> cases[] = {
      {0, 0}, {7, 0}, {8, 1}, {15, 1}, {480, 32}, {6555, 437}, {9135, 609}, {16575, 1105},
  };
  for (const auto& [twips, pixels] : cases) {
    EXPECT_EQ(TwipsToPixels(twips, &widget), pixels) << twips;
    EXPECT_EQ(TwipsToPixelsY(twips, &widget), pixels) << twips;
    EXPECT_EQ(TwipsToPixels(twips, nullptr), pixels) << twips;
  }
  EXPECT_EQ(TwipsRect(5400, 1200, 9135, 6615, &widget), QRect(360, 80, 609, 441));
}

TEST(Fonts, NamedFacesFallBackToInstalledFreeFonts) {
  const std::pair<QString, QString> cases[] = {
      {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")},
      {QStringLiteral("メイリオ"), QStringLiteral("Noto Sans CJK JP")},
      {QStringLiteral("HG丸ｺﾞｼｯｸM-PRO"), QStringLiteral("MotoyaLMaru")},
      {QStringLiteral("ＭＳ 明朝"), QStringLiteral("Noto Serif CJK JP")},
  };
  for (const auto& [face, substitute] : cases) {
    if (QFontDatabase::hasFamily(face)) continue;
    if (!QFontDatabase::hasFamily(substitute)) continue;
    EXPECT_EQ(QFontInfo(QFont(face, 12)).family(), substitute) << face.toStdString();
  }
}

TEST(Fonts, JapaneseFacesHaveTheScreensCharacters) {
  const QString text = QStringLiteral("一次線束θ度散乱線微小容積体（水）照射条件の設定Ｘ線管電圧");
  for (const QString& face : {QStringLiteral("メイリオ"), QStringLiteral("ＭＳ 明朝")}) {
    const QFontMetrics metrics{QFont(face, 12)};
    for (const QChar c : text) {
      EXPECT_TRUE(metrics.inFont(c))
          << face.toStdString() << " lacks U+" << std::hex << static_cast<int>(c.unicode());
    }
  }
}

}  // namespace
}  // namespace xscatter
