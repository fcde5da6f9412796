#include "XmlLoader.h"

#include "HttpFetch.h"
#include "PosixFile.h"
#include "TextEncoding.h"
#include "XmlText.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>

using orvane::detail::FileDescriptor;
using orvane::detail::ReadResult;
using orvane::detail::ReadUpTo;

namespace {

// Element text keeps whitespace-only runs (parse_ws_pcdata), so "<a>x<b/> <c/>y</a>"
// reads as "x y"; CDATA sections count as text; entity and character references
// are expanded; line ends become LF. No DOCTYPE node is kept and no external
// entity or DTD is ever fetched (pugixml has no such facility); comments and
// processing instructions are dropped.
constexpr unsigned kParseFlags =
    pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol | pugi::parse_ws_pcdata;

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return AsciiLower(c); });
    return lower;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The encoding named in an XML declaration written in ASCII-compatible bytes
// (no byte-order mark), or nothing when there is none.
std::optional<std::string> DeclaredEncoding(std::string_view bytes)
{
    if (!bytes.starts_with("<?xml") || bytes.size() < 6 || !IsSpace(bytes[5]))
        return std::nullopt;
    const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos)
        return std::nullopt;
    at += std::strlen("encoding");
    while (at < declaration.size() && IsSpace(declaration[at]))
        ++at;
    if (at >= declaration.size() || declaration[at] != '=')
        return std::nullopt;
    ++at;
    while (at < declaration.size() && IsSpace(declaration[at]))
        ++at;
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\''))
        return std::nullopt;
    const std::size_t end = declaration.find(declaration[at], at + 1);
    if (end == std::string_view::npos)
        return std::nullopt;
    return std::string(declaration.substr(at + 1, end - at - 1));
}

// pugixml decodes UTF-8, UTF-16 and UTF-32 (by byte-order mark or by the shape of
// the first characters) and a declared "ISO-8859-1"/"latin1" itself. It would
// read any other declared encoding as UTF-8, so those go through iconv first.
bool PugixmlDecodes(const std::string& encoding)
{
    const std::string name = AsciiLower(encoding);
    return name == "utf-8" || name == "utf8" || name == "iso-8859-1" || name == "latin1" ||
           name.starts_with("utf-16") || name.starts_with("utf-32") || name.starts_with("ucs-");
}

// Windows reads these names as its own supersets (in Shift_JIS, 0x5C is then a
// backslash, not a yen sign); version files written there expect the same.
std::string IconvName(const std::string& encoding)
{
    const std::string name = AsciiLower(encoding);
    if (name == "shift_jis" || name == "shift-jis" || name == "sjis" || name == "x-sjis")
        return "CP932";
    if (name == "gb2312")
        return "GBK";
    return encoding;
}

// "file" for "file://...", "http" for "HTTP://...", nothing for a plain path.
std::optional<std::string> UrlScheme(const std::string& address)
{
    const std::size_t end = address.find("://");
    if (end == std::string::npos || end == 0)
        return std::nullopt;
    const auto isSchemeChar = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    };
    if (!std::isalpha(static_cast<unsigned char>(address[0])) ||
        !std::all_of(address.begin(), address.begin() + static_cast<std::ptrdiff_t>(end), isSchemeChar))
        return std::nullopt;
    return AsciiLower(std::string_view(address).substr(0, end));
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = AsciiLower(c);
    return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
}

// "file:///a%20b/c.xml" and "file://localhost/a%20b/c.xml" give "/a b/c.xml".
bool FileUrlToPath(const std::string& url, std::string& path, std::string& error)
{
    std::string_view rest = std::string_view(url).substr(std::strlen("file://"));
    const std::size_t slash = rest.find('/');
    const std::string host = AsciiLower(rest.substr(0, slash));
    if (slash == std::string_view::npos || (!host.empty() && host != "localhost")) {
        error = "file URL names no local path: " + url;
        return false;
    }
    rest = rest.substr(slash);
    rest = rest.substr(0, rest.find_first_of("?#"));

    path.clear();
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != '%') {
            path += rest[i];
            continue;
        }
        const int high = i + 2 < rest.size() ? HexValue(rest[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(rest[i + 2]) : -1;
        if (low < 0 || (high == 0 && low == 0)) {
            error = "bad percent escape in file URL: " + url;
            return false;
        }
        path += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

// Reads a local file whole. Only a regular file is read: a FIFO or device at
// the path would make the read wait for a writer or never end. The size cap
// and the stop request are checked between chunks, so a slow file system
// (a network mount) holds the caller at most one chunk past a stop request.
FetchResult ReadLocalFile(const std::string& path, std::string& bytes, std::string& error,
                          std::size_t maxBytes, const std::stop_token& abort)
{
    const auto fail = [&](std::string reason, int systemError) {
        error = path + ": " + reason;
        return FetchResult{systemError == EFBIG ? FetchFailure::TooLarge : FetchFailure::Unreadable, systemError};
    };
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file) {
        const int systemError = errno;
        return fail(std::strerror(systemError), systemError);
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        const int systemError = errno;
        return fail(std::strerror(systemError), systemError);
    }
    if (S_ISDIR(status.st_mode))
        return fail(std::strerror(EISDIR), EISDIR);
    if (!S_ISREG(status.st_mode))
        return fail("not a regular file", EINVAL);
    const std::string tooLarge = "larger than " + std::to_string(maxBytes) + " bytes";
    if (static_cast<std::uintmax_t>(status.st_size) > maxBytes)
        return fail(tooLarge, EFBIG);

    bytes.clear();
    std::array<char, 65536> chunk;
    for (;;) {
        if (abort.stop_requested()) {
            error = "aborted";
            return {FetchFailure::Stopped};
        }
        const ReadResult read = ReadUpTo(file.get(), chunk.data(), chunk.size());
        if (read.failed())
            return fail(std::strerror(read.systemError), read.systemError);
        if (read.bytes > maxBytes - bytes.size())
            return fail(tooLarge, EFBIG);  // grew while being read
        bytes.append(chunk.data(), read.bytes);
        if (read.bytes < chunk.size())
            return {};
    }
}

// Collects the text of pcdata and CDATA nodes in document order.
class TextCollector : public pugi::xml_tree_walker {
public:
    explicit TextCollector(std::string& text) : m_text(text) {}
    bool for_each(pugi::xml_node& node) override
    {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            m_text += node.value();
        return true;
    }

private:
    std::string& m_text;
};

}  // namespace

FetchResult FetchAddress(const std::string& address, std::string& bytes, std::string& error,
                         const orvane::FetchLimits& limits, std::stop_token abort,
                         const orvane::FetchProgress& progress)
{
    const std::optional<std::string> scheme = UrlScheme(address);
    if (!scheme) {
        // A plain path; a relative one (such as a bare "z_ver.xml") is taken
        // from the current directory of the process.
        return ReadLocalFile(address, bytes, error, limits.maxBytes, abort);
    }
    if (*scheme == "http" || *scheme == "https")
        return {FetchHttp(address, bytes, error, limits, abort, progress)};
    if (*scheme == "file") {
        std::string path;
        if (!FileUrlToPath(address, path, error))
            return {FetchFailure::Unreadable};
        return ReadLocalFile(path, bytes, error, limits.maxBytes, abort);
    }
    error = "unsupported address scheme \"" + *scheme + "\"";
    return {FetchFailure::Unreadable};
}

bool ParseXmlBytes(std::string_view bytes, pugi::xml_document& doc, std::string& error)
{
    pugi::xml_encoding encoding = pugi::encoding_auto;
    std::string converted;
    if (const std::optional<std::string> declared = DeclaredEncoding(bytes);
        declared && !PugixmlDecodes(*declared)) {
        if (!orvane::detail::ConvertToUtf8(bytes, IconvName(*declared), converted, error))
            return false;
        bytes = converted;
        encoding = pugi::encoding_utf8;
    }
    const pugi::xml_parse_result result = doc.load_buffer(bytes.data(), bytes.size(), kParseFlags, encoding);
    if (!result) {
        error = std::string(result.description()) + " at byte " + std::to_string(result.offset);
        return false;
    }
    return true;
}

XmlLoad LoadXmlAddress(const std::string& address, pugi::xml_document& doc, std::string& error,
                       const orvane::FetchLimits& limits, std::stop_token abort)
{
    std::string bytes;
    const FetchResult fetched = FetchAddress(address, bytes, error, limits, abort);
    if (fetched != FetchFailure::None)
        return {false, fetched.systemError};
    return {ParseXmlBytes(bytes, doc, error), 0};
}

std::string XmlNodeText(const pugi::xml_node& node)
{
    std::string text;
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
        text = node.value();
    TextCollector collector(text);
    pugi::xml_node(node).traverse(collector);  // traverse() walks without recursion
    return text;
}
