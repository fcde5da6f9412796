#include "LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

using orvane::detail::FileDescriptor;

namespace {

// A TCP socket bound to a free port of 127.0.0.1, and that port.
FileDescriptor BoundLoopbackSocket(int& port)
{
    FileDescriptor socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (!socket || ::bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot bind a socket on 127.0.0.1");
    port = ntohs(address.sin_port);
    return socket;
}

std::string LoopbackUrl(int port, std::string_view path)
{
    return "http://127.0.0.1:" + std::to_string(port) + std::string(path);
}

}  // namespace

bool LoopbackHttpServer::Connection::Send(std::string_view bytes) const
{
    while (!bytes.empty()) {
        if (!m_server.WaitFor(m_client, POLLOUT))
            return false;
        const ssize_t sent = ::send(m_client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

bool LoopbackHttpServer::Connection::Answer(std::string_view status, std::string_view body,
                                            std::string_view extraHeaders) const
{
    return Send("HTTP/1.1 " + std::string(status) + "\r\nContent-Type: text/xml\r\nContent-Length: "
                + std::to_string(body.size()) + "\r\nConnection: close\r\n" + std::string(extraHeaders) + "\r\n"
                + std::string(body));
}

void LoopbackHttpServer::Connection::Hang() const
{
    char ignored[256];
    while (m_server.WaitFor(m_client, POLLIN) && ::recv(m_client, ignored, sizeof ignored, 0) > 0) {
    }
}

LoopbackHttpServer::LoopbackHttpServer(Handler handler) : m_handler(std::move(handler))
{
    int stopPipe[2];
    if (::pipe2(stopPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    m_stopReader.reset(stopPipe[0]);
    m_stopWriter.reset(stopPipe[1]);
    m_listener = BoundLoopbackSocket(m_port);
    if (::listen(m_listener.get(), 8) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    m_thread = std::thread([this] { Serve(); });
}

LoopbackHttpServer::LoopbackHttpServer(std::string body)
    : LoopbackHttpServer([body = std::move(body)](const std::string&, const Connection& connection) {
          connection.Answer("200 OK", body);
      })
{
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    const char stop = 's';
    [[maybe_unused]] const auto written = orvane::detail::WriteAll(m_stopWriter.get(), &stop, 1);
    m_thread.join();
}

std::string LoopbackHttpServer::Url(std::string_view path) const { return LoopbackUrl(m_port, path); }

std::vector<std::string> LoopbackHttpServer::RequestedPaths() const
{
    const std::lock_guard lock(m_mutex);
    return m_paths;
}

bool LoopbackHttpServer::WaitForRequests(std::size_t count) const
{
    std::unique_lock lock(m_mutex);
    return m_requestTaken.wait_until(lock, m_deadline, [&] { return m_paths.size() >= count; });
}

bool LoopbackHttpServer::WaitFor(int fd, short events) const
{
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(m_deadline - std::chrono::steady_clock::now());
    pollfd fds[] = {{fd, events, 0}, {m_stopReader.get(), POLLIN, 0}};
    return left.count() > 0 && ::poll(fds, 2, static_cast<int>(left.count())) > 0 && !fds[1].revents;
}

void LoopbackHttpServer::Serve()
{
    while (WaitFor(m_listener.get(), POLLIN)) {
        const FileDescriptor client(::accept4(m_listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (client)
            Take(client.get());
    }
}

void LoopbackHttpServer::Take(int client)
{
    std::string head;
    char buffer[1024];
    while (head.find("\r\n\r\n") == std::string::npos) {
        if (!WaitFor(client, POLLIN))
            return;
        const ssize_t received = ::recv(client, buffer, sizeof buffer, 0);
        if (received <= 0)
            return;
        head.append(buffer, static_cast<std::size_t>(received));
    }
    // "GET /path HTTP/1.1"
    const std::size_t start = head.find(' ') + 1;
    const std::string path = head.substr(start, head.find(' ', start) - start);
    {
        const std::lock_guard lock(m_mutex);
        m_paths.push_back(path);
    }
    m_requestTaken.notify_all();

    const Connection connection(*this, client);
    if (m_hold)
        connection.Hang();
    else
        m_handler(path, connection);
}

std::string UnusedLoopbackUrl(std::string_view path)
{
    int port = 0;
    BoundLoopbackSocket(port);  // closed again at once: nothing listens there
    return LoopbackUrl(port, path);
}
