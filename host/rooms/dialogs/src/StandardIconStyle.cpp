#include "dialogs/StandardIconStyle.h"

#include <QApplication>

namespace orvane {

StandardIconStyle::StandardIconStyle(const QString& baseStyle) : QProxyStyle(baseStyle) {}

QIcon StandardIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                      const QWidget* widget) const
{
    // An option may ask for a state or direction of its own: such icons are made as asked.
    if (option)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    const auto key = std::make_pair(standardIcon, QApplication::isRightToLeft());
    auto found = m_icons.find(key);
    if (found == m_icons.end())
        found = m_icons.emplace(key, QProxyStyle::standardIcon(standardIcon, nullptr, widget)).first;
    return found->second;
}

void ShareStandardIcons() { QApplication::setStyle(new StandardIconStyle(QApplication::style()->name())); }

}  // namespace orvane
