// Button sounds: TepWave holds the bytes of one WAV file; TepWavePlayer
// plays its wave from memory with the chosen options, between its
// BeforePlay and AfterPlay events.
#pragma once

#include "Classes.h"

#include <string>

class TepWave : public TPersistent {
public:
    std::string ClassName() const override { return "TepWave"; }

    // Replace the data by the whole stream or file; signal a change.
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& stream) const;
    void SaveToFile(const std::string& fileName) const;
    // Another wave's data is copied; nullptr only signals a change.
    void Assign(TPersistent* Source) override;

    const std::string& Data() const { return data_; }
    bool Empty() const { return data_.empty(); }
    bool Modified() const { return modified_; }
    TNotifyEvent OnChange;

private:
    void changed();
    std::string data_;
    bool modified_ = false;
};

enum TepWavePlayOpt { wpoSync, wpoAsync, wpoNoDefault, wpoLoop, wpoNoStop };

class TepWavePlayOpts {
public:
    TepWavePlayOpts() = default;
    TepWavePlayOpts(std::initializer_list<TepWavePlayOpt> items) {
        for (auto i : items) bits_ |= 1u << i;
    }
    bool Contains(TepWavePlayOpt i) const { return bits_ & (1u << i); }

private:
    unsigned bits_ = 0;
};

class TepWavePlayer : public TComponent {
public:
    explicit TepWavePlayer(TComponent* AOwner);
    ~TepWavePlayer() override;
    std::string ClassName() const override { return "TepWavePlayer"; }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    TepWavePlayOpts Options() const { return options_; }
    void SetOptions(TepWavePlayOpts v) { options_ = v; }
    TepWave* Wave() { return &wave_; }
    void SetWave(TepWave* v) { wave_.Assign(v); }
    // The flags handed to the play call: memory always, plus one per option.
    unsigned PlayFlags() const;

    // BeforePlay, the sound when Enabled, AfterPlay.
    void Play();

    TNotifyEvent BeforePlay;
    TNotifyEvent AfterPlay;

private:
    bool enabled_ = true;
    TepWavePlayOpts options_{wpoSync};
    TepWave wave_;
};
