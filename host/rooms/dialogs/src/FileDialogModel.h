#pragma once
// The files a file dialog lists, as Qt's own model gives them, but for the
// picture before the first column's title. Qt's model makes a new transparent
// 16 x 1 picture every time the header asks for it (so that the title lines
// up with the names after their icons), and the header's painting keeps each
// new picture in Qt's pixmap cache under a key of its own: about 1.5 kB for
// every file dialog, kept until the cache is full. This model gives the header
// one picture, shared by every dialog that is handed the same one.

#include <QIdentityProxyModel>
#include <QPixmap>

namespace orvane {

class FileDialogModel : public QIdentityProxyModel {
public:
    // headerPicture: the picture shared; made from Qt's at the first request when null.
    explicit FileDialogModel(QPixmap& headerPicture) : m_headerPicture(headerPicture) {}

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QPixmap& m_headerPicture;
};

}  // namespace orvane
