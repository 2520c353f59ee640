#pragma once
#include <QIcon>
#include <QObject>
#include <QString>

#include <optional>

class QMenu;
class QPainter;
class QSystemTrayIcon;

namespace selvane {

// The program's picture: a small satellite with its solar panels and an
// antenna sending radio waves down to the ground. Painted into the square
// (0, 0, size, size) of the painter's coordinates. This drawing is the only
// source of the icon: the windows and the tray use it at run time, and the
// build renders the installed SVG and PNG icons from it.
void PaintSelvaneIcon(QPainter& painter, qreal size);

// The program's icon, drawn at run time at the usual icon sizes.
QIcon SelvaneIcon();

// The icon that replaces the main window in the system tray while the window
// is minimised (cSysTraySelvane). It shows the program's icon and a tip; the
// context-menu click opens its menu, any other click asks for the window
// back.
//
// Whether a system tray exists can be decided by the caller (tests, desktops
// without a tray); by default the platform is asked at the moment the window
// is minimised, since a tray host may start after the program.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(const QIcon& icon, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Forces the answer of isAvailable(); std::nullopt asks the platform.
    void setAvailability(std::optional<bool> available);
    bool isAvailable() const;

    // intray: the icon is shown in the tray.
    bool isInTray() const { return m_inTray; }
    // Puts the icon into the tray. False (and nothing shown) without a tray.
    bool showInTray();
    void removeFromTray();

    // The menu of the context-menu click (owned by the caller).
    void setContextMenu(QMenu* menu);

    // traytip
    void setTip(const QString& text);
    QString tip() const { return m_tip; }

    // The platform icon, for the tests that click it.
    QSystemTrayIcon* systemTrayIcon() const { return m_icon; }

signals:
    // A mouse-button event on the icon other than the context-menu click.
    void clicked();

private:
    QSystemTrayIcon* m_icon;
    QString m_tip;
    std::optional<bool> m_available;
    bool m_inTray = false;
};

} // namespace selvane
