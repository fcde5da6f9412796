#pragma once
// The bill of materials out of the program: as a spreadsheet or CSV file, on
// the clipboard, printed or as PDF after a preview. The movie supplies the
// bill ("zBom"); these commands only lay it out, never working a figure out
// themselves.

#include "dialogs/UserDialogs.h"

#include "orvane/BillOfMaterials.h"
#include "orvane/TextFile.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace orvane {

class BomNotice;

class BomCommands {
public:
    // What the commands need of the window.
    struct Window {
        QWidget* owner = nullptr;
        UserDialogs* dialogs = nullptr;
        std::function<std::string()> filePath;  // the current selection file; "" while untitled
        // The movie's "zBom" text; nullopt after the user was told the reply is unusable.
        std::function<std::optional<std::string>()> fetchBill;
        std::function<void(const std::string& text)> showError;
    };

    explicit BomCommands(Window window);
    ~BomCommands();

    // The bill, the save dialog (.xlsx or .csv), then the file.
    bool Export();
    // The bill on the clipboard as tab-separated rows and as an HTML table, and a notice that it is there.
    bool Copy();
    // The bill, the print preview, then the printed pages (or a PDF file).
    bool Print();

private:
    // The movie's bill as the purchaser's report of today; nullopt after
    // telling the user there is none (an empty selection) or that the reply
    // is not a bill.
    std::optional<BomReport> FetchReport();
    // Bytes of a file of the chosen kind, made aside; nullopt after telling the user it failed.
    std::optional<std::string> WorkbookBytes(const BomReport& report);
    // Where the PDF goes unless the user says otherwise: beside the selection file.
    std::string DefaultPdfPath() const;
    void ReportWriteFailure(const char* operation, const char* step, const FileWriteResult& failed);
    bool WriteFile(const char* operation, const std::string& path, const std::string& bytes);

    Window m_window;
    std::unique_ptr<BomNotice> m_notice;
};

}  // namespace orvane
