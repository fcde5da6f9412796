#pragma once
// "第三方组件许可" (帮助 menu): the licences of the program and of the
// components it ships (the player, the font's glyphs in the movie, the Haxe
// library), as the package's copyright file states them.

#include <QDialog>

namespace orvane {

class ThirdPartyNoticesDialog : public QDialog {
    Q_OBJECT
public:
    explicit ThirdPartyNoticesDialog(QWidget* parent = nullptr);
};

}  // namespace orvane
