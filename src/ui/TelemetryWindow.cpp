#include "ui/TelemetryWindow.h"

#include "ui/TelemetryPlots.h"
#include "ui/Tray.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace selvane {

namespace {

using M = TelemetryWindowMetrics;

// The longest line the decoder writes (temperatures of side A at their
// widest): the lists start wide enough to show it whole.
const QString kWidestLine = QStringLiteral("1 23:59 Temp Batt=-40.0C Tx=-40.0C +Y=-40.0C +Z=-40.0C");

// A frame holding a list that keeps its lines sorted as they are added.
// A line longer than the list scrolls sideways.
QListWidget* AddList(QVBoxLayout* column, const char* frameName, const QString& caption, const char* listName,
                     const QString& tip, int stretch)
{
    auto* frame = new QGroupBox(caption);
    frame->setObjectName(QLatin1String(frameName));
    auto* list = new QListWidget(frame);
    list->setObjectName(QLatin1String(listName));
    list->setToolTip(tip);
    list->setSortingEnabled(true);
    list->sortItems(Qt::AscendingOrder);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setTextElideMode(Qt::ElideNone);
    list->setUniformItemSizes(true);
    const int scrollBar = list->verticalScrollBar()->sizeHint().width();
    list->setMinimumWidth(list->fontMetrics().horizontalAdvance(kWidestLine) + scrollBar + 2 * list->frameWidth() + 8);
    list->setMinimumHeight(2 * list->fontMetrics().lineSpacing() + list->horizontalScrollBar()->sizeHint().height()
                           + 2 * list->frameWidth() + 4);
    auto* inside = new QVBoxLayout(frame);
    inside->addWidget(list);
    column->addWidget(frame, stretch);
    return list;
}

QPushButton* MakeButton(const char* name, const QString& caption, const QString& tip)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TelemetryWindow::TelemetryWindow()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint
                           | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmTlm"));
    setWindowTitle(tr("PCSAT Telemetry"));
    // The main window decides when the program ends; this one being open or
    // closed never does.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowIcon(SelvaneIcon());

    // The lists: side A and side B four rows of the design each, the panel
    // currents three.
    auto* listsPage = new QWidget;
    listsPage->setObjectName(QStringLiteral("tabLists"));
    auto* column = new QVBoxLayout(listsPage);
    column->setContentsMargins(4, 4, 4, 4);
    m_lstA = AddList(column, "frmA", tr("Side A"), "lstA", tr("Lato A PCSAT. Formato: Gruppo - Ora - Dati."), 4);
    m_lstB = AddList(column, "frmB", tr("Side B"), "lstB", tr("Lato B PCSAT. Formato: Gruppo - Ora - Dati."), 4);
    m_lstM = AddList(column, "frmM", tr("Panels Current"), "lstM",
                     tr("Corrente in mA fornita dai 6 pannelli solari del PCSAT."), 3);

    m_plots = new TelemetryPlots;
    m_views = new QTabWidget(this);
    m_views->setObjectName(QStringLiteral("views"));
    m_views->setDocumentMode(true);
    m_views->addTab(listsPage, tr("Liste"));
    m_views->addTab(m_plots, tr("Grafici"));

    m_cmdHide = MakeButton("cmdHide", tr("Hide"), tr("Nascondi finestra."));
    m_cmdLoadTlm = MakeButton("cmdLoadTlm", tr("Load Tlm"), tr("Carica i dati storici di telemetria del PCSAT."));
    connect(m_cmdHide, &QPushButton::clicked, this, &TelemetryWindow::hideByUser);
    connect(m_cmdLoadTlm, &QPushButton::clicked, this, &TelemetryWindow::loadRequested);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdHide);
    buttons->addWidget(m_cmdLoadTlm);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(4, 4, 4, 6);
    root->addWidget(m_views, 1);
    root->addLayout(buttons);

    layout()->activate();
    resize(M::DesignClientPixels().expandedTo(minimumSize()));
    setOuterHeightTwips(m_outerHeight);
}

TelemetryWindow::~TelemetryWindow() = default;

void TelemetryWindow::setTelemetryCaption(const QString& caption)
{
    setWindowTitle(caption);
}

QString TelemetryWindow::telemetryCaption() const
{
    return windowTitle();
}

QListWidget* TelemetryWindow::list(TelemetryList which) const
{
    switch (which) {
    case TelemetryList::A:
        return m_lstA;
    case TelemetryList::B:
        return m_lstB;
    case TelemetryList::M:
        return m_lstM;
    }
    return nullptr;
}

void TelemetryWindow::clearTelemetryLists()
{
    m_lstA->clear();
    m_lstB->clear();
    m_lstM->clear();
    m_plots->clear();
}

void TelemetryWindow::addTelemetryLine(TelemetryList which, const QString& line)
{
    QListWidget* l = list(which);
    if (!l)
        return;
    l->addItem(line); // a sorted list inserts it at its place
    m_plots->addLine(line);
}

QStringList TelemetryWindow::lines(TelemetryList which) const
{
    QStringList out;
    if (const QListWidget* l = list(which)) {
        out.reserve(l->count());
        for (int i = 0; i < l->count(); ++i)
            out << l->item(i)->text();
    }
    return out;
}

void TelemetryWindow::markSafeMode(const QTime& time)
{
    m_plots->markSafeMode(time);
}

void TelemetryWindow::showPlots(bool plots)
{
    m_views->setCurrentWidget(plots ? static_cast<QWidget*>(m_plots) : m_views->widget(0));
}

void TelemetryWindow::setOuterHeightTwips(double outerHeightTwips)
{
    m_outerHeight = M::ClampOuterHeight(outerHeightTwips);
    layout()->activate();
    int px = M::ClientPixelsFromOuterHeight(m_outerHeight);
    if (px < minimumHeight()) {
        px = minimumHeight();
        m_outerHeight = M::OuterHeightFromClientPixels(px);
    }
    // A hidden window takes its new size at once, without a resize event.
    if (height() != px)
        resize(width(), px);
}

void TelemetryWindow::setTopLeftTwips(int top, int left)
{
    move(TwipsToPixels(left), TwipsToPixels(top));
}

int TelemetryWindow::topTwips() const
{
    return PixelsToTwips(pos().y());
}

int TelemetryWindow::leftTwips() const
{
    return PixelsToTwips(pos().x());
}

void TelemetryWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // While the pixel height still is the one of the height set last, that
    // height (which may hold a fraction of a pixel) stays; a new pixel height
    // gives a new outer height.
    if (height() != M::ClientPixelsFromOuterHeight(m_outerHeight))
        m_outerHeight = M::OuterHeightFromClientPixels(height());
}

void TelemetryWindow::closeEvent(QCloseEvent* event)
{
    // Closing never destroys the window: it is the "Hide" button. A hidden
    // window has no button the user could have pressed.
    event->ignore();
    if (isVisible())
        hideByUser();
}

void TelemetryWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        emit shownChanged(true);
}

void TelemetryWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        emit shownChanged(false);
}

void TelemetryWindow::hideByUser()
{
    hide();
    emit hideClicked();
}

} // namespace selvane
