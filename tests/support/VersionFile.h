#pragma once
// Test helper: the text of a version file ("z_ver.xml"): a <dataroot> with
// one COMMON_INFO holding the four values the program reads, and the
// catalogue update's address when given. Values go in as
// given (XML markup, escapes and bytes of another encoding included), e.g.
//   VersionFile{.version = "1.10", .copyright = "server"}.Text()

#include <string>

struct VersionFile {
    std::string version = "1.00";
    std::string copyright = "Copyright test";
    std::string downloadUrl = "https://example.com/setup.exe";
    std::string versionCheckUrl = "https://example.com/";
    std::string catalogUpdateUrl;  // no URL_CATALOG_UPDATE element when empty
    // The encoding the XML declaration names.
    std::string encoding = "UTF-8";

    std::string Text() const;
};
