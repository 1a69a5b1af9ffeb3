// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QPoint>

class QWidget;

// Drags a frameless window with the mouse. The window system runs the move where it
// can; where it cannot (X11 without a window manager), the window follows the mouse
// itself, keeping the point that was grabbed under the pointer. A move run by the window
// system takes the mouse away from the window: the window may see a release when the move
// starts and nothing when it ends, so such a drag counts as active until the next press or
// the next move of the mouse without a button.
class WindowDrag {
public:
    explicit WindowDrag(QWidget& window) : m_window(window) {}

    void grab(QPoint globalPosition);
    // A move with the left button alone down: after grab(), starts or continues the drag.
    void follow(QPoint globalPosition);
    // The left button went up over the window.
    void release();
    // The mouse moved over the window without the left button alone.
    void end() { m_state = State::Idle; }
    bool active() const { return m_state != State::Idle; }

private:
    enum class State { Idle, Grabbed, SystemMove, ManualMove };
    QWidget& m_window;
    QPoint m_grabOffset;
    State m_state = State::Idle;
};
