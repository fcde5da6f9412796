#include "VersionFile.h"

std::string VersionFile::Text() const
{
    return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n<dataroot><COMMON_INFO><VERSION_INFO>"
           + version + "</VERSION_INFO><COPYRIGHT>" + copyright + "</COPYRIGHT><URL_DOWNLOAD>" + downloadUrl
           + "</URL_DOWNLOAD><URL_VERSION_CHECK>" + versionCheckUrl
           + "</URL_VERSION_CHECK>"
           + (catalogUpdateUrl.empty() ? "" : "<URL_CATALOG_UPDATE>" + catalogUpdateUrl + "</URL_CATALOG_UPDATE>")
           + "</COMMON_INFO></dataroot>\n";
}
