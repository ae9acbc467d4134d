#include "surface/Oscillator.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace {
constexpr double twoPi = 6.283185307179586;

// A repeatable value in -1..1 for a whole cycle number.
double latticeValue(int64_t cycle)
{
    uint64_t h = uint64_t(cycle) * 0x9E3779B97F4A7C15ull;
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
    return double(h >> 11) / double(uint64_t(1) << 53) * 2.0 - 1.0;
}

double noise(double phase)
{
    const double wrapped = std::fmod(phase, 65536.0);
    const double start = std::floor(wrapped);
    const double f = wrapped - start;
    const double eased = f * f * (3.0 - 2.0 * f);
    const double from = latticeValue(int64_t(start));
    return from + (latticeValue(int64_t(start) + 1) - from) * eased;
}
} // namespace

float Oscillator::shape(Waveform function, double phase)
{
    const double f = phase - std::floor(phase); // 0 <= f < 1
    switch (function) {
    case Waveform::sine:
        return float(std::sin(twoPi * f));
    case Waveform::triangle:
        return float(f < 0.25 ? 4.0 * f : f < 0.75 ? 2.0 - 4.0 * f : 4.0 * f - 4.0);
    case Waveform::square:
        return f < 0.5 ? 1.0f : -1.0f;
    case Waveform::sawtooth:
        return float(f);
    case Waveform::inverseSawtooth:
        return float(1.0 - f);
    case Waveform::noise:
        return float(noise(phase));
    }
    return 0.0f;
}

float Oscillator::value(const Material::Wave& wave, double seconds) { return value(wave, seconds, 0.0); }

float Oscillator::value(const Material::Wave& wave, double seconds, double extraPhase)
{
    const double phase = double(wave.phase) + extraPhase + seconds * double(wave.frequency);
    const double result = double(wave.base) + double(wave.amplitude) * shape(wave.function, phase);
    return float(std::clamp(result, -double(FLT_MAX), double(FLT_MAX)));
}
