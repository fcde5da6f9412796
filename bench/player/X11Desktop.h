#pragma once
// What the player benchmarks do to a program's windows on an X display, as a
// user and a window manager would: find them, minimise and restore them, cover
// them with another window, click and type into them (XTest), and watch their
// pixels.

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class X11Desktop {
public:
    // The display of $DISPLAY; empty when there is none.
    [[nodiscard]] static std::unique_ptr<X11Desktop> Open();
    ~X11Desktop();

    // The managed top-level window of process pid, once the window manager lists it.
    [[nodiscard]] std::optional<unsigned> WindowOf(qint64 pid) const;
    // All of them, in the order they were mapped (the main window first).
    [[nodiscard]] std::vector<unsigned> WindowsOf(qint64 pid) const;
    // The window that has the keyboard, as the window manager says.
    [[nodiscard]] std::optional<unsigned> ActiveWindow() const;
    [[nodiscard]] QString Title(unsigned window) const;
    // The window's inner area (below the frame) on the screen.
    [[nodiscard]] QRect ClientArea(unsigned window) const;

    void Minimise(unsigned window);
    void Restore(unsigned window);
    // A plain window over the whole screen, or none (false).
    void Cover(bool cover);

    void Click(QPoint onScreen);
    // A key press and release; keysym as X names it ('5' for the digit, 0xFF08 BackSpace),
    // with a modifier's key (0xFFE3 Control_L) held down when one is given.
    void Key(unsigned keysym, unsigned modifierKeysym = 0);
    // Latin-1 text typed key by key, Shift held for the characters that need it.
    void Type(const QString& text);
    // The screen's pixels in area, for comparing.
    [[nodiscard]] QByteArray Pixels(QRect area) const;

private:
    struct Connection;
    explicit X11Desktop(std::unique_ptr<Connection> connection);
    std::unique_ptr<Connection> m_connection;
};
