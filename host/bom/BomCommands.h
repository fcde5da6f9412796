#pragma once
// The bill of materials out of the program: as a CSV file, on the clipboard,
// printed or as PDF. The movie supplies the bill ("zBom"); these commands
// only pass it on, never working a figure out themselves.

#include "UserDialogs.h"

#include "orvane/BillOfMaterials.h"

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace orvane {

class BomCommands {
public:
    // What the commands need of the window.
    struct Window {
        QWidget* owner = nullptr;
        UserDialogs* dialogs = nullptr;
        const std::string* filePath = nullptr;  // the current selection file; "" while untitled
        // The movie's "zBom" text; nullopt after the user was told the reply is unusable.
        std::function<std::optional<std::string>()> fetchBill;
        std::function<void(const std::string& text)> showError;
    };

    explicit BomCommands(Window window);

    // The bill, the save dialog, then the CSV file.
    bool ExportCsv();
    // The bill on the clipboard as tab-separated rows.
    bool Copy();
    // The bill, the print dialog, then the printed pages (or a PDF file).
    bool Print();

private:
    // The movie's bill; nullopt after telling the user there is none (an
    // empty selection) or that the reply is not a bill.
    std::optional<BillOfMaterials> FetchBill();
    void ReportWriteFailure(const char* operation, const char* step, int systemError, bool existed, bool damaged);

    Window m_window;
};

}  // namespace orvane
