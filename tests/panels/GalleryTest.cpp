// All eleven styles side by side, enabled and disabled, in the desktop's own colours.
// Set QM_SHOT_DIR to keep the picture (panels.png, and panels_x4.png enlarged to see pixels).

#include "PanelTestSupport.h"
#include "panels/PTPane.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFontMetrics>

using namespace qm;
using namespace qm::test;

namespace {

TEST(Gallery, AllElevenStylesSideBySide) {
    const char* names[] = {"None",   "Group",    "Lowered",  "Raised",   "Dint",    "Bump",
                           "Single", "HorzLine", "HorzEdge", "VertLine", "VertEdge"};
    QWidget sheet;
    sheet.setAutoFillBackground(true);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(12);
    sheet.setFont(font);
    const int w = 96, h = 64, gap = 8;
    sheet.resize(gap + 11 * (w + gap), gap + 3 * (h + gap));

    std::vector<TPTGroup*> enabled;
    for (int i = 0; i < kFrameStyleCount; ++i) {
        for (int row = 0; row < 2; ++row) {
            auto* g = new TPTGroup(&sheet);
            g->setGeometry(gap + i * (w + gap), gap + row * (h + gap), w, h);
            g->SetFrameStyle(static_cast<TPTFrameStyle>(i));
            g->SetCaption(QStringLiteral("%1 单位").arg(QLatin1String(names[i])));
            g->setEnabled(row == 0);
            if (row == 0) enabled.push_back(g);
        }
    }
    // Third row: a long group caption, a pane, and the client caption's three alignments.
    auto* longGroup = new TPTGroup(&sheet);
    longGroup->setGeometry(gap, gap + 2 * (h + gap), w, h);
    longGroup->SetCaption(QStringLiteral("工资总额及从业人员年度报告"));
    auto* pane = new TPTPane(&sheet);
    pane->setGeometry(gap + (w + gap), gap + 2 * (h + gap), w, h);
    pane->SetCaption(QStringLiteral("TPTPane 窗格"));
    const TPTAlignment aligns[] = {TPTAlignment::taLeftJustify, TPTAlignment::taCenter, TPTAlignment::taRightJustify};
    for (int k = 0; k < 3; ++k) {
        auto* g = new TPTGroup(&sheet);
        g->setGeometry(gap + (2 + k) * (w + gap), gap + 2 * (h + gap), w, h);
        g->SetFrameStyle(TPTFrameStyle::ptfsBump);
        g->SetAlignment(aligns[k]);
        g->SetCaption(QStringLiteral("对齐"));
    }
    sheet.show();
    const QImage img = Grab(sheet);

    // Each enabled panel's top-left pixel is its first line's colour.
    const QPalette pal = sheet.palette();
    const QColor firstLine[] = {
        pal.color(QPalette::Active, QPalette::Window),     pal.color(QPalette::Active, QPalette::Window),
        pal.color(QPalette::Active, QPalette::Dark),       pal.color(QPalette::Active, QPalette::Light),
        pal.color(QPalette::Active, QPalette::Dark),       pal.color(QPalette::Active, QPalette::Light),
        pal.color(QPalette::Active, QPalette::WindowText), pal.color(QPalette::Active, QPalette::Dark),
        pal.color(QPalette::Active, QPalette::Dark),       pal.color(QPalette::Active, QPalette::Dark),
        pal.color(QPalette::Active, QPalette::Dark)};
    for (int i = 0; i < kFrameStyleCount; ++i) {
        const QPoint at = enabled[i]->geometry().topLeft();
        // The group's top line sits in the middle of its caption band.
        const QPoint probe = i == 1 ? at + QPoint(0, QFontMetrics(font).height() / 2 - 1) : at;
        const QColor want = i == 1 ? pal.color(QPalette::Active, QPalette::Dark) : firstLine[i];
        EXPECT_EQ(img.pixel(probe), want.rgb()) << names[i];
    }

    const QString dir = qEnvironmentVariable("QM_SHOT_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        EXPECT_TRUE(img.save(dir + QStringLiteral("/panels.png")));
        EXPECT_TRUE(img.scaled(img.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                        .save(dir + QStringLiteral("/panels_x4.png")));
    }
}

}  // namespace
