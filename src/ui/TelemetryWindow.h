#pragma once
#include <QStringList>
#include <QTime>
#include <QWidget>

#include "telemetry/TelemetryView.h"
#include "ui/Twips.h"

class QGroupBox;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace selvane {

class TelemetryPlots;

// The telemetry window frmTlm: the decoded telemetry lines of the day shown
// in three sorted lists (side A, side B, panel currents), the same values
// as plots in the "Grafici" view, and the buttons "Hide" and "Load Tlm"
// under both views. It only shows what it is told and reports the user's
// clicks; the telemetry logic (modes, auto-hide timer, history loading)
// lives elsewhere.
//
// A top-level window without parent or owner, created hidden, with a title
// bar and a close button but neither minimise nor maximise button. Qt
// layouts size it from its texts: it starts at its design width (5050
// twips outer) or at the width that shows a whole telemetry line when that
// is more, and at the stored height, raised to what its texts need; it can
// be resized both ways, the lists and plots taking the room.
//
// Closing it (the close button, Alt+F4, or close()) never destroys it: the
// close is refused, and a visible window hides itself and emits
// hideClicked(), exactly as for the "Hide" button. The program's own code
// therefore hides it with hide() (no signal) and destroys it by deleting it;
// close() would count as the user's Hide. The window never keeps the
// application running.
class TelemetryWindow : public QWidget {
    Q_OBJECT
public:
    TelemetryWindow();
    ~TelemetryWindow() override;

    // The window caption ("PCSAT Telemetry" at creation).
    void setTelemetryCaption(const QString& caption);
    QString telemetryCaption() const;

    // Empties lstA, lstB, lstM and the plots.
    void clearTelemetryLists();
    // Adds a line to lstA (A), lstB (B) or lstM (M), and its values to the
    // plots; each list keeps its lines in ascending text order (code point,
    // case-sensitive).
    void addTelemetryLine(TelemetryList list, const QString& line);
    // The lines of one list, top to bottom.
    QStringList lines(TelemetryList list) const;
    // PCSAT reported safe mode at this time (a live warning): marked on the
    // plots.
    void markSafeMode(const QTime& time);
    TelemetryPlots& plots() const { return *m_plots; }
    // Brings the "Grafici" view (true) or the lists (false) to the front.
    void showPlots(bool plots);

    // The outer height in twips (settings field 12). Setting it applies at
    // once, shown or hidden: it is held within the limits of
    // TelemetryWindowMetrics, then raised to what the window's texts need.
    // The value set is kept (fractions included) until the window's pixel
    // height changes.
    double outerHeightTwips() const { return m_outerHeight; }
    void setOuterHeightTwips(double outerHeightTwips);

    // The window's top-left corner (frame included) in twips (settings
    // fields 13 and 14), converted to the nearest whole pixel.
    void setTopLeftTwips(int top, int left);
    int topTwips() const;
    int leftTwips() const;

signals:
    // "Hide" clicked, or the window closed; the window has already hidden
    // itself.
    void hideClicked();
    // "Load Tlm" clicked: the receiver runs the file dialog and the loader.
    void loadRequested();
    // The window appeared or went away, whoever asked.
    void shownChanged(bool shown);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QListWidget* list(TelemetryList which) const;
    void hideByUser();

    QTabWidget* m_views;
    QListWidget* m_lstA;
    QListWidget* m_lstB;
    QListWidget* m_lstM;
    TelemetryPlots* m_plots;
    QPushButton* m_cmdHide;
    QPushButton* m_cmdLoadTlm;

    double m_outerHeight = TelemetryWindowMetrics::DesignOuterHeight;
};

} // namespace selvane
