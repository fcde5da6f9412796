// The dialogs room: the real Qt dialogs the program asks the user with.
#include "dialogs/FileDialogFilter.h"
#include "dialogs/QtUserDialogs.h"

#include "orvane/StringTable.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void fileDialogFiltersComeFromTheStringTable();
    void qtOwnTextsAreChinese();
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

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
