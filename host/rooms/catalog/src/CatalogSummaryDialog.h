#pragma once
// What an installed catalogue update changes: the summary, the full list of
// changes beneath it, and a button that copies that list (tab-separated, so
// that it pastes into a spreadsheet as columns). The catalogue's texts pass
// the one safe-text rule both times: shown with their bidirectional
// controls visible, copied also with formulas made plain text.

#include "orvane/CatalogChanges.h"

#include <QDialog>

#include <string>

namespace orvane {

class CatalogSummaryDialog : public QDialog {
    Q_OBJECT
public:
    CatalogSummaryDialog(const std::string& summary, const CatalogChanges& changes,
                         QWidget* parent = nullptr);
};

}  // namespace orvane
