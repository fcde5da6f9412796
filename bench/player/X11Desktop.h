#pragma once
// What the idle benchmark does to a program's window on an X display, as a
// user and a window manager would: find it, minimise and restore it, cover it
// with another window, click and type into it (XTest), and watch its pixels.

#include <QByteArray>
#include <QPoint>
#include <QRect>

#include <memory>
#include <optional>

class X11Desktop {
public:
    // The display of $DISPLAY; empty when there is none.
    [[nodiscard]] static std::unique_ptr<X11Desktop> Open();
    ~X11Desktop();

    // The managed top-level window of process pid, once the window manager lists it.
    [[nodiscard]] std::optional<unsigned> WindowOf(qint64 pid) const;
    // The window's inner area (below the frame) on the screen.
    [[nodiscard]] QRect ClientArea(unsigned window) const;

    void Minimise(unsigned window);
    void Restore(unsigned window);
    // A plain window over the whole screen, or none (false).
    void Cover(bool cover);

    void Click(QPoint onScreen);
    // A key press and release; keysym as X names it ('5' for the digit, 0xFF08 BackSpace).
    void Key(unsigned keysym);
    // The screen's pixels in area, for comparing.
    [[nodiscard]] QByteArray Pixels(QRect area) const;

private:
    struct Connection;
    explicit X11Desktop(std::unique_ptr<Connection> connection);
    std::unique_ptr<Connection> m_connection;
};
