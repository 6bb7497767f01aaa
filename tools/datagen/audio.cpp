// Sound effects, synthesised: filtered noise for whooshes and impacts, a
// formant voice for shouts.  All mono 16-bit PCM at 22050 Hz.
#include "datagen.h"
#include "sound/soundList.h"

#include <algorithm>
#include <cmath>

namespace gen {

namespace {

const int kRate = 22050;

// Resonant band-pass (state-variable filter), retunable per sample.
struct BandPass {
    double low = 0, band = 0;
    double run(double in, double freq, double q) {
        double f = 2.0 * sinDeg(180.0 * clampd(freq, 20.0, kRate / 6.0) / kRate);
        double high = in - low - band / q;
        band += f * high;
        low += f * band;
        return band;
    }
};

struct LowPass {
    double y = 0;
    double run(double in, double k) { return y += k * (in - y); }
};

std::vector<double> silence(double seconds) {
    return std::vector<double>(static_cast<size_t>(seconds * kRate), 0.0);
}

// Attack-decay envelope shaped like a smooth bump; 0 outside [0, 1].
double bump(double t, double attack) {
    if (t <= 0 || t >= 1) return 0;
    if (t < attack) return t / attack;
    double u = (t - attack) / (1.0 - attack);
    return (1.0 - u) * (1.0 - u);
}

void normalise(std::vector<double>& s, double peak) {
    double m = 0;
    for (double v : s)
        m = std::max(m, std::fabs(v));
    if (m > 0)
        for (double& v : s)
            v *= peak / m;
    // short fades so no sound clicks at its ends
    size_t fade = std::min<size_t>(s.size() / 2, 64);
    for (size_t i = 0; i < fade; ++i) {
        s[i] *= static_cast<double>(i) / fade;
        s[s.size() - 1 - i] *= static_cast<double>(i) / fade;
    }
}

std::vector<double> whoosh(double seconds, double f0, double f1, double q, uint32_t seed) {
    std::vector<double> s = silence(seconds);
    Rng rng(seed);
    BandPass bp;
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / s.size();
        double f = f0 + (f1 - f0) * t;
        s[i] = bp.run(rng.signedUnit(), f, q) * bump(t, 0.45);
    }
    normalise(s, 0.55);
    return s;
}

std::vector<double> impact(double seconds, double f0, double f1, double noiseAmount, uint32_t seed,
                           double peak) {
    std::vector<double> s = silence(seconds);
    Rng rng(seed);
    LowPass lp;
    double phase = 0;
    double env = 1.0, nenv = 1.0;
    double decay = 1.0 - 6.0 / s.size(), ndecay = 1.0 - 40.0 / s.size();
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / s.size();
        double f = f0 + (f1 - f0) * t;
        phase += 360.0 * f / kRate;
        if (phase > 360.0) phase -= 360.0;
        s[i] = sinDeg(phase) * env + lp.run(rng.signedUnit(), 0.35) * noiseAmount * nenv;
        env *= decay;
        nenv *= ndecay;
    }
    normalise(s, peak);
    return s;
}

std::vector<double> clack() {
    std::vector<double> s = silence(0.16);
    Rng rng(5);
    const double partials[] = {820, 1330, 2150, 3120};
    double env = 1.0;
    for (size_t i = 0; i < s.size(); ++i) {
        double v = 0;
        for (int k = 0; k < 4; ++k)
            v += sinDeg(360.0 * partials[k] * i / kRate) / (k + 1);
        double click = i < 200 ? rng.signedUnit() * (1.0 - i / 200.0) : 0.0;
        s[i] = v * env + click * 1.5;
        env *= 0.9985;
    }
    normalise(s, 0.55);
    return s;
}

std::vector<double> roar() {
    std::vector<double> s = silence(0.45);
    Rng rng(77);
    BandPass bp;
    LowPass lp;
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / s.size();
        double f = 180 + 520 * t;
        phase += 360.0 * f / kRate;
        if (phase > 360.0) phase -= 360.0;
        double wobble = 1.0 + 0.35 * sinDeg(360.0 * 28.0 * i / kRate);
        double noise = bp.run(rng.signedUnit(), 300 + 1400 * t, 1.2);
        double tone = lp.run(sinDeg(phase) + 0.5 * sinDeg(2 * phase), 0.3);
        s[i] = (noise * 1.4 + tone * 0.6) * wobble * bump(t, 0.2);
    }
    normalise(s, 0.6);
    return s;
}

// A short voice: a buzzing glottal wave through two vowel formants.
std::vector<double> voice(double seconds, double pitch0, double pitch1, double fA, double fB,
                          double breath, uint32_t seed) {
    std::vector<double> s = silence(seconds);
    Rng rng(seed);
    BandPass b1, b2, b3;
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / s.size();
        double pitch = pitch0 + (pitch1 - pitch0) * t + 4.0 * sinDeg(360.0 * 6.0 * i / kRate);
        phase += pitch / kRate;
        if (phase >= 1.0) phase -= 1.0;
        double glottal = phase < 0.4 ? sinDeg(180.0 * phase / 0.4) : -0.25;
        double src = glottal + breath * rng.signedUnit();
        double formantShift = 1.0 - 0.15 * t;
        double v = b1.run(src, fA * formantShift, 6) + 0.7 * b2.run(src, fB * formantShift, 8) +
                   0.25 * b3.run(src, 2600, 10);
        s[i] = v * bump(t, 0.08);
    }
    normalise(s, 0.6);
    return s;
}

struct Sound {
    std::string name;
    std::vector<double> samples;
};

// A sound folder: its list, in this order, and one <name>.wav per sound, so
// the list names exactly the files written beside it.
void writeSoundFolder(Writer& out, const std::string& folder, const std::vector<Sound>& sounds) {
    std::vector<listedSound> names;
    for (const Sound& sound : sounds) {
        names.push_back({sound.name});
        out.bytes(folder + "/" + sound.name + ".wav", wav16(sound.samples, kRate));
    }
    out.text(folder + "/sound", soundList::text(names));
}

} // namespace

void writeSounds(Writer& out) {
    writeSoundFolder(out, "soundSet",
                     {{"hit", impact(0.22, 220, 60, 1.6, 1, 0.7)},
                      {"block", clack()},
                      {"whoosh", whoosh(0.28, 500, 1600, 1.6, 2)},
                      {"fireball", roar()},
                      {"step", impact(0.07, 90, 60, 0.8, 3, 0.3)}});
    // the character's own sounds
    writeSoundFolder(out, "Tavro/sound",
                     {{"punch", whoosh(0.14, 1400, 2600, 2.0, 4)},
                      {"kick", whoosh(0.22, 700, 1300, 1.4, 5)},
                      {"shout", voice(0.32, 230, 175, 780, 1220, 0.15, 6)},
                      {"hurt", voice(0.26, 170, 120, 520, 900, 0.3, 7)},
                      {"jab", whoosh(0.1, 1900, 3400, 2.4, 9)},
                      {"lowKick", whoosh(0.2, 260, 800, 1.3, 10)},
                      {"rising", whoosh(0.3, 500, 2400, 1.8, 11)},
                      {"rumble", impact(0.45, 70, 35, 2.2, 12, 0.75)}});
}

} // namespace gen
