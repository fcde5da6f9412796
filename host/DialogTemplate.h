#pragma once
// Dialog templates (the about box, the Flash Player notice): coordinates in
// dialog units of the 9-point "SimSun" dialog font, 1.5 pixels each way at
// 96 dpi, and the static text control they place.

#include <QDialog>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace orvane {

inline QRect DialogUnitRect(int x, int y, int width, int height)
{
    const auto pixels = [](int units) { return units * 3 / 2; };
    return QRect(pixels(x), pixels(y), pixels(width), pixels(height));
}

// A static text control with the template's id ("control<id>"): plain text,
// from the top left, its words wrapped within rect.
QLabel* StaticText(QWidget* parent, int id, const QString& text, const QRect& rect);

// A dialog of a template: OnInitDialog runs once, when it is first shown.
class TemplateDialog : public QDialog {
public:
    using QDialog::QDialog;

protected:
    virtual void OnInitDialog() = 0;
    void showEvent(QShowEvent* event) override;

private:
    bool m_initialised = false;
};

}  // namespace orvane
