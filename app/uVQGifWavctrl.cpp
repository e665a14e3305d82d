// Button sounds; see uVQGifWavctrl.h.
#include "uVQGifWavctrl.h"

#include "Sound.h"
#include "SysUtils.h"

namespace {
// Not in the sound layer's list: "do not stop a sound that is playing".
constexpr unsigned SndNoStop = 0x10;
} // namespace

void TepWave::changed() {
    modified_ = true;
    if (OnChange) OnChange(this);
}

void TepWave::LoadFromStream(TStream& stream) {
    data_ = stream.ReadRest();
    changed();
}

void TepWave::LoadFromFile(const std::string& fileName) {
    data_ = ReadFileBytes(fileName);
    changed();
}

void TepWave::SaveToStream(TStream& stream) const { stream.WriteBuffer(data_); }

void TepWave::SaveToFile(const std::string& fileName) const { AtomicWriteFile(fileName, data_); }

void TepWave::Assign(TPersistent* Source) {
    if (!Source) {
        changed();
        return;
    }
    if (auto* other = dynamic_cast<TepWave*>(Source)) {
        data_ = other->data_;
        changed();
        return;
    }
    TPersistent::Assign(Source);
}

TepWavePlayer::TepWavePlayer(TComponent* AOwner) : TComponent(AOwner) {}

TepWavePlayer::~TepWavePlayer() { PlaySoundFromMemory(nullptr, 0, SND_PURGE); }

unsigned TepWavePlayer::PlayFlags() const {
    unsigned flags = SND_MEMORY;
    if (options_.Contains(wpoAsync)) flags |= SND_ASYNC;
    if (options_.Contains(wpoNoDefault)) flags |= SND_NODEFAULT;
    if (options_.Contains(wpoLoop)) flags |= SND_LOOP;
    if (options_.Contains(wpoNoStop)) flags |= SndNoStop;
    return flags;
}

void TepWavePlayer::Play() {
    if (BeforePlay) BeforePlay(this);
    if (enabled_ && !wave_.Empty()) PlaySoundFromMemory(wave_.Data().data(), wave_.Data().size(), PlayFlags());
    if (AfterPlay) AfterPlay(this);
}
