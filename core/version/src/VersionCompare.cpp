#include "orvane/VersionCompare.h"

#include <cstddef>

void _SplitString(const std::string& text, char sep, std::vector<std::string>& out)
{
    out.clear();
    if (text.empty())
        return;
    std::size_t start = 0;
    for (std::size_t found = text.find(sep); found != std::string::npos; found = text.find(sep, start)) {
        out.push_back(text.substr(start, found - start));
        start = found + 1;
    }
    out.push_back(text.substr(start));
}

bool orvane::IsServerVersionNewer(const std::string& localVersion, const std::string& serverVersion)
{
    std::vector<std::string> local;
    std::vector<std::string> server;
    _SplitString(localVersion, '.', local);
    _SplitString(serverVersion, '.', server);

    for (std::size_t i = 0; i < local.size(); ++i) {
        if (i >= server.size())
            return false;  // the server's components ran out without a decision
        const std::string& serverComponent = server[i];
        if (local[i].size() > serverComponent.size())
            return false;
        const std::string localComponent =
            std::string(serverComponent.size() - local[i].size(), '0') + local[i];
        // Byte order as unsigned char, as a multibyte string comparison does.
        const int order = localComponent.compare(serverComponent);
        if (order < 0)
            return true;
        if (order > 0)
            return false;
    }
    return false;
}
