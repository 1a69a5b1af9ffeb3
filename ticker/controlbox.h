// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include <QWidget>

// The control box at the bar's right end: the buttons sit on it, and its free area
// (the purple band included) is the handle by which the bar is dragged. Mouse moves are
// reported with or without a button down.
class ControlBox : public QWidget {
    Q_OBJECT
public:
    explicit ControlBox(QWidget* parent = nullptr);

Q_SIGNALS:
    void pressed(Qt::MouseButton button, QPoint globalPosition);
    void mouseMoved(Qt::MouseButtons buttons, QPoint globalPosition);
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
