#include "korvanta/core/sound_resource.h"

#include <QCoreApplication>
#include <QFile>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include "korvanta/resources/resource_names.h"

bool PlaySoundResource(int id) {
    const QString path = QString::fromStdString(SoundResourcePath(id));
    if (!QFile::exists(path)) return false;
    if (QMediaDevices::audioOutputs().isEmpty() || !QCoreApplication::instance()) return true;
    // The effect belongs to the application until it has played.
    auto* effect = new QSoundEffect(QCoreApplication::instance());
    QObject::connect(effect, &QSoundEffect::playingChanged, effect, [effect] {
        if (!effect->isPlaying() && effect->status() != QSoundEffect::Loading) effect->deleteLater();
    });
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [effect] {
        if (effect->status() == QSoundEffect::Error) effect->deleteLater();
    });
    effect->setSource(QUrl("qrc" + path));
    effect->play();
    return true;
}
