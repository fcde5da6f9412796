#include "NginxServer.h"

#include "PosixFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>

#include <chrono>
#include <stdexcept>

using orvane::detail::FileDescriptor;

namespace {

sockaddr_in LoopbackAddress(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

// A port of 127.0.0.1 that was free a moment ago.
int FreeLoopbackPort()
{
    const FileDescriptor socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address = LoopbackAddress(0);
    socklen_t length = sizeof address;
    if (!socket || ::bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot bind a socket on 127.0.0.1");
    return ntohs(address.sin_port);
}

bool TakesConnections(int port)
{
    const FileDescriptor socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const sockaddr_in address = LoopbackAddress(port);
    return socket && ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

QString ReadText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return QString::fromUtf8(file.readAll());
}

void WriteText(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0)
        throw std::runtime_error("cannot write " + path.toStdString());
}

std::string Url(const char* scheme, int port, std::string_view path)
{
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port) + std::string(path);
}

}  // namespace

std::string NginxServer::Site::HttpUrl(std::string_view path) const
{
    return Url("http", httpPort, path);
}

std::string NginxServer::Site::HttpsUrl(std::string_view path) const
{
    return Url("https", httpsPort, path);
}

NginxServer::NginxServer(QString folder, QString webRoot) : m_folder(std::move(folder)), m_webRoot(std::move(webRoot))
{
    if (!QDir().mkpath(m_folder + "/temp"))
        throw std::runtime_error("cannot create " + m_folder.toStdString());
    // Debian's nginx.conf around the sites, every path in the folder.
    WriteText(m_folder + "/nginx.conf", QStringLiteral("master_process off;\n"
                                                       "daemon off;\n"
                                                       "pid %1/nginx.pid;\n"
                                                       "error_log %1/error.log;\n"
                                                       "events { worker_connections 64; }\n"
                                                       "http {\n"
                                                       "    default_type application/octet-stream;\n"
                                                       "    access_log %1/access.log;\n"
                                                       "    client_body_temp_path %1/temp/body;\n"
                                                       "    proxy_temp_path %1/temp/proxy;\n"
                                                       "    fastcgi_temp_path %1/temp/fastcgi;\n"
                                                       "    uwsgi_temp_path %1/temp/uwsgi;\n"
                                                       "    scgi_temp_path %1/temp/scgi;\n"
                                                       "    include %1/site-*.conf;\n"
                                                       "}\n")
                                            .arg(m_folder));
}

NginxServer::~NginxServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

NginxServer::Site NginxServer::AddSite(const QString& name, const TestAuthority::Certificate& certificate,
                                       const QString& testLocations)
{
    const Site site{FreeLoopbackPort(), FreeLoopbackPort()};
    QString sites = ReadText(QStringLiteral(ORVANE_NGINX_SITES_TEMPLATE));
    sites.insert(sites.indexOf(QStringLiteral("    location /torvex-z/ {")), testLocations);
    sites.replace("@HTTPS_LISTEN@", QStringLiteral("127.0.0.1:%1").arg(site.httpsPort))
        .replace("@HTTP_LISTEN@", QStringLiteral("127.0.0.1:%1").arg(site.httpPort))
        .replace("@HTTPS_HOST@", QStringLiteral("127.0.0.1:%1").arg(site.httpsPort))
        .replace("@SERVER_NAME@", QStringLiteral("127.0.0.1 localhost"))
        .replace("@CERTIFICATE@", certificate.certificate)
        .replace("@CERTIFICATE_KEY@", certificate.key)
        .replace("@ROOT@", m_webRoot);
    WriteText(m_folder + "/site-" + name + ".conf", sites);
    m_ports.push_back(site.httpPort);
    m_ports.push_back(site.httpsPort);
    return site;
}

void NginxServer::Start()
{
    QString nginx = QStandardPaths::findExecutable(QStringLiteral("nginx"));
    if (nginx.isEmpty())
        nginx = QStandardPaths::findExecutable(QStringLiteral("nginx"), {"/usr/sbin", "/usr/local/sbin"});
    if (nginx.isEmpty())
        throw std::runtime_error("nginx is not installed (scripts/install-deps.sh installs it)");
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    // -e: the log of the start, before the configuration is read.
    m_process.start(nginx, {"-p", m_folder, "-c", m_folder + "/nginx.conf", "-e", m_folder + "/error.log"});
    if (!m_process.waitForStarted(10000))
        throw std::runtime_error("nginx did not start: " + m_process.errorString().toStdString());

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int port : m_ports) {
        while (!TakesConnections(port)) {
            if (m_process.state() == QProcess::NotRunning || std::chrono::steady_clock::now() > deadline)
                throw std::runtime_error("nginx is not serving on port " + std::to_string(port) + ":\n"
                                         + ErrorLog().toStdString());
            QThread::msleep(20);
        }
    }
}

QString NginxServer::ErrorLog() const
{
    QFile log(m_folder + "/error.log");
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QStringLiteral("(no error log)");
}
