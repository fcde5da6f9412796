// Start-up of the main window: failures of its steps, the greyed commands,
// layout, keys, the window menu and the Flash Player check.
#include "FlashCheckDlg.h"
#include "HostTestSupport.h"

#include "orvane/StringTable.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

enum class StartFault { MenuLoad, MenuAttach, ToolBarCreate, ToolBarLoad };

class FaultyResources : public orvane::WindowResources {
public:
    explicit FaultyResources(StartFault fault) : m_fault(fault) {}

    std::optional<orvane::MenuResource> LoadMenu(unsigned id) override
    {
        return m_fault == StartFault::MenuLoad ? std::nullopt : orvane::WindowResources::LoadMenu(id);
    }
    QMenuBar* SetMenu(QMainWindow& window, std::unique_ptr<QMenuBar> menuBar) override
    {
        return m_fault == StartFault::MenuAttach ? nullptr : orvane::WindowResources::SetMenu(window, std::move(menuBar));
    }
    QToolBar* CreateToolBar(QWidget& parent) override
    {
        return m_fault == StartFault::ToolBarCreate ? nullptr : orvane::WindowResources::CreateToolBar(parent);
    }
    std::optional<orvane::ToolBarResource> LoadToolBar(unsigned id) override
    {
        return m_fault == StartFault::ToolBarLoad ? std::nullopt : orvane::WindowResources::LoadToolBar(id);
    }

private:
    StartFault m_fault;
};

const unsigned kToolIds[] = {ID_TOOL_FILE_NEW, ID_TOOL_FILE_OPEN, ID_TOOL_FILE_SAVE, ID_TOOL_FILE_SAVEAS};

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void failedStepIsReportedAndWindowStillCloses_data();
    void failedStepIsReportedAndWindowStillCloses();
    void missingVersionFileIsReportedOnceAndCommandsWork();
    void completeStartGreysCommandsUntilMovieIsReady();
    void windowLayout();
    void menuAndToolbarResources();
    void enterAndEscapeReachTheMovieAndNeverClose();
    void windowMenuStaysUsableWhileCommandsAreGrey();
    void flashCheckPassesFromVersionNine_data();
    void flashCheckPassesFromVersionNine();
    void flashCheckRefusals_data();
    void flashCheckRefusals();
    void flashCreationFailureIsRecordedWithCode3001();
    void badgeOpensDownloadPageAndKeepsNoticeOpen();
};

void StartupTest::failedStepIsReportedAndWindowStillCloses_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("step");
    QTest::newRow("menu load") << int(StartFault::MenuLoad) << "(#1001)" << "m_wndMenu.LoadMenu()";
    QTest::newRow("menu attach") << int(StartFault::MenuAttach) << "(#1002)" << "SetMenu()";
    QTest::newRow("toolbar create") << int(StartFault::ToolBarCreate) << "(#1003)" << "m_wndToolBar.CreateEx";
    QTest::newRow("toolbar load") << int(StartFault::ToolBarLoad) << "(#1004)" << "m_wndToolBar.LoadToolBar()";
}

void StartupTest::failedStepIsReportedAndWindowStillCloses()
{
    QFETCH(int, fault);
    QFETCH(QString, code);
    QFETCH(QString, step);
    HostHarness host;
    host.resources = std::make_shared<FaultyResources>(StartFault(fault));
    auto window = host.MakeWindow();
    QVERIFY(window->Create());
    QVERIFY(!window->OnInitDialog());
    window->show();

    const std::string text = "不能继续处理。" + code.toStdString();
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, text);
    QCOMPARE(host.dialogs->boxes[0].caption, std::string("错误"));
    QVERIFY(host.dialogs->boxes[0].ownerShown);  // over the window, not before it
    QVERIFY(host.dialogs->boxes[0].icon == MsgIcon::Error);
    QVERIFY(host.dialogs->boxes[0].buttons == MsgButtons::Ok);
    const auto records = ReadErrorLog();
    QCOMPARE(records.size(), 1u);
    QCOMPARE(records[0].operation, std::string("COrvaneDlg::OnInitDialog()"));
    QCOMPARE(records[0].step, step.toStdString());
    QCOMPARE(records[0].message, text);

    // The later steps did not run: no movie was loaded. The window is laid
    // out and keeps its fixed size all the same.
    QVERIFY(host.movie->movieUrl.isEmpty());
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QCOMPARE(window->width(), 1008);
    if (StartFault(fault) == StartFault::MenuLoad)
        QVERIFY(!window->findChild<QMenuBar*>() || window->findChild<QMenuBar*>()->actions().isEmpty());

    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);
    window->close();
    QCOMPARE(quit.size(), 1);
    QCOMPARE(quit[0][0].toInt(), 0);
}

void StartupTest::missingVersionFileIsReportedOnceAndCommandsWork()
{
    HostHarness host;
    QFile::remove(QString::fromStdString(host.AppFile("z_ver.xml")));
    auto window = host.Start();

    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, std::string("不能继续处理。(#1006)"));
    QVERIFY(host.dialogs->boxes[0].ownerShown);
    bool found1006 = false;
    for (const LogRecord& record : ReadErrorLog())
        found1006 |= record.operation == "COrvaneDlg::OnInitDialog()" && record.step == "_GetLocalVersionInf()"
                     && record.message == "不能继续处理。(#1006)";
    QVERIFY(found1006);
    QCOMPARE(host.movie->movieUrl, QString::fromStdString(host.AppFile("orvane.swf")));
    QVERIFY(window->VerInf().strVersion.empty());

    // Usable at once, before the movie reports that it is ready.
    QVERIFY(window->menuBar()->actions().at(0)->isEnabled());
    host.movie->saveText = "selection";
    host.dialogs->saveAnswers.push_back(host.AppFile("a.zsr"));
    ClickToolButton(*window, ID_TOOL_FILE_SAVE);
    QCOMPARE(ReadSelectionFile(host.AppFile("a.zsr")), std::string("selection"));
}

void StartupTest::completeStartGreysCommandsUntilMovieIsReady()
{
    HostHarness host;
    auto window = host.Start();
    QVERIFY(host.dialogs->boxes.empty());
    QVERIFY(ReadErrorLog().empty());
    QCOMPARE(window->VerInf().strVersion, std::string("1.00"));
    QCOMPARE(host.movie->stopPlayCalls, 1);
    QCOMPARE(host.movie->zoomCalls, 2);

    const auto menus = window->menuBar()->actions();
    QCOMPARE(menus.size(), 2);
    const auto expectEnabled = [&](bool enabled) {
        for (QAction* menu : menus)
            QCOMPARE(menu->isEnabled(), enabled);
        for (unsigned id : kToolIds)
            QCOMPARE(FindCommand(*window, id)->isEnabled(), enabled);
    };
    expectEnabled(false);

    // A grey button does nothing.
    ClickToolButton(*window, ID_TOOL_FILE_NEW);
    QVERIFY(host.movie->calledNames.empty());

    host.movie->player->SendCall("zDataLoadEnd");
    expectEnabled(true);
    ClickToolButton(*window, ID_TOOL_FILE_NEW);
    QCOMPARE(host.movie->newOpens, 1);

    host.movie->player->SendCall("zError");
    expectEnabled(false);
    host.movie->player->SendCall("zDataLoadEnd", "with an argument");
    expectEnabled(true);
}

void StartupTest::windowLayout()
{
    HostHarness host;
    auto window = host.Start();
    QToolBar* toolBar = window->findChild<QToolBar*>();
    QVERIFY(toolBar);
    const int t = toolBar->height();
    QVERIFY(t >= 15);
    QCOMPARE(window->pos(), QPoint(0, 0));

    QWidget* movie = window->findChild<QWidget*>(QStringLiteral("control1000"));
    QCOMPARE(movie->geometry(), QRect(4, t + 4, 1000, 600));
    QCOMPARE(toolBar->geometry(), QRect(0, 0, 1008, t));
    QCOMPARE(window->centralWidget()->size(), QSize(1008, t + 608));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QCOMPARE(window->size().width(), 1008);
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(window->windowTitle(), QStringLiteral("Torvex-Z series 选型系统"));
    QVERIFY(!window->windowIcon().isNull());
    QCOMPARE(window->windowIcon().availableSizes().size(), 3);
}

void StartupTest::menuAndToolbarResources()
{
    HostHarness host;
    auto window = host.StartReady();
    const auto menus = window->menuBar()->actions();
    QCOMPARE(menus[0]->text(), QStringLiteral("文件(&F)"));
    QCOMPARE(menus[1]->text(), QStringLiteral("帮助(&H)"));
    const auto items = [](const QMenu* menu) {
        QStringList texts;
        for (QAction* item : menu->actions())
            texts << (item->isSeparator() ? QStringLiteral("-")
                                          : QStringLiteral("%1 %2").arg(item->data().toUInt()).arg(item->text()));
        return texts;
    };
    QCOMPARE(items(menus[0]->menu()), QStringList({"32783 新建", "32782 打开...", "32771 保存", "32776 另存为...", "-",
                                                   "32808 导出物料清单…", "32814 导出到工程软件…", "32809 复制物料清单", "32810 打印…", "-", "32773 退出"}));
    QCOMPARE(items(menus[1]->menu()), QStringList({"32775 版本", "-", "32812 更新产品目录…", "32813 恢复随程序安装的产品目录", "-",
                                                   "32811 第三方组件许可"}));

    QToolBar* toolBar = window->findChild<QToolBar*>();
    QCOMPARE(toolBar->actions().size(), 4);
    QCOMPARE(toolBar->iconSize(), QSize(16, 15));
    const QStringList texts = {"新建", "打开", "保存", "另存为"};
    for (int index = 0; index < 4; ++index) {
        QAction* action = toolBar->actions()[index];
        QCOMPARE(action->data().toUInt(), kToolIds[index]);
        QCOMPARE(action->text(), texts[index]);
        QCOMPARE(action->toolTip(), texts[index]);
        QVERIFY(!action->icon().isNull());
        auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(action));
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    }
}

void StartupTest::enterAndEscapeReachTheMovieAndNeverClose()
{
    HostHarness host;
    auto window = host.StartReady();
    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);
    QWidget* movieView = host.movie->player->View();
    movieView->setFocus();
    QTest::keyClick(movieView, Qt::Key_Escape);
    QTest::keyClick(movieView, Qt::Key_Return);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::keyClick(window.get(), Qt::Key_Enter);
    QVERIFY(window->isVisible());
    QCOMPARE(quit.size(), 0);
    QVERIFY(host.movie->keysReceived.contains(QStringLiteral("Esc")));
    QVERIFY(host.movie->keysReceived.contains(QStringLiteral("Return")));
}

void StartupTest::windowMenuStaysUsableWhileCommandsAreGrey()
{
    HostHarness host;
    host.WriteVersionFile(VersionFile{.version = "1.02", .copyright = "(C) Test"}.Text());
    auto window = host.Start();
    auto* windowMenu = window->findChild<QMenu*>(QStringLiteral("windowMenu"));
    QVERIFY(windowMenu);
    // A right click on the menu bar opens it (the desktop room's tests: its items, the toolbar, Alt+Space).
    QContextMenuEvent onMenuBar(QContextMenuEvent::Mouse, QPoint(300, 5), window->menuBar()->mapToGlobal(QPoint(300, 5)));
    QApplication::sendEvent(window->menuBar(), &onMenuBar);
    QVERIFY(windowMenu->isVisible());
    windowMenu->hide();

    // Its about item works while the document commands are grey.
    QVERIFY(!window->menuBar()->actions()[0]->isEnabled());
    QString shownVersion;
    host.dialogs->onModal = [&](QDialog& dialog) {
        shownVersion = dialog.findChild<QLabel*>(QStringLiteral("control1003"))->text();
    };
    windowMenu->actions()[5]->trigger();
    QCOMPARE(host.dialogs->modalDialogs, std::vector<std::string>{"CAboutDlg"});
    QCOMPARE(shownVersion, QStringLiteral("Ver. 1.02"));

    // Its close item goes through the close handler.
    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);
    windowMenu->actions()[3]->trigger();
    QCOMPARE(quit.size(), 1);
}

void StartupTest::flashCheckPassesFromVersionNine_data()
{
    QTest::addColumn<int>("version");
    QTest::newRow("9.0") << 589824;
    QTest::newRow("10.0") << 0x0A0000;
    QTest::newRow("32.0, top byte set") << int(0x7F200000);
}

void StartupTest::flashCheckPassesFromVersionNine()
{
    QFETCH(int, version);
    HostHarness host;
    host.movie->flashVersion = version;
    auto window = host.MakeWindow();
    QVERIFY(window->Create());
    QVERIFY(host.dialogs->modalDialogs.empty());
    QVERIFY(host.dialogs->boxes.empty());
}

void StartupTest::flashCheckRefusals_data()
{
    QTest::addColumn<bool>("registered");
    QTest::addColumn<int>("version");
    QTest::addColumn<unsigned>("messageId");
    QTest::newRow("not installed") << false << 0 << unsigned(orvane::IDS_FLASH_NOT_INSTALLED);
    QTest::newRow("8 with all lower bits") << true << 589823 << unsigned(orvane::IDS_FLASH_TOO_OLD);
    QTest::newRow("major byte 0") << true << int(0x09000000) << unsigned(orvane::IDS_FLASH_TOO_OLD);
}

void StartupTest::flashCheckRefusals()
{
    QFETCH(bool, registered);
    QFETCH(int, version);
    QFETCH(unsigned, messageId);
    HostHarness host;
    host.movie->flashVersion = version;
    if (!registered)
        host.factory = [] { return orvane::FlashCreateResult{orvane::FlashCreateStatus::ClassNotRegistered, -2147221164, nullptr}; };
    QString message, tradeMark;
    host.dialogs->onModal = [&](QDialog& dialog) {
        message = dialog.findChild<QLabel*>(QStringLiteral("control1016"))->text();
        tradeMark = dialog.findChild<QLabel*>(QStringLiteral("control1019"))->text();
    };
    auto window = host.MakeWindow();
    QCOMPARE(window->DoModal(), -1);
    QVERIFY(!window->isVisible());
    QCOMPARE(host.dialogs->modalDialogs, std::vector<std::string>{"CFlashCheckDlg"});
    QCOMPARE(message, QString::fromStdString(orvane::LoadResString(messageId)));
    QCOMPARE(tradeMark, QString::fromStdString(orvane::LoadResString(orvane::IDS_FLASH_TRADEMARK)));
    QVERIFY(host.dialogs->boxes.empty());
    QVERIFY(ReadErrorLog().empty());
    QVERIFY(host.movie->movieUrl.isEmpty());
}

void StartupTest::flashCreationFailureIsRecordedWithCode3001()
{
    HostHarness host;
    host.factory = [] { return orvane::FlashCreateResult{orvane::FlashCreateStatus::Failed, -2147467259, nullptr}; };
    auto window = host.MakeWindow();
    QCOMPARE(window->DoModal(), -1);
    QVERIFY(host.dialogs->modalDialogs.empty());
    QCOMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, std::string("(#3001)"));
    QCOMPARE(host.dialogs->boxes[0].caption, std::string("错误"));
    QVERIFY(host.dialogs->boxes[0].icon == MsgIcon::Error);
    const auto records = ReadErrorLog();
    QCOMPARE(records.size(), 1u);
    QCOMPARE(records[0].operation, std::string("COrvaneDlg::CheckFlashPlayerVersion()"));
    QCOMPARE(records[0].step, std::string("OleCreate()"));
    QCOMPARE(records[0].systemError, -2147467259L);
    QCOMPARE(records[0].message, std::string());
}

void StartupTest::badgeOpensDownloadPageAndKeepsNoticeOpen()
{
    ScriptedUserDialogs dialogs;
    CFlashCheckDlg notice(dialogs);
    notice.m_strMessage = orvane::LoadResString(orvane::IDS_FLASH_NOT_INSTALLED);
    notice.show();
    auto* badge = notice.findChild<QPushButton*>(QStringLiteral("control1018"));
    QVERIFY(badge);
    QCOMPARE(badge->iconSize(), QSize(88, 31));
    QTest::mouseClick(badge, Qt::LeftButton);
    QCOMPARE(dialogs.openedUrls.size(), 1u);
    QCOMPARE(dialogs.openedUrls[0], QUrl(QStringLiteral("https://ruffle.rs/#downloads")));
    QVERIFY(notice.isVisible());

    auto* message = notice.findChild<QLabel*>(QStringLiteral("control1016"));
    QCOMPARE(message->font().pixelSize(), 14);
    QCOMPARE(message->font().weight(), QFont::Medium);
    QCOMPARE(notice.findChild<QLabel*>(QStringLiteral("control1019"))->font().pixelSize(), 10);

    QTest::mouseClick(notice.findChild<QPushButton*>(QStringLiteral("control1")), Qt::LeftButton);
    QVERIFY(!notice.isVisible());
    QCOMPARE(notice.result(), int(QDialog::Accepted));
}

QTEST_MAIN(StartupTest)
#include "test_host_startup.moc"
