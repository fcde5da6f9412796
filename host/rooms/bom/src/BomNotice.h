#pragma once
// A short notice inside the window, above the movie, that goes by itself
// after a moment ("已复制物料清单"): the window has no status bar, and the
// movie is not asked for anything. Its one timer is single-shot, so nothing
// keeps running once the notice is gone.

#include <QString>
#include <QTimer>

class QLabel;
class QWidget;

namespace orvane {

class BomNotice {
public:
    static constexpr int kShownMs = 2500;

    explicit BomNotice(QWidget* owner);

    void Show(const QString& text);
    // The notice on screen, or nullptr while none has been shown (for tests).
    QLabel* Label() const { return m_label; }

private:
    QWidget* m_owner;
    QLabel* m_label = nullptr;  // made when first shown; the owner deletes it
    QTimer m_hide;
};

}  // namespace orvane
