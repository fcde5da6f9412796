#pragma once
// orvane --export FILE.zsr OUT: the selection's bill or hardware written
// without a window, for scripts. The movie plays offscreen; OUT's extension
// asks for the file: .aml (AutomationML, CAEX 2.15), .xlsx, .csv or .pdf.
// A failure is told in one line on standard error and by the exit status.

#include <QString>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

enum ExportExit : int {
    kExportWritten = 0,
    kExportUsage = 2,          // the arguments, or OUT's extension names no file the program writes
    kExportUnreadable = 3,     // the selection file cannot be read
    kExportDamaged = 4,        // it is not a selection the movie reads (damaged, or another file)
    kExportMovieFailed = 5,    // the movie (player, catalogue) could not be started or did not answer
    kExportWriteFailed = 6,    // OUT could not be written
};

// Whether the command line asks for an export: its first argument is --export.
[[nodiscard]] bool IsExportCommand(const std::vector<std::string>& arguments);

// Runs the export, under a QApplication on the offscreen platform; the exit status.
// The reason of a failure goes to reasons (standard error as the shell gave it).
[[nodiscard]] int RunCommandLineExport(const std::vector<std::string>& arguments,
                                       const QString& programFolder, std::FILE* reasons);

}  // namespace orvane
