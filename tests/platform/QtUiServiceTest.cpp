// The desktop service: its message boxes carry Chinese captions by kind, and a document or
// folder that no program on the desktop can open is not handed over in silence. The desktop
// is played by stand-in xdg-mime and xdg-open scripts on PATH.
#include "platform/QtUiService.h"

#include "core/db/Errors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Runs `call`, answering each modal box with its first button; answers "title|text" of each.
QStringList Answering(const std::function<void()>& call) {
    QStringList seen;
    QTimer t;
    QObject::connect(&t, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen << box->windowTitle() + QLatin1Char('|') + box->text();
            box->buttons().first()->click();
        }
    });
    t.start(20);
    call();
    return seen;
}

class Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        oldPath = qgetenv("PATH");
        qputenv("PATH", (dir.path() + QLatin1Char(':')).toLocal8Bit() + oldPath);
        Script("xdg-open", QStringLiteral("printf '%s' \"$1\" > '%1'").arg(dir.filePath("opened")));
        QDir().mkpath(dir.filePath("XLS"));
        QFile(Document()).open(QIODevice::WriteOnly);
    }
    void TearDown() override { qputenv("PATH", oldPath); }
    void Script(const char* name, const QString& body) {
        QFile f(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\n" + body + "\n").toUtf8());
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString Document() const { return dir.filePath(QStringLiteral("XLS/汇总表.xlsx")); }
    // What the launcher received, waiting for it a while; empty when it never ran.
    QString Launched(int ms) const {
        QElapsedTimer t;
        t.start();
        QString got;
        while (got.isEmpty() && t.elapsed() < ms) {
            QApplication::processEvents();
            QFile f(dir.filePath("opened"));
            if (f.open(QIODevice::ReadOnly)) got = QString::fromUtf8(f.readAll());
        }
        return got;
    }

    QTemporaryDir dir;
    QByteArray oldPath;
    qm::QtUiService ui;
};

TEST_F(Desktop, BoxesAreCaptionedInChineseByTheirKind) {
    const QStringList seen = Answering([&] {
        ui.Info(QStringLiteral("i"));
        ui.AskYesNo(QStringLiteral("c"));
        ui.MessageDlg(QStringLiteral("w"), qm::DlgKind::Warning, qm::DlgButtons::Ok);
        ui.MessageDlg(QStringLiteral("e"), qm::DlgKind::Error, qm::DlgButtons::Ok);
        ui.Plain(QStringLiteral("p"));  // any other error keeps the program's title
    });
    EXPECT_EQ(seen, (QStringList{"提示|i", "确认|c", "警告|w", "错误|e", "Quillmarsh.2012版|p"}));
}

// Enter, Esc and the close box answer a question by what keeps the data: No, or Cancel if offered.
TEST_F(Desktop, AQuestionIsAnsweredByItsSafeButtonOnEnterEscAndClose) {
    using qm::DlgAnswer, qm::DlgButtons;
    const std::pair<DlgButtons, DlgAnswer> cases[] = {{DlgButtons::YesNoDefaultNo, DlgAnswer::No},
                                                      {DlgButtons::YesNoCancel, DlgAnswer::Cancel}};
    for (const auto& [buttons, safe] : cases)
        for (int way = 0; way < 3; ++way) {
            QTimer t;
            QObject::connect(&t, &QTimer::timeout, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                if (box && way == 0) box->defaultButton()->click();
                if (box && way == 1) QApplication::sendEvent(box, &esc);
                if (box && way == 2) box->close();
            });
            t.start(20);
            EXPECT_EQ(ui.MessageDlg(QStringLiteral("q"), qm::DlgKind::Confirmation, buttons), safe) << way;
        }
}

// A busy step shows the wait cursor, but never over a box, nor once the event loop waits for
// the person; its end lifts it, an exception's too.
TEST_F(Desktop, BusyShowsTheWaitCursorButNotOverABoxNorWhileTheLoopWaits) {
    const auto waiting = [] { return QApplication::overrideCursor() != nullptr; };
    QList<bool> overBoxes;
    QTimer t;
    QObject::connect(&t, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            overBoxes << waiting();
            box->buttons().first()->click();
        }
    });
    t.start(20);
    bool afterBox = false;
    qm::Guarded(ui, [&] {
        ui.Info(QStringLiteral("i"));
        afterBox = waiting();
        throw std::runtime_error("x");  // its box comes once the step has ended
    });
    EXPECT_TRUE(afterBox);
    EXPECT_EQ(overBoxes, (QList<bool>{false, false}));
    EXPECT_FALSE(waiting());
    const qm::BusyScope busy(ui);
    EXPECT_TRUE(waiting());
    QEventLoop idle;
    QTimer::singleShot(30, &idle, &QEventLoop::quit);
    idle.exec();
    EXPECT_FALSE(waiting());
}

TEST_F(Desktop, WithoutAProgramForTheTypeThePersonIsToldAndNothingIsLaunched) {
    Script("xdg-mime", QStringLiteral("echo"));
    const QString folder = QDir::toNativeSeparators(dir.filePath("XLS"));
    const QStringList seen = Answering([&] {
        ui.OpenDocument(Document());
        ui.OpenFolder(dir.filePath("XLS"));
    });
    ASSERT_EQ(seen.size(), 2);
    EXPECT_TRUE(seen[0].startsWith(QStringLiteral("提示|没有可以打开“汇总表.xlsx”的程序"))) << seen[0].toStdString();
    EXPECT_TRUE(seen[0].contains(folder));
    EXPECT_TRUE(seen[1].contains(QStringLiteral("没有可以打开文件夹“") + folder)) << seen[1].toStdString();
    EXPECT_EQ(Launched(300), QString());

    // With a program for the type the document is handed over without a word.
    Script("xdg-mime", QStringLiteral("echo calc.desktop"));
    EXPECT_TRUE(Answering([&] { ui.OpenDocument(Document()); }).isEmpty());
    EXPECT_EQ(Launched(5000), Document());
}

}  // namespace
