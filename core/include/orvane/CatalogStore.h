#pragma once
// Which product catalogue the player serves. The program ships one beside
// itself; an update the user accepted lies in the user's data folder
// ($XDG_DATA_HOME/orvane/, ~/.local/share/orvane/) with its signature. The
// user's copy is served only while it reads as the movie reads it, its
// signature verifies against a key installed with the program, and its
// edition is newer than the shipped one's: a newer program's catalogue wins
// over an older download, and a damaged or foreign copy is never served.

#include "orvane/TextFile.h"

#include <string>
#include <string_view>

namespace orvane {

inline constexpr const char* kCatalogFileName = "orvane_catalog.xml";

// Where the program's catalogues and keys are.
struct CatalogPlaces {
    std::string programFolder;  // the shipped catalogue, z_ver.xml and catalog-keys/
    std::string dataFolder;     // the user's catalogue and its signature

    [[nodiscard]] std::string VersionFile() const;
    [[nodiscard]] std::string KeyFolder() const;
    [[nodiscard]] std::string ShippedCatalog() const;
    [[nodiscard]] std::string UserCatalog() const;
    [[nodiscard]] std::string UserSignature() const;
};

// $XDG_DATA_HOME/orvane/, or ~/.local/share/orvane/ (with a trailing '/').
[[nodiscard]] std::string DefaultCatalogDataFolder();

struct CatalogChoice {
    std::string path;       // the catalogue file to serve
    bool userCopy = false;  // the user's update rather than the shipped one
    std::string edition;    // of that catalogue; "" when it names none or cannot be read
};

// The catalogue the player should serve now.
[[nodiscard]] CatalogChoice ChooseCatalog(const CatalogPlaces& places);

// Writes a catalogue and its signature text to the user's data folder (made
// when missing), each whole or not at all through the program's one save
// road; when the catalogue cannot be written the previous signature is put
// back, so the previous pair stays. A pair left mismatched by a failure
// even then is never served. The outcome of the write that failed, or of the last.
[[nodiscard]] FileWriteResult InstallCatalog(std::string_view catalogBytes, std::string_view signature,
                                  const std::string& dataFolder);

// Goes back to the shipped catalogue: removes the user's copy and its
// signature. 0, or the system's reason when one is there and cannot be removed.
[[nodiscard]] int RestoreShippedCatalog(const std::string& dataFolder);

}  // namespace orvane
