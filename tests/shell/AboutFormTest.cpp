#include "shell/AboutForm.h"

#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "platform/Jpeg.h"
#include "tests/support/TempBase.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(AboutForm, PictureIsDecodedAndAClickCloses) {
    const QImage picture = DecodeJpeg(AboutJpeg());
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(399, 251));

    test::TempBase base;
    ScriptedUiService ui;
    MainState state;
    MemoryProgress pb;
    AppContext ctx{base.db(), ui, base.paths(), state, pb, nullptr, nullptr, nullptr};
    TAboutFrm about(ctx);
    EXPECT_EQ(about.windowTitle(), "关于本系统");
    about.show();
    QApplication::processEvents();
    EXPECT_EQ(about.size(), QSize(399, 251));
    EXPECT_TRUE(about.Image1->hasScaledContents());
    ASSERT_FALSE(about.Image1->pixmap().isNull());
    const QString dir = QDir::tempPath() + QStringLiteral("/qm-shots");
    QDir().mkpath(dir);
    EXPECT_TRUE(about.grab().save(dir + QStringLiteral("/about.png")));
    // The picture fills the box: a pixel near a corner carries the picture's colour.
    const QImage shot = about.grab().toImage();
    EXPECT_NEAR(qRed(shot.pixel(5, 5)), qRed(picture.pixel(5, 5)), 24);
    EXPECT_NEAR(qBlue(shot.pixel(5, 5)), qBlue(picture.pixel(5, 5)), 24);

    QTest::mouseClick(about.Image1, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace qm
