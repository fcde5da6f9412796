#pragma once
// Keeps the player page off the network: only local files (and in-page
// data and blob addresses) may be requested.

#include <QWebEngineUrlRequestInterceptor>

class LocalOnlyRequestInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};
