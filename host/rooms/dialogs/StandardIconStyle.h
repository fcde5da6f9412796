#pragma once
// The application's style with each standard icon made once.
//
// Qt's styles make a new icon for every standard icon asked for, and Qt keeps
// the pixmaps it draws of an icon in its pixmap cache under keys of that
// icon's own: every file dialog (its tool buttons, its buttons, the icons of
// the files it lists) left about 20 kB of pixmaps in the cache that no later
// dialog would find, until the cache reached its limit (10 MB). Handing out
// the same icon each time lets every dialog find the pixmaps of the one before.

#include <QIcon>
#include <QProxyStyle>

#include <map>
#include <utility>

namespace orvane {

class StandardIconStyle : public QProxyStyle {
public:
    // Over the style of that name (QStyle::name(), as QStyleFactory knows it).
    explicit StandardIconStyle(const QString& baseStyle);

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

private:
    // By icon and whether the layout runs right to left (arrows turn with it).
    mutable std::map<std::pair<StandardPixmap, bool>, QIcon> m_icons;
};

// Makes the application's style a StandardIconStyle over the style it has.
void ShareStandardIcons();

}  // namespace orvane
