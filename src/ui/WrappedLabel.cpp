#include "ui/WrappedLabel.h"

#include <QResizeEvent>

#include <algorithm>

namespace selvane {

WrappedLabel::WrappedLabel(int minLines, QWidget* parent) : QLabel(parent), m_minLines(minLines)
{
    setWordWrap(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
}

int WrappedLabel::neededHeight(int width) const
{
    const int around = 2 * (frameWidth() + margin());
    const int lines = m_minLines * fontMetrics().lineSpacing() + around;
    // QLabel's own height-for-width, which counts frame and margins too.
    return std::max(lines, QLabel::heightForWidth(std::max(1, width)));
}

QSize WrappedLabel::minimumSizeHint() const
{
    // Narrow enough for any layout: the text wraps instead.
    const int around = 2 * (frameWidth() + margin());
    return QSize(std::max(minimumWidth(), 8 * fontMetrics().averageCharWidth() + around), neededHeight(width()));
}

QSize WrappedLabel::sizeHint() const
{
    return QSize(std::max(minimumSizeHint().width(), QLabel::sizeHint().width()), neededHeight(width()));
}

void WrappedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    const int needed = neededHeight(width());
    if (needed != m_lastNeeded) {
        m_lastNeeded = needed;
        updateGeometry();
    }
}

} // namespace selvane
