#include "LocalOnlyRequestInterceptor.h"

#include "FlashLog.h"

#include <QFile>

#include <sys/stat.h>

namespace orvane {

namespace {

// A local file the page may read: a regular file. A FIFO, a device or a
// socket at the name would hold the engine's reading thread, and with it the
// end of the program; a folder is nothing the player reads.
bool IsReadableFile(const QUrl& url)
{
    struct stat status {};
    const QByteArray path = QFile::encodeName(url.toLocalFile());
    return ::stat(path.constData(), &status) != 0 || S_ISREG(status.st_mode);
}

}  // namespace

void LocalOnlyRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    const QUrl url = info.requestUrl();
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("data") || scheme == QLatin1String("blob"))
        return;
    if (scheme == QLatin1String("file")) {
        if (IsReadableFile(url))
            return;
        qCWarning(lcFlash) << "Refused a local file that is not a regular file:" << url.toLocalFile();
    } else {
        qCWarning(lcFlash) << "Blocked a network request of the Flash movie:" << url.toString();
    }
    info.block(true);
}

}  // namespace orvane
