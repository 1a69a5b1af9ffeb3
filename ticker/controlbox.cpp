// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "ticker/controlbox.h"

#include "model/barlayout.h"
#include "widgets/style.h"

#include <QMouseEvent>
#include <QPainter>

ControlBox::ControlBox(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setToolTip(QStringLiteral("Premere il mouse per trascinare la finestra"));
}

void ControlBox::paintEvent(QPaintEvent*) {
    using BarLayout::toPixels;
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
    // The band starts at 1200 twips and runs past the box's right edge.
    const QRect band(toPixels(1200.f), 0, toPixels(105.f), toPixels(315.f));
    painter.fillRect(band, Style::Purple);
}

void ControlBox::mousePressEvent(QMouseEvent* event) {
    // A control may hand on a press it does not take (the check box outside its mark): the
    // press is still on the control, not on the handle.
    if (!childAt(event->position().toPoint()))
        Q_EMIT pressed(event->button(), event->globalPosition().toPoint());
}

void ControlBox::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT mouseMoved(event->buttons(), event->globalPosition().toPoint());
}

void ControlBox::mouseReleaseEvent(QMouseEvent*) { Q_EMIT released(); }
