// The program's file and folder dialogs (backup, restore, history import) read Chinese
// whatever the machine's locale: a folder's type, the dates, and every column whole. A picture
// of each goes to $QM_SCREENSHOT_DIR (else the temporary folder).
#include "platform/QtUiService.h"
#include "shell/Application.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

// What the open dialog showed: its folder row's type and date, and the columns that are
// narrower than their texts.
struct Seen {
    bool opened = false;
    QString type, date, expectedDate;
    QStringList cutColumns;
};

void Inspect(Seen& seen, const QString& shot) {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!d) return;
    seen.opened = true;
    auto* list = d->findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* files = d->findChild<QFileSystemModel*>();
    if (!list || !files) return;
    const auto folderRow = [&]() -> int {
        for (int r = 0; r < list->model()->rowCount(list->rootIndex()); ++r)
            if (list->model()->index(r, 0, list->rootIndex()).data().toString() == QStringLiteral("BAK")) return r;
        return -1;
    };
    if (!QTest::qWaitFor([&] { return folderRow() >= 0; }, 3000)) return;
    QTest::qWait(100);  // the columns follow the rows' texts
    const int r = folderRow();
    if (r >= 0) {
        const QModelIndex row = list->model()->index(r, 0, list->rootIndex());
        seen.type = row.siblingAtColumn(2).data().toString();
        seen.date = row.siblingAtColumn(3).data().toString();
        seen.expectedDate = QLocale(QLocale::Chinese, QLocale::China)
                                .toString(QFileInfo(d->directory().filePath(QStringLiteral("BAK"))).lastModified(),
                                          QLocale::ShortFormat);
    }
    const QAbstractItemView* view = list;
    for (int c = 1; c < list->header()->count(); ++c)
        if (list->header()->sectionSize(c) < std::max(view->sizeHintForColumn(c), list->header()->sectionSizeHint(c)))
            seen.cutColumns << list->model()->headerData(c, Qt::Horizontal).toString();
    d->grab().save(QDir(qEnvironmentVariable("QM_SCREENSHOT_DIR", QDir::tempPath())).filePath(shot));
    d->reject();
}

TEST(FileDialogs, TheyReadChineseWithWholeColumnsWhateverTheMachinesLocale) {
    ASSERT_TRUE(qm::InstallQtChinese(*QCoreApplication::instance()));
    qm::UseChineseLocale();
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("BAK"));
    QFile file(dir.filePath(QStringLiteral("12345678X.mdb")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(150000, 'x'));
    file.close();

    qm::QtUiService ui;
    const struct {
        const char* what;
        std::function<void()> open;
    } dialogs[] = {
        {"backup", [&] { ui.SaveFile(QStringLiteral("数据备份"), dir.path(), QStringLiteral("12345678X.mdb"), {}); }},
        {"restore", [&] { ui.OpenFile(QStringLiteral("数据还原"), dir.path(), QStringLiteral("数据库 (*.mdb)")); }},
        {"history", [&] { ui.ChooseFolder(QStringLiteral("请选择原系统安装目录"), dir.path()); }},
    };
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.what);
        Seen seen;
        QTimer::singleShot(0, [&] { Inspect(seen, QStringLiteral("file-dialog-%1.png").arg(QLatin1String(d.what))); });
        d.open();
        ASSERT_TRUE(seen.opened);
        EXPECT_EQ(seen.type, QStringLiteral("文件夹"));
        EXPECT_EQ(seen.date, seen.expectedDate);
        EXPECT_EQ(seen.cutColumns, QStringList());
    }
    // Leave the other tests as they found the application.
    for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    QLocale::setDefault(QLocale::system());
}

}  // namespace
