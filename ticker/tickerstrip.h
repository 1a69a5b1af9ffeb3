// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#pragma once

#include "model/tickerring.h"

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <array>

// The ticker strip: draws the seven slots of a ring at the ring's twip positions, each
// caption on its box and cut at the box's right edge, and reports clicks on captions.
// Each caption is drawn once into an image; the strip repaints only when a box lands on
// another whole pixel or a caption changes, and when the boxes only slide it slides the
// picture and draws the entering column.
class TickerStrip : public QWidget {
    Q_OBJECT
public:
    TickerStrip(const TickerRing& ring, QWidget* parent = nullptr);

    // A headline runs to about a hundred characters. A caption longer than
    // `MaxCaptionChars` is cut there and ends in an ellipsis: shaping megabytes of text
    // would stop the ticker, and such a caption would take days to scroll by.
    static constexpr qsizetype MaxCaptionChars = 1'000;
    void setCaption(int slot, const QString& caption);
    const QString& caption(int slot) const { return m_slots[slot].caption; }
    void setCaptionColor(int slot, const QColor& color);
    const QColor& captionColor(int slot) const { return m_slots[slot].color; }
    // Rendered width of a caption in twips: what its box is given as width.
    float captionWidth(int slot) const { return m_slots[slot].captionWidth; }

    // Call after the ring has moved or been rewritten.
    void followRing();

    // The slot whose caption lies under a point of the strip, or -1.
    int captionAt(QPoint position) const;

Q_SIGNALS:
    void captionClicked(int slot);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct SlotView {
        QString caption;
        QColor color;
        float captionWidth = 0.f;
        QPixmap image;
        int x = 0; // box left and width as last painted, in pixels
        int width = 0;
    };
    void renderCaption(SlotView& view);

    const TickerRing& m_ring;
    std::array<SlotView, TickerRing::SlotCount> m_slots;
    bool m_redrawWhole = false; // a caption or its colour changed since the last paint
    int m_pressedSlot = -1;
    bool m_handCursor = false;
};
