#include "ui/Placement.h"

#include <algorithm>

namespace selvane {

namespace {

constexpr int kTitleBarHeight = 24;
constexpr int kGrabWidth = 48;

// Offset that brings [start, start + length) within [low, low + room): none
// when it lies within already; a range longer than the room starts at low.
int Shift(int start, int length, int low, int room)
{
    if (length >= room)
        return low - start;
    if (start < low)
        return low - start;
    if (start + length > low + room)
        return low + room - (start + length);
    return 0;
}

bool Fits(const QRect& r, const QRect& area)
{
    return area.contains(r);
}

} // namespace

bool IsReachable(const QRect& frame, const QList<QRect>& screens)
{
    const QRect title(frame.left(), frame.top(), frame.width(), std::min(kTitleBarHeight, frame.height()));
    for (const QRect& screen : screens) {
        const QRect seen = title.intersected(screen);
        if (!seen.isEmpty() && seen.width() >= std::min(kGrabWidth, frame.width()))
            return true;
    }
    return false;
}

QPoint KeptWithin(const QRect& frame, const QRect& area)
{
    return frame.topLeft()
           + QPoint(Shift(frame.left(), frame.width(), area.left(), area.width()),
                    Shift(frame.top(), frame.height(), area.top(), area.height()));
}

QPoint CentredOn(const QSize& frame, const QRect& area)
{
    return QPoint(area.left() + (area.width() - frame.width()) / 2, area.top() + (area.height() - frame.height()) / 2);
}

PairPlace PlacePair(const QSize& main, const QSize& tlm, const QRect& area, int gap)
{
    const QPoint centred = KeptWithin(QRect(CentredOn(main, area), main), area);
    // Side by side: the main window as near the centre as the room allows.
    if (main.width() + gap + tlm.width() <= area.width() && std::max(main.height(), tlm.height()) <= area.height()) {
        const int x = std::min(centred.x(), area.left() + area.width() - (main.width() + gap + tlm.width()));
        const int y = std::min(centred.y(), area.top() + area.height() - tlm.height());
        return {QPoint(x, y), QPoint(x + main.width() + gap, y)};
    }
    // One above the other.
    if (main.height() + gap + tlm.height() <= area.height() && std::max(main.width(), tlm.width()) <= area.width()) {
        const int y = std::min(centred.y(), area.top() + area.height() - (main.height() + gap + tlm.height()));
        const int x = std::min(centred.x(), area.left() + area.width() - tlm.width());
        return {QPoint(x, y), QPoint(x, y + main.height() + gap)};
    }
    const QRect tlmFrame(area.left() + area.width() - tlm.width(), centred.y(), tlm.width(), tlm.height());
    return {centred, KeptWithin(tlmFrame, area)};
}

QPoint PlaceBeside(const QRect& main, const QSize& tlm, const QRect& area, int gap)
{
    const int endX = main.left() + main.width();
    const int endY = main.top() + main.height();
    struct Side {
        QRect frame;
        int room;
    };
    const Side sides[] = {
        {QRect(QPoint(endX + gap, main.top()), tlm), area.left() + area.width() - endX - gap},
        {QRect(QPoint(main.left() - gap - tlm.width(), main.top()), tlm), main.left() - gap - area.left()},
        {QRect(QPoint(main.left(), endY + gap), tlm), area.top() + area.height() - endY - gap},
        {QRect(QPoint(main.left(), main.top() - gap - tlm.height()), tlm), main.top() - gap - area.top()},
    };
    for (const Side& s : sides) {
        // Sliding along the side is fine; crossing the main window is not.
        const QRect slid(KeptWithin(s.frame, area), tlm);
        if (Fits(slid, area) && !slid.intersects(main))
            return slid.topLeft();
    }
    // Left and right rooms are widths, above and below heights: compared
    // as the share of the telemetry window each would show.
    const Side* best = &sides[0];
    double bestShare = -1;
    for (const Side& s : sides) {
        const bool horizontal = &s < &sides[2];
        const double share = double(s.room) / (horizontal ? tlm.width() : tlm.height());
        if (share > bestShare) {
            bestShare = share;
            best = &s;
        }
    }
    return KeptWithin(best->frame, area);
}

} // namespace selvane
