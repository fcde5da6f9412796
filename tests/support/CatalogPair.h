#pragma once
// A catalogue and its signature installed as the user's pair in use, the way
// an accepted update is installed (under the store's lock), for tests that
// start from an installed update.

#include "orvane/CatalogStore.h"

#include <string>

inline bool InstallCatalogPair(const std::string& catalogue, const std::string& signature, const std::string& dataFolder)
{
    const orvane::CatalogInstallLock lock(dataFolder, orvane::CatalogInstallLock::Wait::Yes);
    return lock && orvane::InstallCatalog(lock, catalogue, signature);
}
