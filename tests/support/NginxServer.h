#pragma once
// Test helper: nginx on 127.0.0.1 serving a web root through copies of the
// sites in docs/nginx-updates.conf (the publisher's guide's configuration),
// with its configuration, pid file, logs and temporary files in a folder of
// its own. It runs as a child process without master or daemon mode, killed
// when the helper is destroyed and when the test process dies. Failures throw
// std::runtime_error with nginx's error log.

#include "TestAuthority.h"

#include <QProcess>
#include <QString>

#include <string>
#include <string_view>
#include <vector>

class NginxServer {
public:
    // One copy of the guide's sites, on ports of its own.
    struct Site {
        int httpPort = 0;
        int httpsPort = 0;
        std::string HttpUrl(std::string_view path) const;
        std::string HttpsUrl(std::string_view path) const;
    };

    NginxServer(QString folder, QString webRoot);
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    // Adds a copy of the sites served with certificate on two free ports;
    // testLocations (nginx location blocks) go into its HTTPS server first.
    Site AddSite(const QString& name, const TestAuthority::Certificate& certificate, const QString& testLocations = {});
    // Starts nginx and waits until every site's ports take connections.
    void Start();

private:
    QString ErrorLog() const;

    const QString m_folder;
    const QString m_webRoot;
    std::vector<int> m_ports;
    QProcess m_process;
};
