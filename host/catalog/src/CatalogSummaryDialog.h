#pragma once
// What an installed catalogue update changes: the summary, the full list of
// changes beneath it, and a button that copies that list (tab-separated, so
// that it pastes into a spreadsheet as columns).

#include <QDialog>

#include <string>

namespace orvane {

class CatalogSummaryDialog : public QDialog {
    Q_OBJECT
public:
    CatalogSummaryDialog(const std::string& summary, const std::string& changeList, QWidget* parent = nullptr);
};

}  // namespace orvane
