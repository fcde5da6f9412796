#include "BomPrintout.h"

#include <QDate>
#include <QPrinter>
#include <QString>
#include <QTextDocument>

namespace {

QString Escaped(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }

QString TableHtml(const orvane::BillOfMaterials& bom)
{
    const std::vector<std::vector<std::string>> rows = orvane::BillOfMaterialsRows(bom);
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">");
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const QString cell = row == 0 ? QStringLiteral("th") : QStringLiteral("td");
        html += QStringLiteral("<tr>");
        for (const std::string& field : rows[row])
            html += QStringLiteral("<%1>%2</%1>").arg(cell, Escaped(field));
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

}  // namespace

bool PrintBillOfMaterials(QPrinter& printer, const orvane::BillOfMaterials& bom, const QString& title,
                          const QString& fileName, const QDate& date)
{
    QTextDocument document;
    document.setHtml(QStringLiteral("<h2>%1</h2><p>物料清单　文件：%2　日期：%3</p>%4")
                         .arg(title.toHtmlEscaped(), fileName.toHtmlEscaped(), date.toString(Qt::ISODate),
                              TableHtml(bom)));
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}
