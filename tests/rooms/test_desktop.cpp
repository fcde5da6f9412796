// The desktop room on a stand-in for the window: which drops are taken, the
// logout question, and the window menu.
#include "desktop/DesktopRequests.h"
#include "desktop/WindowMenu.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace {

// Drops urls on widget as the window system would; whether it was accepted.
bool DropOn(QWidget& widget, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = widget.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &drop);
    return drop.isAccepted();
}

// Takes every drag for itself, as the player's web view does.
class GreedyDropTarget : public QObject {
public:
    explicit GreedyDropTarget(QWidget& view) : QObject(&view)
    {
        view.setAcceptDrops(true);
        view.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        static_cast<QDropEvent*>(event)->acceptProposedAction();
        return true;
    }
};

struct DesktopRoom {
    QMainWindow window;
    QWidget* movie = new QWidget(&window);
    bool ready = true, busy = false, mayEnd = true;
    std::vector<std::string> opened;
    int asked = 0, kept = 0;
    orvane::DesktopRequests requests{{&window, [this] { return ready; },
                                      [this](const std::string& path) { opened.push_back(path); },
                                      [this](const std::function<void()>& step) { return !busy && (step(), true); },
                                      [this] { return ++asked, mayEnd; }, [this] { ++kept; }}};
    DesktopRoom()
    {
        window.setCentralWidget(movie);
        new GreedyDropTarget(*movie);
    }
};

QUrl LocalFile(const char* path) { return QUrl::fromLocalFile(QString::fromUtf8(path)); }

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void onlyALocalSelectionFileIsTakenWhileTheCommandsAreAvailable();
    void logoutAsksOnlyWhenNothingRunsAndSomebodyMayBeAsked();
    void windowMenuOpensOnItsWidgetsAndWithAltSpace();
};

void DesktopTest::onlyALocalSelectionFileIsTakenWhileTheCommandsAreAvailable()
{
    DesktopRoom room;
    room.ready = false;
    QVERIFY(!DropOn(room.window, {LocalFile("/data/first.zsr")}));
    room.ready = true;
    QVERIFY(!DropOn(room.window, {LocalFile("/data/z_ver.xml")}));
    QVERIFY(!DropOn(room.window, {QUrl(QStringLiteral("https://example.com/remote.zsr"))}));
    QVERIFY(!DropOn(room.window, {QUrl(QStringLiteral("file://otherhost/share/remote.zsr"))}));
    QVERIFY(room.opened.empty());

    // Several files, on the movie: the first selection file, any case of ".zsr".
    QVERIFY(DropOn(*room.movie, {LocalFile("/data/z_ver.xml"), LocalFile("/data/first.ZSR"), LocalFile("/data/second.zsr")}));
    // A name that is not UTF-8 is the file system's bytes.
    QVERIFY(DropOn(room.window, {QUrl(QStringLiteral("file:///data/linie-%E4.zsr"))}));
    QCOMPARE(room.opened, (std::vector<std::string>{"/data/first.ZSR", "/data/linie-\xE4.zsr"}));
}

void DesktopTest::logoutAsksOnlyWhenNothingRunsAndSomebodyMayBeAsked()
{
    DesktopRoom room;
    room.mayEnd = false;
    QVERIFY(!room.requests.QueryEndSession(true));  // the user cancelled
    room.mayEnd = true;
    QVERIFY(room.requests.QueryEndSession(true));
    room.busy = true;
    QVERIFY(!room.requests.QueryEndSession(true));  // a command runs: the logout waits for the user
    QCOMPARE(room.asked, 2);
    QVERIFY(room.requests.QueryEndSession(false));  // nobody may be asked: the work is kept
    QCOMPARE(room.asked, 2);
    QCOMPARE(room.kept, 1);
}

void DesktopTest::windowMenuOpensOnItsWidgetsAndWithAltSpace()
{
    QMainWindow window;
    QToolBar* toolBar = window.addToolBar(QStringLiteral("toolbar"));
    int abouts = 0;
    QAction versionCheck(QStringLiteral("Version Check"));
    orvane::WindowMenu menu({&window, [&] { ++abouts; }, &versionCheck});
    menu.AttachTo(window.menuBar());
    menu.AttachTo(toolBar);
    window.show();
    QStringList items;
    for (QAction* item : menu.Menu()->actions())
        items << (item->isSeparator() ? QStringLiteral("-") : item->text());
    QCOMPARE(items, QStringList({"还原(&R)", "移动(&M)", "最小化(&N)", "关闭(&C)", "-", "版本", "Version Check"}));

    for (QWidget* widget : {static_cast<QWidget*>(window.menuBar()), static_cast<QWidget*>(toolBar)}) {
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), widget->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(widget, &click);
        QVERIFY(menu.Menu()->isVisible());
        QVERIFY(!menu.Menu()->actions()[0]->isEnabled());  // 还原 only for a minimised window
        menu.Menu()->hide();
    }
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_Space, Qt::AltModifier);
    QVERIFY(menu.Menu()->isVisible());
    menu.Menu()->actions()[5]->trigger();
    QCOMPARE(abouts, 1);
}

QTEST_MAIN(DesktopTest)
#include "test_desktop.moc"
