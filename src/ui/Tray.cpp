#include "ui/Tray.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace selvane {

// Drawn on a 64 x 64 grid scaled to the requested size.
void PaintSelvaneIcon(QPainter& p, qreal size)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    // Radio waves from the satellite down to the right-hand corner.
    QPen wave(QColor(255, 140, 0), 3.5, Qt::SolidLine, Qt::RoundCap);
    p.setPen(wave);
    p.setBrush(Qt::NoBrush);
    for (int r : {14, 22, 30})
        p.drawArc(QRectF(40 - r, 40 - r, 2 * r, 2 * r), -10 * 16, -70 * 16);

    // The satellite, turned by 45 degrees: two solar panels and the body.
    p.save();
    p.translate(24, 24);
    p.rotate(-45);
    const QColor panel(30, 70, 170);
    const QColor panelLine(150, 190, 255);
    p.setPen(QPen(QColor(10, 20, 60), 1.5));
    p.setBrush(panel);
    p.drawRect(QRectF(-27, -6, 17, 12));
    p.drawRect(QRectF(10, -6, 17, 12));
    p.setPen(QPen(panelLine, 1.0));
    for (qreal x : {-21.0, -15.5, 15.5, 21.0})
        p.drawLine(QPointF(x, -5), QPointF(x, 5));
    p.drawLine(QPointF(-26, 0), QPointF(-11, 0));
    p.drawLine(QPointF(11, 0), QPointF(26, 0));
    // Booms between panels and body.
    p.setPen(QPen(QColor(90, 90, 90), 2.0));
    p.drawLine(QPointF(-10, 0), QPointF(-7, 0));
    p.drawLine(QPointF(7, 0), QPointF(10, 0));
    // Body.
    QLinearGradient metal(-7, -7, 7, 7);
    metal.setColorAt(0, QColor(245, 245, 245));
    metal.setColorAt(1, QColor(150, 150, 160));
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(-7, -7, 14, 14), 2, 2);
    // Antenna mast with its tip, pointing at the waves.
    p.setPen(QPen(QColor(60, 60, 60), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, 7), QPointF(0, 15));
    p.setBrush(QColor(220, 30, 30));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(0, 16), 2.5, 2.5);
    p.restore();
    p.restore();
}

namespace {

QPixmap DrawIcon(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    PaintSelvaneIcon(p, size);
    p.end();
    return pm;
}

} // namespace

QIcon SelvaneIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(DrawIcon(size));
    return icon;
}

TrayIcon::TrayIcon(const QIcon& icon, QObject* parent)
    : QObject(parent), m_icon(new QSystemTrayIcon(icon, this))
{
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // The context-menu click opens the menu; every other
                // mouse-button event brings the window back.
                if (reason != QSystemTrayIcon::Context)
                    emit clicked();
            });
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::setAvailability(std::optional<bool> available)
{
    m_available = available;
}

bool TrayIcon::isAvailable() const
{
    return m_available.value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

bool TrayIcon::showInTray()
{
    if (!isAvailable())
        return false;
    m_icon->setToolTip(m_tip);
    m_icon->show();
    m_inTray = true;
    return true;
}

void TrayIcon::removeFromTray()
{
    m_icon->hide();
    m_inTray = false;
}

void TrayIcon::setContextMenu(QMenu* menu)
{
    m_icon->setContextMenu(menu);
}

void TrayIcon::setTip(const QString& text)
{
    m_tip = text;
    m_icon->setToolTip(text);
}

} // namespace selvane
