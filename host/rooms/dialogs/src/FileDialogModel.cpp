#include "FileDialogModel.h"

namespace orvane {

QVariant FileDialogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const QVariant value = QIdentityProxyModel::headerData(section, orientation, role);
    if (section != 0 || role != Qt::DecorationRole || !value.canConvert<QPixmap>())
        return value;
    if (m_headerPicture.isNull())
        m_headerPicture = value.value<QPixmap>();
    return m_headerPicture;
}

}  // namespace orvane
