// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "ticker/tickerstrip.h"

#include "common/pagetext.h"
#include "model/barlayout.h"
#include "widgets/style.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <optional>
#include <utility>

using BarLayout::toPixels;

namespace {
// Boxes are 315 twips high in a strip of 375, but the bar shows only the top 250: drawing
// them down to the strip's edge changes nothing visible and keeps every paint one pass.
constexpr int ImageHeightPx = 25;
// The system's caption-text colour, white in the classic scheme; Qt's palette has no such role.
const QColor StripColor = Qt::white;
const QColor BoxColor = Qt::white;
constexpr std::array<QColor, TickerRing::SlotCount> InitialColors = {
    QColor(0, 0, 128),   QColor(128, 0, 128), QColor(64, 64, 64), QColor(0, 0, 128),
    QColor(0, 128, 128), QColor(255, 0, 0),   QColor(0, 0, 255)};
} // namespace

TickerStrip::TickerStrip(const TickerRing& ring, QWidget* parent) : QWidget(parent), m_ring(ring) {
    setFont(Style::boldFont(9.75));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setAccessibleName(QStringLiteral("Ultime notizie"));
    for (int i = 0; i < TickerRing::SlotCount; ++i) {
        m_slots[i].caption = QStringLiteral(".");
        m_slots[i].color = InitialColors[i];
        renderCaption(m_slots[i]);
    }
}

void TickerStrip::setCaption(int slot, const QString& caption) {
    m_slots[slot].caption = PageText::shortened(caption, MaxCaptionChars);
    renderCaption(m_slots[slot]);
    update();
    m_redrawWhole = true;
    // A screen reader reads the captions in ring order.
    QStringList captions;
    for (const SlotView& view : m_slots)
        captions.append(view.caption.trimmed());
    setAccessibleDescription(captions.join(QStringLiteral(" | ")));
}

void TickerStrip::setCaptionColor(int slot, const QColor& color) {
    m_slots[slot].color = color;
    renderCaption(m_slots[slot]);
    update();
    m_redrawWhole = true;
}

void TickerStrip::renderCaption(SlotView& view) {
    const QFontMetrics metrics(font());
    const int width = metrics.horizontalAdvance(view.caption);
    view.captionWidth = BarLayout::toTwips(width);
    const qreal ratio = devicePixelRatioF();
    QPixmap image(QSize(std::max(width, 1), ImageHeightPx) * ratio);
    image.setDevicePixelRatio(ratio);
    image.fill(BoxColor);
    QPainter painter(&image);
    painter.setFont(font());
    painter.setPen(view.color);
    painter.drawText(QPoint(0, metrics.ascent()), view.caption);
    view.image = image;
}

void TickerStrip::followRing() {
    // A box moves 10 twips a tick, two thirds of a pixel, and every box that can be seen
    // moves by the same whole pixels: the picture then only slides, and sliding what is
    // on screen leaves just the column that enters at the right edge to draw and send.
    // Anything else (a caption, a colour or a width changed, boxes not moving alike) is
    // drawn whole. Either way it happens at once, inside the tick.
    bool moved = false;
    bool slides = !m_redrawWhole;
    std::optional<int> shift;
    for (int i = 0; i < TickerRing::SlotCount; ++i) {
        SlotView& view = m_slots[i];
        const int x = toPixels(m_ring.box(i).left);
        const int width = toPixels(m_ring.box(i).width);
        moved = moved || x != view.x || width != view.width;
        const bool seen = (view.x < this->width() && view.x + view.width > 0) || (x < this->width() && x + width > 0);
        if (seen) {
            slides = slides && width == view.width && (!shift || *shift == x - view.x);
            shift = x - view.x;
        }
        view.x = x;
        view.width = width;
    }
    if (m_redrawWhole) {
        m_redrawWhole = false;
        repaint();
    } else if (moved && slides && shift) {
        // Only what is not under a window part in front of the strip (the purple strip at
        // its left end) can slide on screen.
        scroll(*shift, 0, visibleRegion().boundingRect());
    } else if (moved) {
        repaint();
    }
}

int TickerStrip::captionAt(QPoint position) const {
    // The bar shows only the strip's top: below it, or beyond the purple band, is not the strip.
    if (!visibleRegion().contains(position))
        return -1;
    const float x = BarLayout::toTwips(position.x()) + BarLayout::TwipsPerPixel / 2;
    const int slot = m_ring.slotAt(x);
    if (slot < 0 || x >= m_ring.box(slot).left + m_slots[slot].captionWidth)
        return -1;
    return slot;
}

void TickerStrip::paintEvent(QPaintEvent* event) {
    // Called about thirty times a second: every pixel is written once, by a plain copy
    // of a caption's image where there is one, by a fill elsewhere.
    QPainter painter(this);
    const QRect dirty = event->rect();
    const qreal ratio = devicePixelRatioF();
    std::array<std::pair<int, int>, TickerRing::SlotCount> covered{}; // [left, right) in the strip
    std::size_t spans = 0;
    for (const SlotView& view : m_slots) {
        const QRect box = QRect(view.x, dirty.top(), view.width, dirty.height()) & dirty;
        if (box.isEmpty())
            continue;
        // Kept in order of their left edges, for the gaps below.
        std::size_t at = spans++;
        for (; at > 0 && covered[at - 1].first > box.left(); --at)
            covered[at] = covered[at - 1];
        covered[at] = {box.left(), box.right() + 1};
        const int imageWidth = static_cast<int>(view.image.width() / ratio);
        const QRect shown = box & QRect(view.x, dirty.top(), imageWidth, dirty.height());
        if (!shown.isEmpty()) {
            const QRectF source((shown.x() - view.x) * ratio, shown.y() * ratio, shown.width() * ratio,
                                shown.height() * ratio);
            painter.drawPixmap(QRectF(shown), view.image, source);
        }
        if (shown.isEmpty() || shown.right() < box.right())
            painter.fillRect(box.adjusted(shown.isEmpty() ? 0 : shown.right() + 1 - box.left(), 0, 0, 0), BoxColor);
    }
    // The strip shows through where no box stands.
    int x = dirty.left();
    for (std::size_t i = 0; i < spans; ++i) {
        if (covered[i].first > x)
            painter.fillRect(QRect(x, dirty.top(), covered[i].first - x, dirty.height()), StripColor);
        x = std::max(x, covered[i].second);
    }
    if (x <= dirty.right())
        painter.fillRect(QRect(x, dirty.top(), dirty.right() + 1 - x, dirty.height()), StripColor);
}

void TickerStrip::mouseMoveEvent(QMouseEvent* event) {
    const bool overCaption = captionAt(event->position().toPoint()) >= 0;
    if (overCaption != m_handCursor) {
        m_handCursor = overCaption;
        setCursor(overCaption ? Qt::PointingHandCursor : Qt::ArrowCursor);
    }
}

void TickerStrip::mousePressEvent(QMouseEvent* event) {
    m_pressedSlot = event->button() == Qt::LeftButton ? captionAt(event->position().toPoint()) : -1;
}

void TickerStrip::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and a release on the same caption, which may have moved in between.
    if (event->button() != Qt::LeftButton)
        return;
    const int pressed = std::exchange(m_pressedSlot, -1);
    if (pressed >= 0 && captionAt(event->position().toPoint()) == pressed)
        Q_EMIT captionClicked(pressed);
}
