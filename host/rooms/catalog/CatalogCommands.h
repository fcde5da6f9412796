#pragma once
// The product catalogue kept current. The movie is served the catalogue's
// bytes as they were checked here, never its file: the user's catalogue
// update instead of the one shipped with the program while that update is
// valid, signed by the publisher and newer; "更新产品目录…" fetches a new one
// from the server the installed version file names, with a progress dialog
// that can be cancelled and a window that keeps answering, installs it when
// it is the publisher's and newer, and tells what it changes (the full list
// can be copied); "恢复随程序安装的产品目录" goes back to the shipped one.
// Either takes effect from the movie's next load on. A refusal says why in
// Chinese and changes nothing.

#include "dialogs/UserDialogs.h"

#include "orvane/CatalogStore.h"

#include <QObject>

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace orvane {

struct CatalogUpdate;

class CatalogCommands : public QObject {
    Q_OBJECT
public:
    // What the commands need of the window.
    struct Window {
        QWidget* owner = nullptr;
        UserDialogs* dialogs = nullptr;
        // From the movie's next load on its catalogue is these bytes; nullopt when there is none to read.
        std::function<void(const std::optional<std::string>& bytes)> serveCatalog;
    };

    // dataFolder: where the user's catalogue goes ($XDG_DATA_HOME/orvane/).
    CatalogCommands(Window window, std::string dataFolder, QObject* parent = nullptr);

    // Before the movie's first load: the catalogue it reads, of those in programFolder and the user's.
    void ServeChosenCatalog(const std::string& programFolder);
    // The catalogue the movie was given to read at its start ("" when there was none).
    [[nodiscard]] std::string ServedCatalogBytes() const { return m_servedBytes.value_or(std::string()); }
    void Update();
    void RestoreShipped();

private:
    // The update fetched on a thread of its own while the user sees its progress.
    CatalogUpdate FetchWithProgress();
    void Tell(const std::string& text, MsgIcon icon);

    Window m_window;
    CatalogPlaces m_places;
    std::optional<std::string> m_servedBytes;
};

}  // namespace orvane
