#include "RackPicture.h"

#include <QFont>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>

namespace orvane {

namespace {

constexpr int kSlotsPerRow = 8;
// In the document's pixels; the printout shows the picture smaller where the page is narrower.
constexpr int kSlotWidth = 76;
constexpr int kSlotHeight = 44;
constexpr int kGap = 3;
constexpr int kCaption = 20;  // the rack's name, base and power supply above its slots
constexpr qreal kPinMark = 12;  // the sides of the corner that marks a pinned module

QString Shown(const std::string& text)
{
    return QString::fromStdString(SpreadsheetSafeText(text, TextOutlet::Shown));
}

}  // namespace

QImage DrawRackPicture(const BomRack& rack)
{
    const int slotCount = int(rack.slotCodes.size());
    const int columns = slotCount == 0 ? 4 : std::min(slotCount, kSlotsPerRow);
    const int rows = std::max(1, (slotCount + kSlotsPerRow - 1) / kSlotsPerRow);
    QImage image((columns * (kSlotWidth + kGap) + kGap) * kRackPictureScale,
                 (kCaption + rows * (kSlotHeight + kGap) + kGap) * kRackPictureScale, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(kRackPictureScale, kRackPictureScale);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(QColor(0x1E2630));
    // The caption is part of the picture, so a page break never parts it from its slots.
    const QString caption =
        QStringLiteral("%1　%2　%3").arg(Shown(rack.label), Shown(rack.base), Shown(rack.power));
    painter.drawText(QRect(kGap, 0, image.width(), kCaption), Qt::AlignVCenter | Qt::AlignLeft, caption);
    painter.translate(0, kCaption);
    if (slotCount == 0) {
        painter.drawText(QRect(kGap, 0, kSlotWidth * 4, kSlotHeight), Qt::AlignVCenter | Qt::AlignLeft,
                         QStringLiteral("（未选择基板）"));
        return image;
    }
    for (int slot = 0; slot < slotCount; ++slot) {
        const std::string& code = rack.slotCodes[std::size_t(slot)];
        const QRect box(kGap + (slot % kSlotsPerRow) * (kSlotWidth + kGap),
                        kGap + (slot / kSlotsPerRow) * (kSlotHeight + kGap), kSlotWidth, kSlotHeight);
        const bool free = code.empty();
        painter.setPen(QPen(free ? QColor(0xC9D1DC) : QColor(0x2F6DB5), 1));
        painter.setBrush(free ? QColor(Qt::white) : QColor(0xD6E5F7));
        painter.drawRect(box);
        painter.setPen(QColor(0x5C6773));
        font.setPixelSize(10);
        painter.setFont(font);
        painter.drawText(box.adjusted(0, 2, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                         QString::number(slot + 1));
        if (std::binary_search(rack.pinnedSlots.begin(), rack.pinnedSlots.end(), std::uint32_t(slot + 1))) {
            const QPointF corner = box.topRight() + QPointF(1, 0);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0x2F6DB5));
            painter.drawPolygon(
                QPolygonF{corner, corner - QPointF(kPinMark, 0), corner + QPointF(0, kPinMark)});
            painter.setPen(QColor(0x5C6773));
        }
        // A module wider than one slot goes on in the slots after its first ("<").
        const QString label = free          ? QStringLiteral("空")
                              : code == "<" ? QStringLiteral("〃")
                                            : Shown(code);
        font.setPixelSize(12);
        painter.setFont(font);
        painter.setPen(free ? QColor(0xB7BEC7) : QColor(0x1E2630));
        painter.drawText(box.adjusted(1, 14, -1, 0), Qt::AlignCenter | Qt::TextWrapAnywhere, label);
    }
    return image;
}

}  // namespace orvane
