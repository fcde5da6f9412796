// LoadXmlAddress and _GetXmlInf over plain paths, file:// URLs and http://
// against a small server on 127.0.0.1 run by the test itself, and the text
// encodings a version file may declare.

#include "orvane/ErrorLog.h"
#include "orvane/StringTable.h"
#include "orvane/VersionInf.h"

// The core's private loader and text reader, tested directly.
#include "XmlLoader.h"
#include "XmlText.h"

#include "ErrorLogReader.h"
#include "LoopbackHttpServer.h"
#include "ScopedTempFolder.h"
#include "VersionFile.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <netdb.h>

#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A name whose lookup hangs, as with a name server that never answers, until
// the test lets it go.
constexpr const char* kHangingHost = "unanswered.invalid";

class HangingLookup {
public:
    static void Hang()
    {
        std::unique_lock lock(s_mutex);
        s_entered = true;
        s_changed.notify_all();
        s_changed.wait(lock, [] { return s_released; });
    }
    static bool WaitUntilEntered()
    {
        std::unique_lock lock(s_mutex);
        return s_changed.wait_for(lock, 20s, [] { return s_entered; });
    }
    static void Release()
    {
        std::lock_guard lock(s_mutex);
        s_released = true;
        s_changed.notify_all();
    }

private:
    static inline std::mutex s_mutex;
    static inline std::condition_variable s_changed;
    static inline bool s_entered = false;
    static inline bool s_released = false;
};

}  // namespace

// Takes the place of the C library's getaddrinfo for libcurl's resolver thread.
extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                           addrinfo** result)
{
    if (node && std::strcmp(node, kHangingHost) == 0) {
        HangingLookup::Hang();
        return EAI_AGAIN;
    }
    using Lookup = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto systemLookup = reinterpret_cast<Lookup>(::dlsym(RTLD_NEXT, "getaddrinfo"));
    return systemLookup(node, service, hints, result);
}

namespace {

const std::string kServerVersionFile = VersionFile{.version = "2.10", .copyright = "server"}.Text();

// Short limits so that failing fetches end quickly in the tests.
const orvane::FetchLimits kTestLimits{300ms, 300ms, 64 * 1024};

void StreamEndlessly(const std::string&, const LoopbackHttpServer::Connection& connection)
{
    // No length announced: only the size cap can stop this one.
    if (!connection.Send("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n<dataroot>"))
        return;
    const std::string chunk(16 * 1024, ' ');
    while (connection.Send(chunk)) {
    }
}

class XmlSourceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Every server here is local or never reached: keep any proxy
        // configured for the machine out of the way.
        ::setenv("no_proxy", "*", 1);
        ::setenv("NO_PROXY", "*", 1);
    }

    std::string WriteFile(const std::string& name, const std::string& bytes)
    {
        const fs::path path = m_folder.path() / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    // _GetXmlInf into a record with known earlier values.
    int GetXmlInf(const std::string& address, const orvane::FetchLimits& limits = kTestLimits,
                  std::stop_token abort = {})
    {
        m_inf = VersionInf{"old copyright", "old download", "old check", "1.0"};
        return _GetXmlInf(address, m_inf, limits, abort);
    }

    // The one record of a failed load, by _GetXmlInf unless told otherwise.
    void ExpectSingleLoadFailureRecord(const std::string& operation = "_GetXmlInf()",
                                       const std::string& message = "(#1005)") const
    {
        const auto lines = m_log.NewLines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].operation, operation);
        EXPECT_EQ(lines[0].step, "pDoc->load()");
        EXPECT_EQ(lines[0].message, message);
        EXPECT_EQ(lines[0].errorCode, "00000000");
    }

    ScopedTempFolder m_folder;
    ErrorLogTail m_log{g_ErrorLog.Folder()};
    VersionInf m_inf;
};

// _GetLocalVersionInf reading the test's folder as the program folder.
class LocalVersionEncoding : public XmlSourceTest {
protected:
    void SetUp() override { g_strAppPath = m_folder.slashed(); }
    void TearDown() override { g_strAppPath.clear(); }

    int ReadLocal(const std::string& bytes)
    {
        WriteFile("z_ver.xml", bytes);
        m_inf = VersionInf{"old copyright", "old download", "old check", "1.0"};
        return _GetLocalVersionInf(m_inf);
    }
    void ExpectSingleLocalLoadFailureRecord() const
    {
        ExpectSingleLoadFailureRecord("_GetLocalVersionInf()", orvane::MakeErrorText("(#1005)"));
    }
};

using LoadLocalAddress = XmlSourceTest;
using GetXmlInfLocal = XmlSourceTest;
using GetXmlInfHttp = XmlSourceTest;

TEST_F(LoadLocalAddress, PlainPathAndFileUrlsWithPercentEscapes)
{
    const std::string path = WriteFile("z ver%.xml", "<r>x</r>");
    const std::string escaped = (m_folder.path() / "z%20ver%25.xml").string();
    for (const std::string& address :
         {path, "file://" + escaped, "FILE://localhost" + escaped, "file://" + escaped + "#part"}) {
        pugi::xml_document doc;
        std::string error;
        EXPECT_TRUE(LoadXmlAddress(address, doc, error)) << address << ": " << error;
        EXPECT_EQ(XmlNodeText(doc.document_element()), "x") << address;
    }
}

TEST_F(LoadLocalAddress, RelativePathIsTakenFromTheCurrentDirectory)
{
    WriteFile("z_ver.xml", "<r>relative</r>");
    const fs::path saved = fs::current_path();
    fs::current_path(m_folder.path());
    pugi::xml_document doc;
    std::string error;
    const bool loaded = static_cast<bool>(LoadXmlAddress("z_ver.xml", doc, error));
    fs::current_path(saved);
    EXPECT_TRUE(loaded) << error;
    EXPECT_EQ(XmlNodeText(doc.document_element()), "relative");
}

TEST_F(LoadLocalAddress, RefusedAddressesSayWhy)
{
    const std::string path = WriteFile("big.xml", "<r>" + std::string(100, 'x') + "</r>");
    const std::pair<std::string, std::string> refused[] = {
        {"file://server/share/z_ver.xml", "no local path"},
        {"file:///tmp/a%2", "percent escape"},
        {"file:///tmp/a%00b", "percent escape"},
        {"ftp://127.0.0.1/z_ver.xml", "unsupported address scheme"},
        {(m_folder.path() / "missing.xml").string(), "No such file"},
        {m_folder.path().string(), "Is a directory"},
    };
    for (const auto& [address, reason] : refused) {
        pugi::xml_document doc;
        std::string error;
        EXPECT_FALSE(LoadXmlAddress(address, doc, error)) << address;
        EXPECT_NE(error.find(reason), std::string::npos) << address << ": " << error;
    }
    pugi::xml_document doc;
    std::string error;
    EXPECT_FALSE(LoadXmlAddress(path, doc, error, orvane::FetchLimits{1s, 1s, 64}));
    EXPECT_NE(error.find("larger than 64 bytes"), std::string::npos) << error;
}

TEST_F(GetXmlInfLocal, ReadsOnlyTheVersionFromPathAndFileUrl)
{
    const std::string path = WriteFile("z_ver.xml", kServerVersionFile);
    for (const std::string& address : {path, "file://" + path}) {
        EXPECT_NE(GetXmlInf(address), 0) << address;
        EXPECT_EQ(m_inf.strVersion, "2.10");
        EXPECT_EQ(m_inf.strCopyright, "old copyright");
        EXPECT_EQ(m_inf.strUrlDownload, "old download");
    }
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(GetXmlInfLocal, WrongRootGivesZeroWithoutRecord)
{
    const std::string path = WriteFile("z_ver.xml", "<DATAROOT><COMMON_INFO><VERSION_INFO>3"
                                                    "</VERSION_INFO></COMMON_INFO></DATAROOT>");
    EXPECT_EQ(GetXmlInf(path), 0);
    EXPECT_EQ(m_inf.strVersion, "1.0");
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(GetXmlInfLocal, MissingOrMalformedFileWritesTheBareCode)
{
    EXPECT_EQ(GetXmlInf("file://" + (m_folder.path() / "absent.xml").string()), 0);
    ExpectSingleLoadFailureRecord();

    const ErrorLogTail afterFirst(g_ErrorLog.Folder());
    EXPECT_EQ(GetXmlInf(WriteFile("bad.xml", "<dataroot><COMMON_INFO></dataroot>")), 0);
    EXPECT_EQ(afterFirst.NewLines().size(), 1u);
}

TEST_F(LocalVersionEncoding, Utf16LittleEndianWithByteOrderMark)
{
    const std::u16string text =
        u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><dataroot><COMMON_INFO>"
        u"<VERSION_INFO>3.04</VERSION_INFO><COPYRIGHT>版权所有 ©</COPYRIGHT></COMMON_INFO></dataroot>";
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    EXPECT_NE(ReadLocal(bytes), 0);
    EXPECT_EQ(m_inf.strVersion, "3.04");
    EXPECT_EQ(m_inf.strCopyright, "版权所有 ©");
}

TEST_F(LocalVersionEncoding, DeclaredLatin1)
{
    EXPECT_NE(ReadLocal(VersionFile{.copyright = "Caf\xE9", .encoding = "ISO-8859-1"}.Text()), 0);
    EXPECT_EQ(m_inf.strCopyright, "Café");
}

TEST_F(LocalVersionEncoding, DeclaredShiftJisIsConvertedWithWindowsMapping)
{
    // "著作権" in Shift_JIS, then 0x5C, which Windows reads as a backslash.
    EXPECT_NE(ReadLocal(VersionFile{.copyright = "\x92\x98\x8D\xEC\x8C\xA0", .downloadUrl = "a\\b",
                                    .encoding = "Shift_JIS"}
                            .Text()),
              0);
    EXPECT_EQ(m_inf.strCopyright, "著作権");
    EXPECT_EQ(m_inf.strUrlDownload, "a\\b");
}

TEST_F(LocalVersionEncoding, UnknownDeclaredEncodingIsALoadFailure)
{
    EXPECT_EQ(ReadLocal(VersionFile{.encoding = "x-no-such-charset"}.Text()), 0);
    ExpectSingleLocalLoadFailureRecord();
}

TEST_F(LocalVersionEncoding, BytesInvalidForTheDeclaredEncodingAreALoadFailure)
{
    EXPECT_EQ(ReadLocal(VersionFile{.copyright = "\xC3\xA9", .encoding = "US-ASCII"}.Text()), 0);
    ExpectSingleLocalLoadFailureRecord();
}

TEST_F(GetXmlInfHttp, NormalAnswer)
{
    LoopbackHttpServer server(kServerVersionFile);
    EXPECT_NE(GetXmlInf(server.Url("/ver/z_ver.xml")), 0);
    EXPECT_EQ(m_inf.strVersion, "2.10");
    EXPECT_EQ(m_inf.strCopyright, "old copyright");
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(GetXmlInfHttp, HttpErrorStatusIsALoadFailure)
{
    LoopbackHttpServer server([](const std::string&, const LoopbackHttpServer::Connection& connection) {
        connection.Answer("404 Not Found", kServerVersionFile);
    });
    EXPECT_EQ(GetXmlInf(server.Url("/z_ver.xml")), 0);
    EXPECT_EQ(m_inf.strVersion, "1.0");
    ExpectSingleLoadFailureRecord();
}

TEST_F(GetXmlInfHttp, SilentServerRunsIntoTheTimeOut)
{
    LoopbackHttpServer server(kServerVersionFile);
    server.HoldRequests(true);
    pugi::xml_document doc;
    std::string error;
    EXPECT_FALSE(LoadXmlAddress(server.Url("/z_ver.xml"), doc, error, kTestLimits));
    EXPECT_NE(error.find("Timeout"), std::string::npos) << error;

    const ErrorLogTail beforeInf(g_ErrorLog.Folder());
    EXPECT_EQ(GetXmlInf(server.Url("/z_ver.xml")), 0);
    EXPECT_EQ(beforeInf.NewLines().size(), 1u);
    ExpectSingleLoadFailureRecord();
}

TEST_F(GetXmlInfHttp, EndlessBodyIsCutAtTheSizeCap)
{
    LoopbackHttpServer server(StreamEndlessly);
    const orvane::FetchLimits generousTime{300ms, 20s, 64 * 1024};
    pugi::xml_document doc;
    std::string error;
    EXPECT_FALSE(LoadXmlAddress(server.Url("/z_ver.xml"), doc, error, generousTime));
    EXPECT_EQ(error, "larger than 65536 bytes");

    EXPECT_EQ(GetXmlInf(server.Url("/z_ver.xml"), generousTime), 0);
    ExpectSingleLoadFailureRecord();
}

TEST_F(GetXmlInfHttp, AnnouncedLengthOverTheCapIsRefused)
{
    LoopbackHttpServer server(kServerVersionFile);
    pugi::xml_document doc;
    std::string error;
    EXPECT_FALSE(LoadXmlAddress(server.Url("/z_ver.xml"), doc, error, orvane::FetchLimits{300ms, 20s, 16}));
    EXPECT_EQ(error, "larger than 16 bytes");
}

TEST_F(GetXmlInfHttp, StopRequestCutsOffAHangingFetchQuietly)
{
    LoopbackHttpServer server(kServerVersionFile);
    server.HoldRequests(true);
    const orvane::FetchLimits longWait{20s, 60s, 64 * 1024};
    int requests = 0;
    for (const bool throughGetXmlInf : {false, true}) {
        std::stop_source stopper;
        std::string error;
        auto fetch = std::async(std::launch::async, [&] {
            if (throughGetXmlInf)
                return GetXmlInf(server.Url("/z_ver.xml"), longWait, stopper.get_token());
            pugi::xml_document doc;
            return LoadXmlAddress(server.Url("/z_ver.xml"), doc, error, longWait, stopper.get_token())
                       ? 1
                       : 0;
        });
        EXPECT_TRUE(server.WaitForRequests(++requests));
        stopper.request_stop();
        EXPECT_EQ(fetch.get(), 0);
        if (!throughGetXmlInf)
            EXPECT_EQ(error, "aborted");
    }
    EXPECT_EQ(m_inf.strVersion, "1.0");
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(GetXmlInfHttp, StopRequestDoesNotWaitForAHangingNameLookup)
{
    struct ReleaseAtEnd {
        ~ReleaseAtEnd() { HangingLookup::Release(); }
    } releaseAtEnd;
    std::stop_source stopper;
    std::string error;
    auto fetch = std::async(std::launch::async, [&] {
        pugi::xml_document doc;
        return LoadXmlAddress("http://" + std::string(kHangingHost) + "/z_ver.xml", doc, error,
                              orvane::FetchLimits{20s, 60s, 64 * 1024}, stopper.get_token());
    });
    ASSERT_TRUE(HangingLookup::WaitUntilEntered());
    stopper.request_stop();
    EXPECT_EQ(fetch.wait_for(20s), std::future_status::ready);
    HangingLookup::Release();
    EXPECT_FALSE(fetch.get());
    EXPECT_EQ(error, "aborted");
}

TEST_F(GetXmlInfHttp, StopRequestedBeforeTheCallFetchesNothing)
{
    LoopbackHttpServer server(kServerVersionFile);
    std::stop_source stopper;
    stopper.request_stop();
    EXPECT_EQ(GetXmlInf(server.Url("/z_ver.xml"), kTestLimits, stopper.get_token()), 0);
    EXPECT_EQ(GetXmlInf(WriteFile("z_ver.xml", kServerVersionFile), kTestLimits, stopper.get_token()), 0);
    EXPECT_EQ(m_inf.strVersion, "1.0");
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(GetXmlInfHttp, ConnectionRefused)
{
    const std::string url = UnusedLoopbackUrl("/z_ver.xml");
    pugi::xml_document doc;
    std::string error;
    EXPECT_FALSE(LoadXmlAddress(url, doc, error, kTestLimits));
    EXPECT_NE(error.find("connect"), std::string::npos) << error;

    EXPECT_EQ(GetXmlInf(url), 0);
    ExpectSingleLoadFailureRecord();
}

TEST_F(GetXmlInfHttp, RedirectsAreFollowedOnlyToHttp)
{
    const std::string localFile = WriteFile("z_ver.xml", kServerVersionFile);
    LoopbackHttpServer server([&](const std::string& path, const LoopbackHttpServer::Connection& connection) {
        if (path == "/to-file")
            connection.Answer("302 Found", "", "Location: file://" + localFile + "\r\n");
        else if (path == "/moved")
            connection.Answer("301 Moved Permanently", "", "Location: /z_ver.xml\r\n");
        else if (path == "/loop")
            connection.Answer("302 Found", "", "Location: /loop\r\n");
        else
            connection.Answer("200 OK", kServerVersionFile);
    });

    EXPECT_NE(GetXmlInf(server.Url("/moved")), 0);
    EXPECT_EQ(m_inf.strVersion, "2.10");
    EXPECT_TRUE(m_log.NewLines().empty());

    pugi::xml_document doc;
    std::string error;
    EXPECT_FALSE(LoadXmlAddress(server.Url("/to-file"), doc, error, kTestLimits));
    EXPECT_NE(error.find("file"), std::string::npos) << error;
    EXPECT_FALSE(LoadXmlAddress(server.Url("/loop"), doc, error, kTestLimits));
    EXPECT_NE(error.find("redirect"), std::string::npos) << error;

    EXPECT_EQ(GetXmlInf(server.Url("/to-file")), 0);
    EXPECT_EQ(m_inf.strVersion, "1.0");
    ExpectSingleLoadFailureRecord();
}

}  // namespace
