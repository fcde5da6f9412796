#include "LocalOnlyRequestInterceptor.h"

#include "FlashLog.h"

void LocalOnlyRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    const QString scheme = info.requestUrl().scheme();
    if (scheme == QLatin1String("file") || scheme == QLatin1String("data") || scheme == QLatin1String("blob"))
        return;
    qCWarning(lcFlash) << "Blocked a network request of the Flash movie:" << info.requestUrl().toString();
    info.block(true);
}
