#pragma once
// Which product catalogue the player serves. The program ships one beside
// itself; an update the user accepted lies in the user's data folder
// ($XDG_DATA_HOME/orvane/, ~/.local/share/orvane/) with its signature. The
// user's copy is served only while it reads as the movie reads it, its
// signature verifies against a key installed with the program, and its
// edition is newer than the shipped one's: a newer program's catalogue wins
// over an older download, and a damaged or foreign copy is never served.
//
// In the data folder the pair lies in a folder of its own, ".catalog-XXXXXX/"
// (orvane_catalog.xml and orvane_catalog.xml.sig), and the link "catalog"
// names the pair in use. An install writes the new pair into a new folder and
// then renames a new link over "catalog": one rename switches both files, so
// a program killed at any point leaves the old pair or the new one in use,
// never a mix. Installs hold an flock on ".catalog.lock" in the data folder
// from the comparison of editions to the switch; what an interrupted install
// left is removed by the next install or start.

#include <functional>
#include <optional>
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
    // Through the link "catalog": the pair in use whenever it is read.
    [[nodiscard]] std::string UserCatalog() const;
    [[nodiscard]] std::string UserSignature() const;
};

// $XDG_DATA_HOME/orvane/, or ~/.local/share/orvane/ (with a trailing '/').
[[nodiscard]] std::string DefaultCatalogDataFolder();

struct CatalogChoice {
    std::string path;       // the catalogue file to serve
    // Its bytes as read here and checked (what the player serves, so that a
    // later change of the file never reaches the movie); nullopt when the
    // shipped catalogue cannot be read (missing, not a regular file, too large).
    std::optional<std::string> bytes;
    bool userCopy = false;  // the user's update rather than the shipped one
    std::string edition;    // of that catalogue; "" when it names none or cannot be read
    // When an installed update is there but cannot be served (unreadable,
    // refused by the movie's rules, its signature no longer verifies): why,
    // in Chinese; "" otherwise. An update older than the shipped catalogue
    // is no problem: the newer program's catalogue is meant to win.
    std::string problem;
};

// The catalogue the player should serve now.
[[nodiscard]] CatalogChoice ChooseCatalog(const CatalogPlaces& places);

// Why the data folder could not take a catalogue: the path at fault, what is
// there and what should be (in Chinese, such as "一个普通文件" for "文件夹"),
// and the system's reason when a call failed.
struct CatalogFolderFault {
    std::string path;
    std::string found;     // "" when the path is of the right kind
    std::string expected;  // when found is set
    int systemError = 0;   // the system's reason (EACCES, ...), 0 when none
};

// The lock every install holds from comparing editions to switching the
// pair. Taking it makes the data folder when missing; wait says whether it
// waits for another program's install to end.
class CatalogInstallLock {
public:
    enum class Wait { Yes, No };
    CatalogInstallLock(const std::string& dataFolder, Wait wait);
    ~CatalogInstallLock();
    CatalogInstallLock(const CatalogInstallLock&) = delete;
    CatalogInstallLock& operator=(const CatalogInstallLock&) = delete;

    explicit operator bool() const { return m_fd >= 0; }
    [[nodiscard]] const CatalogFolderFault& Fault() const { return m_fault; }
    [[nodiscard]] const std::string& DataFolder() const { return m_dataFolder; }

private:
    std::string m_dataFolder;
    int m_fd = -1;
    CatalogFolderFault m_fault;
};

// Called before each file operation of an install (making the pair's folder,
// each file, the new link, the switch, removing the old pair); false stops
// the install right there, leaving everything as a kill at that point would.
using CatalogInstallStep = std::function<bool()>;

struct CatalogInstallResult {
    bool installed = false;
    bool stopped = false;      // a step said stop
    CatalogFolderFault fault{};  // after a failure
    explicit operator bool() const { return installed; }
};

// Installs a catalogue and its signature text as the pair in use, under the
// lock (taken, and without a fault). Leftovers of interrupted installs go
// first; the previous pair goes once the new one is in use.
[[nodiscard]] CatalogInstallResult InstallCatalog(const CatalogInstallLock& lock, std::string_view catalogBytes,
                                                  std::string_view signature, const CatalogInstallStep& step = {});

// At start: removes what interrupted installs left, unless an install runs
// now or there is no data folder.
void TidyCatalogFolder(const std::string& dataFolder);

// Goes back to the shipped catalogue: removes the link and the user's pairs.
// 0, or the system's reason when one is there and cannot be removed.
[[nodiscard]] int RestoreShippedCatalog(const std::string& dataFolder);

}  // namespace orvane
