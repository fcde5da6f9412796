#include "ShockwaveFlash.h"

#include "InitialProperties.h"

#include <QVBoxLayout>
#include <QtGlobal>

CShockwaveFlash::CShockwaveFlash(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setFocusPolicy(Qt::StrongFocus);
}

CShockwaveFlash::~CShockwaveFlash() = default;

void CShockwaveFlash::Attach(std::unique_ptr<orvane::FlashPlayer> player, const QByteArray& initialProperties)
{
    m_player = std::move(player);
    if (!m_player)
        return;
    if (const auto properties = orvane::ParseInitialProperties(initialProperties))
        m_player->ApplyProperties(*properties);
    else
        qWarning("The Flash control's initial properties are damaged; the player keeps its defaults.");
    connect(m_player.get(), &orvane::FlashPlayer::FlashCall, this, &CShockwaveFlash::FlashCall);
    connect(m_player.get(), &orvane::FlashPlayer::FSCommand, this, &CShockwaveFlash::FSCommand);
    connect(m_player.get(), &orvane::FlashPlayer::Stopped, this, &CShockwaveFlash::PlayerStopped);
    if (QWidget* view = m_player->View()) {
        layout()->addWidget(view);
        setFocusProxy(view);
    }
}

orvane::FlashPlayer& CShockwaveFlash::Player()
{
    if (!m_player)
        throw orvane::FlashCallError("The Flash control has not been created.");
    return *m_player;
}

void CShockwaveFlash::LoadMovie(int layer, const QString& url) { Player().LoadMovie(layer, url); }

void CShockwaveFlash::Zoom(int factor) { Player().Zoom(factor); }

void CShockwaveFlash::StopPlay() { Player().StopPlay(); }

QString CShockwaveFlash::CallFunction(const QString& request) { return Player().CallFunction(request); }

std::int32_t CShockwaveFlash::FlashVersion() { return Player().FlashVersion(); }

void CShockwaveFlash::Restart() { Player().Restart(); }

void CShockwaveFlash::ServeInPlaceOf(const QString& name, const std::optional<QByteArray>& bytes)
{
    Player().ServeInPlaceOf(name, bytes);
}
