#pragma once
// Log categories of the Flash player: "orvane.flash" for the player itself,
// "orvane.flash.page" for the page's console (debug output, off by default;
// QT_LOGGING_RULES="orvane.flash.page.debug=true" shows it).

#include <QLoggingCategory>

namespace orvane {

Q_DECLARE_LOGGING_CATEGORY(lcFlash)
Q_DECLARE_LOGGING_CATEGORY(lcFlashPage)

}  // namespace orvane
