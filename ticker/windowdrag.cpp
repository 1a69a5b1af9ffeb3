// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "ticker/windowdrag.h"

#include <QWidget>
#include <QWindow>

void WindowDrag::grab(QPoint globalPosition) {
    m_grabOffset = globalPosition - m_window.pos();
    m_state = State::Grabbed;
}

void WindowDrag::follow(QPoint globalPosition) {
    if (m_state == State::Idle)
        return; // the press was not on the handle, or a drag has ended
    if (m_state == State::Grabbed) {
        QWindow* window = m_window.windowHandle();
        m_state = window && window->startSystemMove() ? State::SystemMove : State::ManualMove;
    }
    if (m_state == State::ManualMove)
        m_window.move(globalPosition - m_grabOffset);
}

void WindowDrag::release() {
    if (m_state != State::SystemMove)
        m_state = State::Idle;
}
