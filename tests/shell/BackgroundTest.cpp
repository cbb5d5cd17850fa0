#include "platform/Jpeg.h"
#include "shell/Background.h"

#include <gtest/gtest.h>

namespace {

TEST(Jpeg, TheBackgroundPictureDecodes) {
    const QImage bg = qm::DecodeJpeg(qm::BackgroundJpeg());
    ASSERT_FALSE(bg.isNull());
    EXPECT_EQ(bg.size(), QSize(1280, 800));
}

}  // namespace
