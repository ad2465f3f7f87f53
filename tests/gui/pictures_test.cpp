// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QPixmap>
#include <QSvgRenderer>

#include "screens/picture_box.h"

namespace xscatter {
namespace {

TEST(Pictures, IconIsThirtyTwoPixelsSquareAndDiagramIsValid) {
  RegisterPictureResources();
  EXPECT_EQ(QPixmap(QStringLiteral(":/pictures/icon.png")).size(), QSize(32, 32));
  EXPECT_TRUE(ProgramIcon().availableSizes().contains(QSize(32, 32)));
  QSvgRenderer diagram(QStringLiteral(":/pictures/geometry.svg"));
  ASSERT_TRUE(diagram.isValid());
  EXPECT_EQ(diagram.viewBoxF(), QRectF(0, 0, 5567, 2713));
}

}  // namespace
}  // namespace xscatter
