#pragma once
// The host object the page shell reaches over QWebChannel as "host". Its
// slots are called by the page; it turns them into signals for RufflePlayer.

#include <QObject>
#include <QString>
#include <QVariant>

class RuffleBridge : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

public slots:
    // The channel is up: the page can take the movie.
    void pageReady() { emit ready(); }
    // The movie called ExternalInterface.call(name, ...arguments): a tagged
    // string and tagged values (PageValues.h).
    void flashCall(const QVariant& name, const QVariantList& arguments);
    void fsCommand(const QString& command, const QString& args) { emit movieCommand(command, args); }
    void movieLoaded() { emit loaded(); }
    void movieFailed(const QString& reason) { emit failed(reason); }

signals:
    void ready();
    // The "invoke" request text of the movie's call.
    void externalCall(const QString& request);
    void movieCommand(const QString& command, const QString& args);
    void loaded();
    void failed(const QString& reason);
};
