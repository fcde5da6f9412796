// The actions room: one user action at a time, in the order they came.
#include "actions/UserActions.h"

#include <QTest>

#include <string>

class ActionsTest : public QObject {
    Q_OBJECT
private slots:
    void whatComesDuringAnActionRunsAfterItInOrder();
    void anActionThatNeedsTheMovieIsDroppedWhenItIsNotReady();
};

void ActionsTest::whatComesDuringAnActionRunsAfterItInOrder()
{
    orvane::UserActions actions;
    std::string ran;
    actions.Run([&] {
        actions.Run([&] { ran += "b"; });
        actions.Run([&] { ran += "c"; });
        QVERIFY(!actions.RunIfIdle([&] { ran += "never"; }));
        ran += "a";
    });
    QCOMPARE(ran, std::string("a"));  // the waiting ones run from the event loop, never inside the first
    QTRY_COMPARE(ran, std::string("abc"));
    QVERIFY(actions.RunIfIdle([&] { ran += "d"; }));
    QCOMPARE(ran, std::string("abcd"));
}

void ActionsTest::anActionThatNeedsTheMovieIsDroppedWhenItIsNotReady()
{
    orvane::UserActions actions;
    int opened = 0;
    actions.Run([&] {
        actions.RunWhenReady([&] { ++opened; });            // its turn comes while the movie loads
        actions.SetMovieState(orvane::MovieState::Loading);
    });
    actions.SetMovieState(orvane::MovieState::Ready);
    actions.RunWhenReady([&] { ++opened; });
    QTRY_COMPARE(opened, 1);
    actions.SetMovieState(orvane::MovieState::Failed);
    actions.RunWhenReady([&] { ++opened; });
    QTest::qWait(0);
    QCOMPARE(opened, 1);
}

QTEST_GUILESS_MAIN(ActionsTest)
#include "test_actions.moc"
