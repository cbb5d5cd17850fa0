// The desktop service: its message boxes carry Chinese captions by kind, and a document or
// folder that no program on the desktop can open is not handed over in silence. The desktop
// is played by stand-in xdg-mime and xdg-open scripts on PATH.
#include "platform/QtUiService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Seen {
    QString title, text;
};

// Runs `call`, which shows modal boxes, answering each with its first button and noting it.
std::vector<Seen> Answering(const std::function<void()>& call) {
    std::vector<Seen> seen;
    QTimer t;
    QObject::connect(&t, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.push_back({box->windowTitle(), box->text()});
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
        ASSERT_TRUE(dir.isValid());
        oldPath = qgetenv("PATH");
        qputenv("PATH", (dir.path() + QLatin1Char(':')).toLocal8Bit() + oldPath);
        // The launcher notes what it was given.
        Script(QStringLiteral("xdg-open"), QStringLiteral("printf '%s' \"$1\" > '%1'\n").arg(Opened()));
        QDir().mkpath(dir.filePath(QStringLiteral("XLS")));
        QFile f(Document());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("PK");
    }
    void TearDown() override { qputenv("PATH", oldPath); }

    void Script(const QString& name, const QString& body) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\n" + body).toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // The desktop's answer to "which program opens this type?".
    void DefaultProgram(const QString& desktopFile) {
        Script(QStringLiteral("xdg-mime"), QStringLiteral("echo '%1'\n").arg(desktopFile));
    }
    QString Opened() const { return dir.filePath(QStringLiteral("opened.txt")); }
    QString Document() const { return dir.filePath(QStringLiteral("XLS/汇总表.xlsx")); }
    QString Folder() const { return dir.filePath(QStringLiteral("XLS")); }
    // What the launcher received, waiting for it a while; empty when it never ran.
    QString Launched(int ms) const {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            QFile f(Opened());
            if (f.open(QIODevice::ReadOnly)) return QString::fromUtf8(f.readAll());
            QApplication::processEvents();
        }
        return {};
    }

    QTemporaryDir dir;
    QByteArray oldPath;
    qm::QtUiService ui;
};

TEST_F(Desktop, BoxesAreCaptionedInChineseByTheirKind) {
    const std::vector<Seen> seen = Answering([&] {
        ui.Info(QStringLiteral("保存成功！"));
        ui.AskYesNo(QStringLiteral("是否要进行修改?"));
        ui.MessageDlg(QStringLiteral("w"), qm::DlgKind::Warning, qm::DlgButtons::Ok);
        ui.MessageDlg(QStringLiteral("e"), qm::DlgKind::Error, qm::DlgButtons::Ok);
        ui.Plain(QStringLiteral("no such table: X"));
    });
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0].title, QStringLiteral("提示"));
    EXPECT_EQ(seen[1].title, QStringLiteral("确认"));
    EXPECT_EQ(seen[2].title, QStringLiteral("警告"));
    EXPECT_EQ(seen[3].title, QStringLiteral("错误"));
    EXPECT_EQ(seen[4].title, QStringLiteral("Quillmarsh.2012版"));  // any other error keeps the program's title
}

TEST_F(Desktop, WithoutAProgramForTheTypeThePersonIsToldAndNothingIsLaunched) {
    DefaultProgram(QString());
    std::vector<Seen> seen = Answering([&] { ui.OpenDocument(Document()); });
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, QStringLiteral("提示"));
    EXPECT_TRUE(seen[0].text.startsWith(QStringLiteral("没有可以打开“汇总表.xlsx”的程序")))
        << seen[0].text.toStdString();
    EXPECT_TRUE(seen[0].text.contains(QDir::toNativeSeparators(Folder()))) << seen[0].text.toStdString();

    seen = Answering([&] { ui.OpenFolder(Folder()); });
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].text.contains(QStringLiteral("没有可以打开文件夹"))) << seen[0].text.toStdString();
    EXPECT_TRUE(seen[0].text.contains(QDir::toNativeSeparators(Folder())));
    EXPECT_EQ(Launched(300), QString());
}

TEST_F(Desktop, WithAProgramTheDocumentIsHandedOverWithoutAWord) {
    DefaultProgram(QStringLiteral("calc.desktop"));
    const std::vector<Seen> seen = Answering([&] { ui.OpenDocument(Document()); });
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(Launched(5000), Document());
}

}  // namespace
