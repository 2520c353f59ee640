#pragma once
#include <QLabel>

namespace selvane {

// A label for texts of any length (a status line, a notice): it wraps at
// word boundaries and asks its layout for the height of every line at the
// width it has, never less than `minLines` lines, so no part of the text is
// ever out of sight. The height follows the width after each resize; the
// layout never has to solve height-for-width for the whole window.
class WrappedLabel : public QLabel {
public:
    explicit WrappedLabel(int minLines, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return false; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int neededHeight(int width) const;

    int m_minLines;
    int m_lastNeeded = -1;
};

} // namespace selvane
