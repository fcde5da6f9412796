#pragma once
// The host object the page shell reaches over QWebChannel as "host". Its
// slots are called by the page (and keep the page's JavaScript names); it
// turns them into signals for RufflePlayer.

#include <QObject>
#include <QString>
#include <QVariant>

namespace orvane {

class RuffleBridge : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

public slots:
    // The channel is up: the page can take the movie.
    void pageReady() { emit Ready(); }
    // The movie called ExternalInterface.call(name, ...arguments): a tagged
    // string and tagged values (PageValues.h).
    void flashCall(const QVariant& name, const QVariantList& arguments);
    void fsCommand(const QString& command, const QString& args) { emit MovieCommand(command, args); }
    void movieLoaded() { emit Loaded(); }
    void movieFailed(const QString& reason) { emit Failed(reason); }

signals:
    void Ready();
    // The "invoke" request text of the movie's call.
    void ExternalCall(const QString& request);
    void MovieCommand(const QString& command, const QString& args);
    void Loaded();
    void Failed(const QString& reason);
};

}  // namespace orvane
