#pragma once
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace selvane {

// Where the two windows go on the screens. Pure geometry on frame
// rectangles (the window with its frame), in logical pixels; the windows
// apply the results.

// Whether the user can reach a window at this place: some of its title bar
// (the top 24 pixels of the frame, at least 48 pixels of its width) lies on
// one of the screens' available areas. A window left on a monitor that has
// since been removed is not reachable.
bool IsReachable(const QRect& frame, const QList<QRect>& screens);

// The frame moved as little as possible to lie within the area; a frame
// larger than the area keeps its top-left corner in it.
QPoint KeptWithin(const QRect& frame, const QRect& area);

// The top-left corner of a frame centred on the area.
QPoint CentredOn(const QSize& frame, const QRect& area);

struct PairPlace {
    QPoint main;
    QPoint telemetry;
};

// The first start, when neither window has a place of its own: the main
// window centred on the area, the telemetry window beside it, tops aligned,
// `gap` pixels apart. When the telemetry window does not fit to the right
// of the centred main window, the main window moves left just enough to
// make room; when the two do not fit side by side, the telemetry window
// goes below, the same way; when the area is too small for both, the main
// window stays centred and the telemetry window goes to the area's right
// edge, as far from the main window's controls as it can.
PairPlace PlacePair(const QSize& mainFrame, const QSize& telemetryFrame, const QRect& area, int gap);

// The telemetry window beside a main window that stays where it is: to the
// right, else to the left, else below, else above, whichever fits whole in
// the area first; when none does, on the side with the most room, kept
// within the area.
QPoint PlaceBeside(const QRect& mainFrame, const QSize& telemetryFrame, const QRect& area, int gap);

} // namespace selvane
