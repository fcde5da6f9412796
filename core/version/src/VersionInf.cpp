#include "orvane/VersionInf.h"

#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"

#include "XmlLoader.h"
#include "XmlText.h"

#include <cstring>
#include <exception>

std::string g_strAppPath;

namespace {

// Finds the index-th (from 1) descendant element with a given name, in document order.
class NthElementFinder : public pugi::xml_tree_walker {
public:
    NthElementFinder(const char* name, int index) : m_name(name), m_remaining(index) {}
    bool for_each(pugi::xml_node& node) override
    {
        if (node.type() == pugi::node_element && std::strcmp(node.name(), m_name) == 0 &&
            --m_remaining == 0) {
            m_found = node;
            return false;
        }
        return true;
    }
    pugi::xml_node found() const { return m_found; }

private:
    const char* m_name;
    int m_remaining;
    pugi::xml_node m_found;
};

// Element text as the program's version files are written by hand: the line
// breaks and indentation around a value are not part of it.
std::string TrimXmlSpace(std::string text)
{
    constexpr const char* kXmlSpace = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kXmlSpace);
    if (first == std::string::npos)
        return {};
    text.erase(text.find_last_not_of(kXmlSpace) + 1);
    text.erase(0, first);
    return text;
}

// The values of a loaded version file: zero when its document element is not
// "dataroot"; otherwise non-zero, with inf untouched when there is no COMMON_INFO.
int ReadVersionDocument(const pugi::xml_document& doc, VersionInf& inf, orvane::VersionFields fields)
{
    const pugi::xml_node root = doc.document_element();
    if (std::strcmp(root.name(), "dataroot") != 0)
        return 0;
    const pugi::xml_node common = NthDescendant(root, "COMMON_INFO", 1);
    if (!common)
        return 1;
    inf.strVersion = _GetText(common, "VERSION_INFO", 1);
    if (fields == orvane::VersionFields::All) {
        inf.strUrlDownload = _GetText(common, "URL_DOWNLOAD", 1);
        inf.strUrlVersionCheck = _GetText(common, "URL_VERSION_CHECK", 1);
        inf.strCopyright = _GetText(common, "COPYRIGHT", 1);
    }
    return 1;
}

}  // namespace

pugi::xml_node NthDescendant(pugi::xml_node element, const char* name, int index)
{
    if (index < 1)
        return {};
    NthElementFinder finder(name, index);
    element.traverse(finder);
    return finder.found();
}

std::string _GetText(const pugi::xml_node& element, const char* tagName, int index)
{
    try {
        return TrimXmlSpace(XmlNodeText(NthDescendant(element, tagName, index)));
    } catch (const std::exception& error) {
        REPORT_ERROR(g_ErrorLog, 0, "_GetText()", "_GetText()", orvane::ExceptionText(error));
        return {};
    }
}

int orvane::ParseVersionInf(std::string_view xmlBytes, VersionInf& inf, orvane::VersionFields fields)
{
    pugi::xml_document doc;
    std::string error;
    return ParseXmlBytes(xmlBytes, doc, error) ? ReadVersionDocument(doc, inf, fields) : 0;
}

int _GetLocalVersionInf(VersionInf& inf, int* systemError)
{
    if (systemError)
        *systemError = 0;
    try {
        pugi::xml_document doc;
        std::string error;
        if (const XmlLoad loaded = LoadXmlAddress(g_strAppPath + "z_ver.xml", doc, error); !loaded) {
            REPORT_ERROR(g_ErrorLog, loaded.systemError, "_GetLocalVersionInf()", "pDoc->load()",
                         orvane::MakeErrorText("(#1005)"));
            if (systemError)
                *systemError = loaded.systemError;
            return 0;
        }
        return ReadVersionDocument(doc, inf, orvane::VersionFields::All);
    } catch (const std::exception& error) {
        REPORT_ERROR(g_ErrorLog, 0, "_GetLocalVersionInf()", "_GetLocalVersionInf()", orvane::ExceptionText(error));
        return 0;
    }
}

int _GetXmlInf(const std::string& address, VersionInf& inf, const orvane::FetchLimits& limits,
               std::stop_token abort, int* systemError)
{
    if (systemError)
        *systemError = 0;
    // A fetch cut off by the waiting side ends quietly: that side no longer
    // expects anything from this call, the log included.
    try {
        pugi::xml_document doc;
        std::string error;
        if (const XmlLoad loaded = LoadXmlAddress(address, doc, error, limits, abort); !loaded) {
            if (!abort.stop_requested())
                REPORT_ERROR(g_ErrorLog, loaded.systemError, "_GetXmlInf()", "pDoc->load()", "(#1005)");
            if (systemError)
                *systemError = loaded.systemError;
            return 0;
        }
        return ReadVersionDocument(doc, inf, orvane::VersionFields::VersionOnly);
    } catch (const std::exception& error) {
        if (!abort.stop_requested())
            REPORT_ERROR(g_ErrorLog, 0, "_GetXmlInf()", "_GetXmlInf()", orvane::ExceptionText(error));
        return 0;
    }
}
