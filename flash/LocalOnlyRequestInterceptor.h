#pragma once
// Keeps the player page off the network: only local regular files (and
// in-page data and blob addresses) may be requested. A missing file is left
// to the engine to report.

#include <QWebEngineUrlRequestInterceptor>

namespace orvane {

class LocalOnlyRequestInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};

}  // namespace orvane
