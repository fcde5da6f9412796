#pragma once
// Fetching a catalogue update from the publisher's server, without writing
// anything. The installed version file names the server's folder in
// URL_CATALOG_UPDATE (like URL_VERSION_CHECK, a base address the file names
// are appended to); from there the catalogue "orvane_catalog.xml" and its
// signature "orvane_catalog.xml.sig" are fetched with the bounds of the
// update check. The catalogue is accepted only when its signature verifies
// against a key installed with the program, the movie would read it, and its
// edition is newer than the one the player serves now. InstallCatalogUpdate
// then installs an accepted one, comparing the editions again under the
// store's lock: two programs installing at once end with the newer edition.

#include "orvane/CatalogChanges.h"
#include "orvane/CatalogStore.h"
#include "orvane/XmlSource.h"

#include <stop_token>
#include <string>

namespace orvane {

// The URL_CATALOG_UPDATE of the version file at path (the first COMMON_INFO
// of a "dataroot" document); "" when there is none or the file cannot be read.
[[nodiscard]] std::string ReadCatalogUpdateAddress(const std::string& versionFile);

enum class CatalogUpdateOutcome {
    Accepted,
    NoAddress,           // the version file names no server
    NoKeys,              // no publisher's key is installed
    Unsigned,            // the server has no signature for it
    OtherKey,            // signed by a key not installed, or altered since it was signed
    MalformedSignature,  // the signature file is not a signature
    NotNewer,            // its edition is older than or equal to the one in use
    Malformed,           // the movie would refuse it (or it names no edition)
    TooDeep,             // elements nest deeper than the movie allows
    TooLarge,            // over the movie's 1 MiB
    TooManyItems,        // more items than the movie reads
    EmptyAnswer,         // the server answered with an empty catalogue
    Interrupted,         // the connection broke off before the whole file came
    TimedOut,
    RedirectRefused,     // the server redirected to an address that is not http(s)
    TooManyRedirects,    // the server redirected more often than the fetch follows (a loop)
    Unreachable,         // no connection, refused certificate, an error status from the server
    Stopped,             // the stop request ended it
    NotInstalled,        // accepted, but the data folder could not take it
};

struct CatalogUpdate {
    CatalogUpdateOutcome outcome = CatalogUpdateOutcome::Unreachable;
    // For the user, in Chinese: the change summary when accepted, the
    // reason of the refusal otherwise.
    std::string message;
    std::string detail;        // what failed, for the error log; "" when accepted
    std::string catalogBytes;  // when accepted: exactly as signed
    std::string signature;     // when accepted: the signature file's text
    CatalogChanges changes;    // when accepted: against the catalogue in use

    [[nodiscard]] bool Accepted() const { return outcome == CatalogUpdateOutcome::Accepted; }
};

// One update attempt. limits bound each of the two fetches (the signature's
// size cap is 4 KiB whatever limits say); stop ends it promptly; progress
// hears of the catalogue's bytes as they come, on the calling thread.
[[nodiscard]] CatalogUpdate FetchCatalogUpdate(const CatalogPlaces& places, const FetchLimits& limits = {},
                                               std::stop_token stop = {}, const FetchProgress& progress = {});

// Installs an accepted update under the store's lock: the edition in use is
// read again there, and an update no newer than it is refused (NotNewer, as
// any older edition is); the change summary is made again when the
// catalogue in use changed meanwhile. A data folder that cannot take it
// gives NotInstalled, with a message naming the folder or file at fault.
// step: see CatalogInstallStep (tests stop the install with it).
[[nodiscard]] CatalogUpdate InstallCatalogUpdate(const CatalogPlaces& places, CatalogUpdate update,
                                                 const CatalogInstallStep& step = {});

}  // namespace orvane
