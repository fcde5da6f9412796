// The keyboard room: after a menu opened with Alt and closed with Escape, the
// keyboard is back where it was, not with the menu bar.
#include "keyboard/KeyboardReturn.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>

class KeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void theKeyboardComesBackAfterAMenu();
};

void KeyboardTest::theKeyboardComesBackAfterAMenu()
{
    QMainWindow window;
    auto* movie = new QLineEdit(&window);
    window.setCentralWidget(movie);
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->addAction(QStringLiteral("新建"));
    orvane::KeyboardReturn keyboard({&window, movie});
    keyboard.Watch(file);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    movie->setFocus();

    QTest::keyClick(movie, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    window.activateWindow();  // as the window manager does once the menu has gone
    QTRY_COMPARE(window.focusWidget(), movie);
}

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
