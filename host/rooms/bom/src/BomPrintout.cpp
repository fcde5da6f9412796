#include "BomPrintout.h"

#include "RackPicture.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QScreen>
#include <QString>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace orvane {

namespace {

QString Escaped(const std::string& text)
{
    return QString::fromStdString(SpreadsheetSafeText(text, TextOutlet::Shown)).toHtmlEscaped();
}

// The width of the printed text in the document's pixels (the screen's, in
// which QTextDocument lays out): the printer's page less the 2 cm that
// QTextDocument::print keeps free on either side.
qreal TextWidth(const QPrinter& printer)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal documentDpi = screen ? screen->logicalDotsPerInchX() : 96;
    return printer.width() * documentDpi / printer.logicalDpiX() - 2 * std::ceil(2 / 2.54 * documentDpi);
}

// Texts read from the left, figures from the right with thousands
// separators. The header row is printed again on every page the table goes on to.
QString TableHtml(const std::vector<std::string>& columns, const std::vector<BomRow>& rows)
{
    QString html =
        QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><thead><tr>");
    for (const std::string& column : columns)
        html += QStringLiteral("<th>%1</th>").arg(Escaped(column));
    html += QStringLiteral("</tr></thead>");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        html += QStringLiteral("<tr>");
        for (const BomCell& cell : rows[r]) {
            const bool figure = cell.kind != BomCell::Kind::Text;
            html += QStringLiteral("<td align=\"%1\">%2</td>")
                        .arg(figure ? QStringLiteral("right") : QStringLiteral("left"),
                             Escaped(ShownText(cell)));
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString PairHtml(const std::string& label, const BomCell& cell)
{
    return QStringLiteral("%1：%2<br>").arg(Escaped(label), Escaped(ShownText(cell)));
}

// Each rack's picture, added to the document: as large as it was drawn or,
// where the text is narrower than the widest picture, all smaller alike.
QString RackPicturesHtml(QTextDocument& document, const std::vector<BomRack>& racks, qreal textWidth)
{
    std::vector<QImage> pictures;
    int widest = 0;
    for (const BomRack& rack : racks) {
        pictures.push_back(DrawRackPicture(rack));
        widest = std::max(widest, pictures.back().width());
    }
    const qreal scale = std::max<qreal>(kRackPictureScale, widest / textWidth);
    QString html;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const QUrl name(QStringLiteral("rack:%1").arg(i));
        document.addResource(QTextDocument::ImageResource, name, pictures[i]);
        html += QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
                    .arg(name.toString())
                    .arg(pictures[i].width() / scale)
                    .arg(pictures[i].height() / scale);
    }
    return html;
}

}  // namespace

bool PrintBillOfMaterials(QPrinter& printer, const BomReport& report, const QString& title,
                          const QString& fileName)
{
    QTextDocument document;
    QString heading;
    for (const auto& [label, cell] : report.heading)
        heading += PairHtml(label, cell);
    QString html = QStringLiteral("<h2>%1</h2><p>物料清单　文件：%2<br>%3</p>")
                       .arg(title.toHtmlEscaped(), Escaped(fileName.toStdString()), heading);
    html += TableHtml(report.orderLines.columns, report.orderLines.rows);
    html += QStringLiteral("<h3>工程数据</h3>");
    html += TableHtml(report.engineering.columns, report.engineering.rows);
    QString notes;
    for (const auto& [label, cell] : report.limits)
        notes += PairHtml(label, cell);
    for (const std::string& warning : report.warnings)
        notes += PairHtml("注意", BomCell{warning});
    html += QStringLiteral("<p>%1</p><h3>基板槽位</h3>").arg(notes);
    html += RackPicturesHtml(document, report.racks, TextWidth(printer));
    if (std::any_of(report.racks.begin(), report.racks.end(),
                    [](const BomRack& rack) { return !rack.pinnedSlots.empty(); }))
        html += QStringLiteral("<p>%1</p>").arg(QString::fromUtf8(kPinnedMarkLegend));
    document.setHtml(html);
    // Printed unpaginated, the document is laid out on the printer's pages and each page numbered.
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

}  // namespace orvane
