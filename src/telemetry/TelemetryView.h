#pragma once
#include <QString>

namespace selvane {

// The three lists of the telemetry window.
enum class TelemetryList {
    A, // lstA, "Side A": line groups 1-4
    B, // lstB, "Side B": line groups 5-8
    M  // lstM, "Panels Current": line groups 0 and 9
};

// What the telemetry logic shows: the telemetry window (caption, lists,
// visibility, the load error box), the main window's warning label and its
// optTlm option buttons. The windows implement it and only display what they
// are told.
class ITelemetryView {
public:
    virtual ~ITelemetryView() = default;

    // Telemetry window caption.
    virtual void setTelemetryCaption(const QString& caption) = 0;
    // Empties lstA, lstB and lstM.
    virtual void clearTelemetryLists() = 0;
    // Adds a line; each list keeps its lines in ascending text order (by code
    // point, case-sensitive) on its own.
    virtual void addTelemetryLine(TelemetryList list, const QString& line) = 0;

    virtual bool telemetryWindowVisible() const = 0;
    // Shows the window modeless, without an owner; no effect when visible.
    virtual void showTelemetryWindow() = 0;
    // Hides (never destroys) the window; no effect when hidden.
    virtual void hideTelemetryWindow() = 0;

    // lblWarning on the main window.
    virtual void setWarning(const QString& text) = 0;
    virtual void setWarningVisible(bool visible) = 0;

    // Marks optTlm button `mode` (0 "Show Tlm", 1 "Hide", 2 "Auto") as the
    // selected one. Display only: it must not apply the mode again (react to
    // the user's clicks, e.g. QButtonGroup::idClicked, not to toggled()).
    virtual void setSelectedTelemetryWindowMode(int mode) = 0;

    // A history file that cannot be loaded: modal message box with the text
    // "<path> is NOT a TLM file", the title "Load Error" and one OK button.
    virtual void showLoadError(const QString& path) = 0;
};

// tmrTlm: the one-minute auto-hide timer of the telemetry window. Its owner
// calls TelemetryWindowModes::tick() at every period.
class ITelemetryTimer {
public:
    virtual ~ITelemetryTimer() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
};

} // namespace selvane
