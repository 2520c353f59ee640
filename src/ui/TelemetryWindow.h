#pragma once
#include <QStringList>
#include <QWidget>

#include <array>

#include "telemetry/TelemetryView.h"
#include "ui/TelemetryLayout.h"

class QGroupBox;
class QListWidget;
class QPushButton;

namespace selvane {

// The telemetry window frmTlm: three sorted lists of decoded telemetry lines
// (side A, side B, panel currents) and the buttons "Hide" and "Load Tlm".
// It only shows what it is told and reports the user's clicks; the telemetry
// logic (modes, auto-hide timer, history loading) lives elsewhere.
//
// A top-level window without parent or owner, created hidden, with a title
// bar and a close button but neither minimise nor maximise button. Only its
// height can change: the width stays at 5050 twips (outer) and the height at
// 3000 twips or more (see TelemetryWindowMetrics for outer and client sizes).
//
// Closing it (the close button, Alt+F4, or close()) never destroys it: the
// close is refused, and a visible window hides itself and emits
// hideClicked(), exactly as for the "Hide" button. The program's own code therefore hides it with
// hide() (no signal) and destroys it by deleting it; close() would count as
// the user's Hide. The window never keeps the application running.
class TelemetryWindow : public QWidget {
    Q_OBJECT
public:
    TelemetryWindow();
    ~TelemetryWindow() override;

    // The window caption ("PCSAT Telemetry" at creation).
    void setTelemetryCaption(const QString& caption);
    QString telemetryCaption() const;

    // Empties lstA, lstB and lstM.
    void clearTelemetryLists();
    // Adds a line to lstA (A), lstB (B) or lstM (M); each list keeps its
    // lines in ascending text order (code point, case-sensitive).
    void addTelemetryLine(TelemetryList list, const QString& line);
    // The lines of one list, top to bottom.
    QStringList lines(TelemetryList list) const;

    // The outer height in twips (settings field 12). Setting it applies the
    // size and layout rules at once, shown or hidden: it is held within
    // 3000 .. TelemetryWindowMetrics::MaxOuterHeight(). The value set is kept
    // (fractions included) until the window's pixel height changes.
    double outerHeightTwips() const { return m_outerHeight; }
    void setOuterHeightTwips(double outerHeightTwips);

    // The window's top-left corner (frame included) in twips (settings
    // fields 13 and 14), converted to the nearest whole pixel.
    void setTopLeftTwips(int top, int left);
    int topTwips() const;
    int leftTwips() const;

    // The positions the controls have now, in twips.
    const TelemetryLayout& currentLayout() const { return m_layout; }

signals:
    // "Hide" clicked, or the window closed; the window has already hidden
    // itself.
    void hideClicked();
    // "Load Tlm" clicked: the receiver runs the file dialog and the loader.
    void loadRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QListWidget* list(TelemetryList which) const;
    QWidget* control(TelemetryControl c) const { return m_controls[std::size_t(c)]; }
    void placeControls();
    void applyOuterHeight(double outerHeightTwips);
    void hideByUser();

    QGroupBox* m_frmA;
    QListWidget* m_lstA;
    QGroupBox* m_frmB;
    QListWidget* m_lstB;
    QGroupBox* m_frmM;
    QListWidget* m_lstM;
    QPushButton* m_cmdHide;
    QPushButton* m_cmdLoadTlm;
    std::array<QWidget*, kTelemetryControlCount> m_controls{};

    double m_outerHeight = TelemetryWindowMetrics::DesignOuterHeight;
    TelemetryLayout m_layout = TelemetryLayout::Design();
};

} // namespace selvane
