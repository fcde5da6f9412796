#pragma once
// The selection's hardware for engineering tools: an AutomationML file
// (orvane/AutomationMlExport.h) made from the movie's bill and the catalogue
// the movie reads, for 文件 → 导出到工程软件… and `orvane --export`.

#include "dialogs/UserDialogs.h"

#include "orvane/AutomationMlExport.h"
#include "orvane/BillOfMaterials.h"
#include "orvane/TextFile.h"

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace orvane {

// What became of one export.
struct AmlExportResult {
    FileWriteResult write;  // the file's outcome, when it came to writing it
    // Why nothing was written, for the user (Chinese); "" when written or the write failed.
    std::string refusal;
    explicit operator bool() const { return write.written; }
};

// Writes the file for the bill; the catalogue (its bytes, as the movie read them) gives each
// module's I/O points.
[[nodiscard]] AmlExportResult ExportAutomationMl(const std::string& path, const BillOfMaterials& bom,
                                                 std::string_view catalogBytes, CaexVersion version);

class AmlExportCommand {
public:
    // What the command needs of the window.
    struct Window {
        QWidget* owner = nullptr;
        UserDialogs* dialogs = nullptr;
        std::function<std::string()> filePath;  // the current selection file; "" while untitled
        // The movie's "zBom" text; nullopt after the user was told the reply is unusable.
        std::function<std::optional<std::string>()> fetchBill;
        std::function<std::string()> catalogBytes;  // the catalogue the movie read
        std::function<void(const std::string& text)> showError;
    };

    explicit AmlExportCommand(Window window) : m_window(std::move(window)) {}

    // The bill, the save dialog (CAEX 2.15, or 3.0 as the second file type), then the file.
    bool Export();

private:
    Window m_window;
};

}  // namespace orvane
