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

void CShockwaveFlash::Attach(std::unique_ptr<FlashPlayer> player, const QByteArray& initialProperties)
{
    m_player = std::move(player);
    if (!m_player)
        return;
    if (const auto properties = ParseInitialProperties(initialProperties))
        m_player->applyProperties(*properties);
    else
        qWarning("The Flash control's initial properties are damaged; the player keeps its defaults.");
    connect(m_player.get(), &FlashPlayer::flashCall, this, &CShockwaveFlash::FlashCall);
    connect(m_player.get(), &FlashPlayer::fsCommand, this, &CShockwaveFlash::FSCommand);
    connect(m_player.get(), &FlashPlayer::stopped, this, &CShockwaveFlash::PlayerStopped);
    if (QWidget* view = m_player->view()) {
        layout()->addWidget(view);
        setFocusProxy(view);
    }
}

FlashPlayer& CShockwaveFlash::Player()
{
    if (!m_player)
        throw CFlashCallError("The Flash control has not been created.");
    return *m_player;
}

void CShockwaveFlash::LoadMovie(int layer, const QString& url) { Player().loadMovie(layer, url); }

void CShockwaveFlash::Zoom(int factor) { Player().zoom(factor); }

void CShockwaveFlash::StopPlay() { Player().stopPlay(); }

QString CShockwaveFlash::CallFunction(const QString& request) { return Player().callFunction(request); }

std::int32_t CShockwaveFlash::FlashVersion() { return Player().flashVersion(); }

void CShockwaveFlash::Restart() { Player().restart(); }
