// The dialogs room: the real Qt dialogs the program asks the user with.
#include "dialogs/FileDialogFilter.h"
#include "dialogs/QtUserDialogs.h"
#include "dialogs/StandardIconStyle.h"

#include "orvane/StringTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void fileDialogFiltersComeFromTheStringTable();
    void qtOwnTextsAreChinese();
    void openDialogProposesTheSelectionPattern();
    void fileDialogsDrawTheSamePicturesAgain();
};

void DialogsTest::fileDialogFiltersComeFromTheStringTable()
{
    QCOMPARE(orvane::FileDialogFilters(orvane::LoadResString(orvane::IDS_SAVE_FILTER)), QStringList{"Z系列机型选择指南系统数据(*.zsr)"});
    QCOMPARE(orvane::FileDialogFilters(orvane::LoadResString(orvane::IDS_OPEN_FILTER)),
             QStringList({"Z系列机型选择指南系统数据(*.zsr)", "全部文件(*.*)"}));
    QCOMPARE(orvane::FileDialogFilters("Data|*.zsr;*.bak||"), QStringList{"Data (*.zsr;*.bak)"});
}

void DialogsTest::qtOwnTextsAreChinese()
{
    QVERIFY(orvane::QtUserDialogs::InstallQtTranslations(*QCoreApplication::instance()));
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    QCOMPARE(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("保存"));
}

void DialogsTest::openDialogProposesTheSelectionPattern()
{
    orvane::QtUserDialogs dialogs;
    QString proposed;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        proposed = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        dialog->reject();
    });
    QCOMPARE(dialogs.GetOpenFileName(nullptr, orvane::LoadResString(orvane::IDS_OPEN_FILTER)), std::nullopt);
    QCOMPARE(proposed, QStringLiteral("*.zsr"));
}

void DialogsTest::fileDialogsDrawTheSamePicturesAgain()
{
    // Qt keeps what it draws of a picture under that picture's key: a dialog that
    // shows new pictures each time leaves more behind each time.
    orvane::ShareStandardIcons();
    orvane::QtUserDialogs dialogs;
    std::vector<std::vector<qint64>> keys;
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            std::vector<qint64> shown;
            for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
                if (!button->icon().isNull())
                    shown.push_back(button->icon().cacheKey());
            const QAbstractItemModel* files = dialog->findChild<QTreeView*>(QStringLiteral("treeView"))->model();
            for (int ask = 0; ask < 2; ++ask)
                shown.push_back(files->headerData(0, Qt::Horizontal, Qt::DecorationRole).value<QPixmap>().cacheKey());
            keys.push_back(shown);
            dialog->reject();
        });
        QCOMPARE(dialogs.GetOpenFileName(nullptr, orvane::LoadResString(orvane::IDS_OPEN_FILTER)), std::nullopt);
    }
    QCOMPARE(keys.size(), 2u);
    QVERIFY(keys[0].size() > 4);
    QCOMPARE(keys[0], keys[1]);
}

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
