#include "ui/TelemetryWindow.h"

#include "ui/Tray.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>

namespace selvane {

namespace {

using M = TelemetryWindowMetrics;
using C = TelemetryControl;

QGroupBox* makeFrame(QWidget* parent, C name, const char* caption)
{
    auto* frame = new QGroupBox(QString::fromLatin1(caption), parent);
    frame->setObjectName(TelemetryControlName(name));
    return frame;
}

// A list that keeps its lines sorted as they are added.
QListWidget* makeList(QGroupBox* frame, C name, const char* tip)
{
    auto* list = new QListWidget(frame);
    list->setObjectName(TelemetryControlName(name));
    list->setToolTip(QString::fromLatin1(tip));
    list->setSortingEnabled(true);
    list->sortItems(Qt::AscendingOrder);
    return list;
}

QPushButton* makeButton(QWidget* parent, C name, const char* caption, const char* tip)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(TelemetryControlName(name));
    button->setToolTip(QString::fromLatin1(tip));
    button->setAutoDefault(false);
    return button;
}

} // namespace

TelemetryWindow::TelemetryWindow()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint
                           | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmTlm"));
    setWindowTitle(QStringLiteral("PCSAT Telemetry"));
    // The main window decides when the program ends; this one being open or
    // closed never does.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowIcon(SelvaneIcon());
    // The main window's small dialog font: a whole telemetry line fits the
    // fixed width.
    QFont f = font();
    f.setPointSize(8);
    f.setStretch(QFont::SemiCondensed);
    setFont(f);

    m_frmA = makeFrame(this, C::frmA, "Side A");
    m_lstA = makeList(m_frmA, C::lstA, "Lato A PCSAT. Formato: Gruppo - Ora - Dati.");
    m_frmB = makeFrame(this, C::frmB, "Side B");
    m_lstB = makeList(m_frmB, C::lstB, "Lato B PCSAT. Formato: Gruppo - Ora - Dati.");
    m_frmM = makeFrame(this, C::frmM, "Panels Current");
    m_lstM = makeList(m_frmM, C::lstM, "Corrente in mA fornita dai 6 pannelli solari del PCSAT.");
    m_cmdHide = makeButton(this, C::cmdHide, "Hide", "Nascondi finestra.");
    m_cmdLoadTlm = makeButton(this, C::cmdLoadTlm, "Load Tlm",
                              "Carica i dati storici di telemetria del PCSAT.");
    m_controls = {m_frmA, m_lstA, m_frmB, m_lstB, m_frmM, m_lstM, m_cmdHide, m_cmdLoadTlm};

    connect(m_cmdHide, &QPushButton::clicked, this, &TelemetryWindow::hideByUser);
    connect(m_cmdLoadTlm, &QPushButton::clicked, this, &TelemetryWindow::loadRequested);

    // Only the height can be dragged; resizeEvent() corrects window managers
    // that ignore these limits.
    setMinimumSize(M::ClientWidthPixels(), M::MinClientHeightPixels());
    setMaximumSize(M::ClientWidthPixels(), M::MaxClientHeightPixels);
    resize(M::ClientWidthPixels(), M::ClientPixelsFromOuterHeight(m_outerHeight));
    placeControls();
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
}

void TelemetryWindow::addTelemetryLine(TelemetryList which, const QString& line)
{
    if (QListWidget* l = list(which))
        l->addItem(line); // a sorted list inserts it at its place
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

void TelemetryWindow::setOuterHeightTwips(double outerHeightTwips)
{
    applyOuterHeight(outerHeightTwips);
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

void TelemetryWindow::placeControls()
{
    for (int i = 0; i < kTelemetryControlCount; ++i) {
        const auto c = TelemetryControl(i);
        control(c)->setGeometry(m_layout.pixels(c));
    }
}

// Holds the height within its limits, lays the controls out for it and gives
// the window the matching pixel size (width included). A hidden window gets
// its new size at once, without a resize event, so the layout is not left to
// resizeEvent().
void TelemetryWindow::applyOuterHeight(double outerHeightTwips)
{
    m_outerHeight = M::ClampOuterHeight(outerHeightTwips);
    m_layout = TelemetryLayout::ForOuterHeight(m_outerHeight);
    placeControls();
    const QSize wanted(M::ClientWidthPixels(), M::ClientPixelsFromOuterHeight(m_outerHeight));
    if (size() != wanted)
        resize(wanted);
}

void TelemetryWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // While the pixel height still is the one of the height set last, that
    // height (which may hold a fraction of a pixel) stays; a new pixel height
    // gives a new outer height.
    const int px = height();
    const double outer = px == M::ClientPixelsFromOuterHeight(m_outerHeight)
                             ? m_outerHeight
                             : M::OuterHeightFromClientPixels(px);
    applyOuterHeight(outer);
}

void TelemetryWindow::closeEvent(QCloseEvent* event)
{
    // Closing never destroys the window: it is the "Hide" button. A hidden
    // window has no button the user could have pressed.
    event->ignore();
    if (isVisible())
        hideByUser();
}

void TelemetryWindow::hideByUser()
{
    hide();
    emit hideClicked();
}

} // namespace selvane
