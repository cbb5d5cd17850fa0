// The real-display harness itself: keys typed through the X server reach the focused widget
// once each, Chinese included, and a click lands where it is aimed.
#include "tests/support/RealDisplay.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace real = qm::test::real;

TEST(RealDisplay, TypedKeysAndClicksArriveOnceEach) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit;
    auto* button = new QPushButton("确定");
    layout->addWidget(edit);
    layout->addWidget(button);
    window.resize(300, 120);
    ASSERT_TRUE(real::ShowActive(&window));

    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    edit->setFocus();
    real::Type("001张三");
    EXPECT_TRUE(real::WaitFor([&] { return edit->text() == "001张三"; })) << edit->text().toStdString();

    real::Click(button->mapToGlobal(button->rect().center()));
    EXPECT_TRUE(real::WaitFor([&] { return clicks == 1; }));
    EXPECT_EQ(clicks, 1);
}
