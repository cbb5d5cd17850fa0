// The program's file dialogs read Chinese whatever the machine's locale: a folder's type and
// its date, with every column whole. The picture goes to $QM_SCREENSHOT_DIR (else /tmp).
#include "platform/QtUiService.h"
#include "shell/Application.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>

#include <gtest/gtest.h>

TEST(FileDialogs, TheyReadChineseWithWholeColumnsWhateverTheMachinesLocale) {
    ASSERT_TRUE(qm::InstallQtChinese(*QCoreApplication::instance()));
    qm::UseChineseLocale();
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("BAK"));
    QStringList row, cut;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QTreeView* list = d ? d->findChild<QTreeView*>(QStringLiteral("treeView")) : nullptr;
        if (list && QTest::qWaitFor([&] { return list->model()->rowCount(list->rootIndex()) > 0; })) {
            QTest::qWait(100);  // the columns follow the rows' texts
            for (int c = 0; c < 4; ++c) row << list->model()->index(0, c, list->rootIndex()).data().toString();
            const QAbstractItemView* view = list;
            for (int c = 1; c < 4; ++c)
                if (list->header()->sectionSize(c) <
                    std::max(view->sizeHintForColumn(c), list->header()->sectionSizeHint(c)))
                    cut << QString::number(c);
            d->grab().save(
                QDir(qEnvironmentVariable("QM_SCREENSHOT_DIR", QDir::tempPath())).filePath("file-dialog.png"));
        }
        if (d) d->reject();
    });
    qm::QtUiService().ChooseFolder(QStringLiteral("请选择原系统安装目录"), dir.path());
    const QString date = QLocale(QLocale::Chinese, QLocale::China)
                             .toString(QFileInfo(dir.filePath("BAK")).lastModified(), QLocale::ShortFormat);
    EXPECT_EQ(row, (QStringList{"BAK", "", "文件夹", date}));
    EXPECT_EQ(cut, QStringList());
    // Leave the other tests as they found the application.
    for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    QLocale::setDefault(QLocale::system());
}
