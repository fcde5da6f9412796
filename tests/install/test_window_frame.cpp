// The window under a real window manager (openbox, see run_under_openbox.sh):
// its frame, title bar included, sits at the screen's origin.
#include "HostTestSupport.h"

#include <QTest>

class WindowFrameTest : public QObject {
    Q_OBJECT
private slots:
    void frameSitsAtTheScreenOrigin();
};

void WindowFrameTest::frameSitsAtTheScreenOrigin()
{
    QVERIFY2(QGuiApplication::platformName() == QStringLiteral("xcb"), "needs an X display with a window manager");
    HostHarness host;
    auto window = host.Start();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    // The frame is known once the window manager has put the window into it.
    QTRY_VERIFY(window->frameGeometry().topLeft() != window->geometry().topLeft());
    QCOMPARE(window->frameGeometry().topLeft(), QPoint(0, 0));
    QVERIFY(window->geometry().top() > 0);  // the title bar is above the client area
}

QTEST_MAIN(WindowFrameTest)
#include "test_window_frame.moc"
