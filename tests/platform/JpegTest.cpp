#include "platform/Jpeg.h"

#include <gtest/gtest.h>
#include <QBuffer>

namespace {

// Written by Qt's own encoder, so the decoder is checked against an independent writer.
QByteArray Encode(const QImage& img, int quality = 95) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPEG", quality);
    return bytes;
}

bool Near(QRgb a, QRgb b, int tol = 12) {
    return std::abs(qRed(a) - qRed(b)) <= tol && std::abs(qGreen(a) - qGreen(b)) <= tol &&
           std::abs(qBlue(a) - qBlue(b)) <= tol;
}

TEST(Jpeg, ColourAndGreyPicturesDecodeToTheirSizeAndColours) {
    QImage img(64, 40, QImage::Format_RGB32);
    img.fill(QColor(200, 40, 30));
    for (int y = 0; y < 40; ++y)
        for (int x = 32; x < 64; ++x) img.setPixel(x, y, qRgb(20, 90, 210));
    const QImage out = qm::DecodeJpeg(Encode(img));
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(out.size(), QSize(64, 40));
    EXPECT_TRUE(Near(out.pixel(8, 20), qRgb(200, 40, 30)));
    EXPECT_TRUE(Near(out.pixel(56, 20), qRgb(20, 90, 210)));

    QImage grey(30, 20, QImage::Format_Grayscale8);
    grey.fill(128);
    const QImage g = qm::DecodeJpeg(Encode(grey));
    ASSERT_FALSE(g.isNull());
    EXPECT_TRUE(Near(g.pixel(15, 10), qRgb(128, 128, 128), 4));
}

TEST(Jpeg, DataThatIsNotAJpegGivesANullPictureWithoutEndingTheProgram) {
    EXPECT_TRUE(qm::DecodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(qm::DecodeJpeg(QByteArray("not a picture at all")).isNull());
    QByteArray bytes = Encode(QImage(16, 16, QImage::Format_RGB32));
    EXPECT_TRUE(qm::DecodeJpeg(bytes.left(20)).isNull());  // the header cut short
    bytes[3] = char(0x00);
    bytes[300 % bytes.size()] = char(0xFF);
    qm::DecodeJpeg(bytes);  // damaged inside: any answer, but no crash
    EXPECT_TRUE(qm::LoadJpegFile(QStringLiteral("/nonexistent/picture.jpg")).isNull());
}

}  // namespace
