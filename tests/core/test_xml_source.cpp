// LoadXmlAddress and _GetXmlInf over plain paths, file:// URLs and http://
// against a small server on 127.0.0.1 run by the test itself.

#include "orvane/ErrorLog.h"
#include "orvane/VersionInf.h"

// The core's private loader and text reader, tested directly.
#include "../../core/src/XmlLoader.h"
#include "../../core/src/XmlText.h"

#include "ErrorLogLines.h"
#include "ScopedTempFolder.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

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

const std::string kServerVersionFile =
    "<?xml version=\"1.0\"?><dataroot><COMMON_INFO><VERSION_INFO>2.10</VERSION_INFO>"
    "<COPYRIGHT>server</COPYRIGHT></COMMON_INFO></dataroot>";

// Short limits so that failing fetches end quickly in the tests.
const FetchLimits kTestLimits{300ms, 300ms, 64 * 1024};

class Socket {
public:
    explicit Socket(int fd = -1) : m_fd(fd) {}
    ~Socket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// An HTTP server on 127.0.0.1 that serves one connection at a time on its own
// thread. Each connection's request head goes to the handler, which writes the
// answer (or holds the connection until the server stops).
class LocalHttpServer {
public:
    class Connection {
    public:
        Connection(int client, int stopFd) : m_client(client), m_stopFd(stopFd) {}
        // False once the client has gone or the server is stopping.
        bool Send(const std::string& bytes) const
        {
            for (std::size_t sent = 0; sent < bytes.size();) {
                pollfd fds[] = {{m_client, POLLOUT, 0}, {m_stopFd, POLLIN, 0}};
                if (::poll(fds, 2, -1) < 0 || fds[1].revents)
                    return false;
                const ssize_t n = ::send(m_client, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
                if (n <= 0)
                    return false;
                sent += static_cast<std::size_t>(n);
            }
            return true;
        }
        // Holds the connection open, unanswered, until the client hangs up or
        // the server stops.
        void Hang() const
        {
            char ignored[256];
            for (;;) {
                pollfd fds[] = {{m_client, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
                if (::poll(fds, 2, -1) < 0 || fds[1].revents ||
                    ::recv(m_client, ignored, sizeof ignored, 0) <= 0)
                    return;
            }
        }

    private:
        int m_client;
        int m_stopFd;
    };
    using Handler = std::function<void(const std::string& requestHead, const Connection&)>;

    explicit LocalHttpServer(Handler handler) : m_handler(std::move(handler))
    {
        if (::pipe(m_stopPipe) != 0)
            throw std::runtime_error("pipe failed");
        m_listener = std::make_unique<Socket>(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listener->fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_listener->fd(), 8) != 0 ||
            ::getsockname(m_listener->fd(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("cannot listen on 127.0.0.1");
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }

    ~LocalHttpServer()
    {
        const char stop = 's';
        [[maybe_unused]] const ssize_t written = ::write(m_stopPipe[1], &stop, 1);
        m_thread.join();
        ::close(m_stopPipe[0]);
        ::close(m_stopPipe[1]);
    }

    std::string Url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }

    // Blocks until the server has taken in its count-th request head.
    void WaitForRequest(int count)
    {
        std::unique_lock lock(m_mutex);
        m_requestSeen.wait(lock, [this, count] { return m_requests >= count; });
    }

private:
    void Serve()
    {
        for (;;) {
            pollfd fds[] = {{m_listener->fd(), POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 || fds[1].revents)
                return;
            const Socket client(::accept4(m_listener->fd(), nullptr, nullptr, SOCK_CLOEXEC));
            if (client.fd() < 0)
                continue;
            const Connection connection(client.fd(), m_stopPipe[0]);
            std::string head;
            if (!ReadHead(client.fd(), head))
                return;
            {
                std::lock_guard lock(m_mutex);
                ++m_requests;
            }
            m_requestSeen.notify_all();
            m_handler(head, connection);
        }
    }

    bool ReadHead(int client, std::string& head) const
    {
        char buffer[1024];
        while (head.find("\r\n\r\n") == std::string::npos) {
            pollfd fds[] = {{client, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 || fds[1].revents)
                return false;
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                return true;
            head.append(buffer, static_cast<std::size_t>(n));
        }
        return true;
    }

    Handler m_handler;
    int m_stopPipe[2] = {-1, -1};
    std::unique_ptr<Socket> m_listener;
    int m_port = 0;
    std::mutex m_mutex;
    std::condition_variable m_requestSeen;
    int m_requests = 0;
    std::thread m_thread;
};

std::string HttpAnswer(const std::string& status, const std::string& body,
                       const std::string& extraHeaders = "")
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/xml\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
}

void AnswerVersionFile(const std::string&, const LocalHttpServer::Connection& connection)
{
    connection.Send(HttpAnswer("200 OK", kServerVersionFile));
}

void NeverAnswer(const std::string&, const LocalHttpServer::Connection& connection)
{
    connection.Hang();
}

void StreamEndlessly(const std::string&, const LocalHttpServer::Connection& connection)
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
    int GetXmlInf(const std::string& address, const FetchLimits& limits = kTestLimits,
                  std::stop_token abort = {})
    {
        m_inf = VersionInf{"old copyright", "old download", "old check", "1.0"};
        return _GetXmlInf(address, m_inf, limits, abort);
    }

    void ExpectSingleLoadFailureRecord() const
    {
        const auto lines = m_log.NewLines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].operation, "_GetXmlInf()");
        EXPECT_EQ(lines[0].step, "pDoc->load()");
        EXPECT_EQ(lines[0].message, "(#1005)");
        EXPECT_EQ(lines[0].errorCode, "00000000");
    }

    ScopedTempFolder m_folder;
    ErrorLogTail m_log{g_ErrorLog.Folder()};
    VersionInf m_inf;
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
    const bool loaded = LoadXmlAddress("z_ver.xml", doc, error);
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
    EXPECT_FALSE(LoadXmlAddress(path, doc, error, FetchLimits{1s, 1s, 64}));
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

TEST_F(GetXmlInfHttp, NormalAnswer)
{
    LocalHttpServer server(AnswerVersionFile);
    EXPECT_NE(GetXmlInf(server.Url("/ver/z_ver.xml")), 0);
    EXPECT_EQ(m_inf.strVersion, "2.10");
    EXPECT_EQ(m_inf.strCopyright, "old copyright");
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(GetXmlInfHttp, HttpErrorStatusIsALoadFailure)
{
    LocalHttpServer server([](const std::string&, const LocalHttpServer::Connection& connection) {
        connection.Send(HttpAnswer("404 Not Found", kServerVersionFile));
    });
    EXPECT_EQ(GetXmlInf(server.Url("/z_ver.xml")), 0);
    EXPECT_EQ(m_inf.strVersion, "1.0");
    ExpectSingleLoadFailureRecord();
}

TEST_F(GetXmlInfHttp, SilentServerRunsIntoTheTimeOut)
{
    LocalHttpServer server(NeverAnswer);
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
    LocalHttpServer server(StreamEndlessly);
    const FetchLimits generousTime{300ms, 20s, 64 * 1024};
    pugi::xml_document doc;
    std::string error;
    EXPECT_FALSE(LoadXmlAddress(server.Url("/z_ver.xml"), doc, error, generousTime));
    EXPECT_EQ(error, "larger than 65536 bytes");

    EXPECT_EQ(GetXmlInf(server.Url("/z_ver.xml"), generousTime), 0);
    ExpectSingleLoadFailureRecord();
}

TEST_F(GetXmlInfHttp, AnnouncedLengthOverTheCapIsRefused)
{
    LocalHttpServer server([](const std::string&, const LocalHttpServer::Connection& connection) {
        connection.Send(HttpAnswer("200 OK", kServerVersionFile));
    });
    pugi::xml_document doc;
    std::string error;
    EXPECT_FALSE(LoadXmlAddress(server.Url("/z_ver.xml"), doc, error, FetchLimits{300ms, 20s, 16}));
    EXPECT_EQ(error, "larger than 16 bytes");
}

TEST_F(GetXmlInfHttp, StopRequestCutsOffAHangingFetchQuietly)
{
    LocalHttpServer server(NeverAnswer);
    const FetchLimits longWait{20s, 60s, 64 * 1024};
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
        server.WaitForRequest(++requests);
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
                              FetchLimits{20s, 60s, 64 * 1024}, stopper.get_token());
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
    LocalHttpServer server(AnswerVersionFile);
    std::stop_source stopper;
    stopper.request_stop();
    EXPECT_EQ(GetXmlInf(server.Url("/z_ver.xml"), kTestLimits, stopper.get_token()), 0);
    EXPECT_EQ(GetXmlInf(WriteFile("z_ver.xml", kServerVersionFile), kTestLimits, stopper.get_token()), 0);
    EXPECT_EQ(m_inf.strVersion, "1.0");
    EXPECT_TRUE(m_log.NewLines().empty());
}

TEST_F(GetXmlInfHttp, ConnectionRefused)
{
    int port = 0;
    {
        // A port that was just free and has no listener.
        const Socket probe(::socket(AF_INET, SOCK_STREAM, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ASSERT_EQ(::bind(probe.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(::getsockname(probe.fd(), reinterpret_cast<sockaddr*>(&address), &length), 0);
        port = ntohs(address.sin_port);
    }
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/z_ver.xml";
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
    LocalHttpServer server([&](const std::string& head, const LocalHttpServer::Connection& connection) {
        if (head.starts_with("GET /to-file "))
            connection.Send(HttpAnswer("302 Found", "", "Location: file://" + localFile + "\r\n"));
        else if (head.starts_with("GET /moved "))
            connection.Send(HttpAnswer("301 Moved Permanently", "", "Location: /z_ver.xml\r\n"));
        else if (head.starts_with("GET /loop "))
            connection.Send(HttpAnswer("302 Found", "", "Location: /loop\r\n"));
        else
            AnswerVersionFile(head, connection);
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
