#pragma once
// Version files ("z_ver.xml"): the local one beside the executable and the
// server's copy named by it.

#include "orvane/XmlSource.h"

#include <pugixml.hpp>
#include <stop_token>
#include <string>

struct VersionInf {
    std::string strCopyright;        // COPYRIGHT
    std::string strUrlDownload;      // URL_DOWNLOAD
    std::string strUrlVersionCheck;  // URL_VERSION_CHECK
    std::string strVersion;          // VERSION_INFO
};

// Folder of the running executable, ending in '/'. Set once at start-up.
extern std::string g_strAppPath;

// Reads g_strAppPath + "z_ver.xml" into inf. Non-zero when the file loaded and
// its document element is "dataroot".
int _GetLocalVersionInf(VersionInf& inf);

// Text of the index-th (from 1) descendant element named tagName, or "".
std::string _GetText(const pugi::xml_node& element, const char* tagName, int index);

// Reads the VERSION_INFO of the version file at an address (path, file:// or
// http(s)://) into inf.strVersion. Non-zero on success.
int _GetXmlInf(const std::string& address, VersionInf& inf, const FetchLimits& limits = {},
               std::stop_token abort = {});
