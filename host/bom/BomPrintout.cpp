#include "BomPrintout.h"

#include <QDate>
#include <QPrinter>
#include <QString>
#include <QTextDocument>

namespace orvane {

namespace {

QString Escaped(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }

QString TableHtml(const BillOfMaterials& bom)
{
    const std::vector<std::vector<std::string>> rows = BillOfMaterialsRows(bom);
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">");
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const QString cell = row == 0 ? QStringLiteral("th") : QStringLiteral("td");
        html += QStringLiteral("<tr>");
        // Part number and description read from the left, the figures from the right.
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            const QString align = column < 2 ? QStringLiteral("left") : QStringLiteral("right");
            html += QStringLiteral("<%1 align=\"%2\">%3</%1>").arg(cell, align, Escaped(rows[row][column]));
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

}  // namespace

bool PrintBillOfMaterials(QPrinter& printer, const BillOfMaterials& bom, const QString& title,
                          const QString& fileName, const QDate& date)
{
    QTextDocument document;
    document.setHtml(QStringLiteral("<h2>%1</h2><p>物料清单　文件：%2　日期：%3</p>%4")
                         .arg(title.toHtmlEscaped(), fileName.toHtmlEscaped(), date.toString(Qt::ISODate),
                              TableHtml(bom)));
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

}  // namespace orvane
