// The window under a real window manager (openbox, see run_under_openbox.sh):
// its frame, title bar included, sits at the screen's origin; destroyed from
// outside, it comes back and closes as the close box closes it.
#include "HostTestSupport.h"

#include "orvane/StringTable.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

class WindowFrameTest : public QObject {
    Q_OBJECT
private slots:
    void frameSitsAtTheScreenOrigin();
    void windowDestroyedFromOutsideClosesAsTheCloseBoxDoes();
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

void WindowFrameTest::windowDestroyedFromOutsideClosesAsTheCloseBoxDoes()
{
    HostHarness host;
    auto window = host.StartReady();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QSignalSpy quit(window.get(), &COrvaneDlg::quitPosted);
    host.movie->saveText = "unsaved";
    const auto destroyFromOutside = [&] {
        const WId destroyed = window->internalWinId();
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowclose"), QString::number(destroyed)}), 0);
        QTRY_VERIFY(window->internalWinId() != destroyed);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    };

    // The save prompt is asked in the window that came back; cancelled, it stays.
    host.dialogs->boxAnswers = {MsgResult::Cancel};
    destroyFromOutside();
    QTRY_COMPARE(host.dialogs->boxes.size(), 1u);
    QCOMPARE(host.dialogs->boxes[0].text, orvane::LoadResString(orvane::IDS_ASK_SAVE, orvane::LoadResString(orvane::IDS_UNTITLED)));
    QCOMPARE(quit.size(), 0);

    host.dialogs->boxAnswers = {MsgResult::No};
    destroyFromOutside();
    QTRY_COMPARE(quit.size(), 1);
}

QTEST_MAIN(WindowFrameTest)
#include "test_window_frame.moc"
