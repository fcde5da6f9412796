#pragma once
// Test helper: an HTTP server on 127.0.0.1 (and no other address) for one
// test, on a thread of its own. It takes one connection at a time, reads the
// request head, records the requested path and hands the connection to its
// handler, or holds it unanswered while told to. Bounded whatever a client or
// a handler does: it stops when destroyed and by itself kLifetime after it
// started.

#include "PosixFile.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class LoopbackHttpServer {
public:
    static constexpr std::chrono::seconds kLifetime{20};

    // The connection of one request, for the handler.
    class Connection {
    public:
        Connection(const LoopbackHttpServer& server, int client) : m_server(server), m_client(client) {}
        // Sends raw bytes; false once the client has gone or the server is
        // stopping or out of time.
        bool Send(std::string_view bytes) const;
        // A whole answer with its length; extraHeaders are lines ending in "\r\n".
        bool Answer(std::string_view status, std::string_view body, std::string_view extraHeaders = {}) const;
        // Holds the connection unanswered until the client hangs up or the
        // server stops.
        void Hang() const;

    private:
        const LoopbackHttpServer& m_server;
        int m_client;
    };
    // Called on the server's thread with the requested path ("/a/z_ver.xml").
    using Handler = std::function<void(const std::string& path, const Connection&)>;

    explicit LoopbackHttpServer(Handler handler);
    // Answers every request "200 OK" with the body.
    explicit LoopbackHttpServer(std::string body);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    std::string Url(std::string_view path) const;
    // While on, every request is taken and recorded but never answered.
    void HoldRequests(bool hold) { m_hold = hold; }
    std::vector<std::string> RequestedPaths() const;
    // Waits until count requests have come in; false when the server's time
    // ran out first.
    [[nodiscard]] bool WaitForRequests(std::size_t count) const;

private:
    // Waits until fd is ready for events; false when the server is stopping
    // or out of time.
    bool WaitFor(int fd, short events) const;
    void Serve();
    void Take(int client);

    const Handler m_handler;
    const std::chrono::steady_clock::time_point m_deadline = std::chrono::steady_clock::now() + kLifetime;
    std::atomic<bool> m_hold = false;
    orvane::detail::FileDescriptor m_stopReader;
    orvane::detail::FileDescriptor m_stopWriter;
    orvane::detail::FileDescriptor m_listener;
    int m_port = 0;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_requestTaken;
    std::vector<std::string> m_paths;
    std::thread m_thread;
};

// An http:// address on 127.0.0.1 where nothing listens.
std::string UnusedLoopbackUrl(std::string_view path);
