#include "BomPrintout.h"

#include "RackPicture.h"

#include <QPrinter>
#include <QString>
#include <QTextDocument>
#include <QUrl>

namespace orvane {

namespace {

QString Escaped(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }

// Texts read from the left, figures from the right.
QString TableHtml(const std::vector<std::string>& columns, const std::vector<BomRow>& rows)
{
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">");
    if (!columns.empty()) {
        html += QStringLiteral("<tr>");
        for (const std::string& column : columns)
            html += QStringLiteral("<th>%1</th>").arg(Escaped(column));
        html += QStringLiteral("</tr>");
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        html += QStringLiteral("<tr>");
        for (const BomCell& cell : rows[r]) {
            const bool figure = cell.kind != BomCell::Kind::Text;
            html += QStringLiteral("<td align=\"%1\">%2</td>")
                        .arg(figure ? QStringLiteral("right") : QStringLiteral("left"), Escaped(cell.text));
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString PairsHtml(const std::vector<std::pair<std::string, std::string>>& pairs)
{
    QString html;
    for (const auto& [label, text] : pairs)
        html += QStringLiteral("%1：%2<br>").arg(Escaped(label), Escaped(text));
    return html;
}

}  // namespace

bool PrintBillOfMaterials(QPrinter& printer, const BomReport& report, const QString& title, const QString& fileName)
{
    QTextDocument document;
    QString html = QStringLiteral("<h2>%1</h2><p>物料清单　文件：%2<br>%3</p>")
                       .arg(title.toHtmlEscaped(), fileName.toHtmlEscaped(), PairsHtml(report.heading));
    html += TableHtml(report.orderLines.columns, report.orderLines.rows);
    html += QStringLiteral("<h3>工程数据</h3>") + TableHtml(report.engineering.columns, report.engineering.rows);
    std::vector<std::pair<std::string, std::string>> notes = report.limits;
    for (const std::string& warning : report.warnings)
        notes.emplace_back("注意", warning);
    html += QStringLiteral("<p>%1</p><h3>基板槽位</h3>").arg(PairsHtml(notes));
    for (std::size_t i = 0; i < report.racks.size(); ++i) {
        const BomRack& rack = report.racks[i];
        const QImage picture = DrawRackPicture(rack);
        const QUrl name(QStringLiteral("rack:%1").arg(i));
        document.addResource(QTextDocument::ImageResource, name, picture);
        html += QStringLiteral("<p><img src=\"%1\" width=\"%2\" height=\"%3\"></p>")
                    .arg(name.toString())
                    .arg(picture.width() / kRackPictureScale)
                    .arg(picture.height() / kRackPictureScale);
    }
    document.setHtml(html);
    // Printed unpaginated, the document is laid out on the printer's pages and each page numbered.
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

}  // namespace orvane
