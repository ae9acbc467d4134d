#include "surface/Oscillator.h"

#include <gtest/gtest.h>

#include <set>

TEST(OscillatorTest, ShapesOverOneCycle)
{
    struct Case {
        Waveform function;
        double phase;
        float value;
    };
    const Case cases[] = {
        {Waveform::sine, 0.0, 0.0f},        {Waveform::sine, 0.25, 1.0f},      {Waveform::sine, 0.5, 0.0f},
        {Waveform::sine, 0.75, -1.0f},      {Waveform::sine, 1.25, 1.0f},      {Waveform::sine, -0.25, -1.0f},
        {Waveform::triangle, 0.0, 0.0f},    {Waveform::triangle, 0.125, 0.5f}, {Waveform::triangle, 0.25, 1.0f},
        {Waveform::triangle, 0.5, 0.0f},    {Waveform::triangle, 0.75, -1.0f}, {Waveform::triangle, 0.875, -0.5f},
        {Waveform::square, 0.0, 1.0f},      {Waveform::square, 0.49, 1.0f},    {Waveform::square, 0.5, -1.0f},
        {Waveform::square, 3.99, -1.0f},    {Waveform::sawtooth, 0.0, 0.0f},   {Waveform::sawtooth, 0.25, 0.25f},
        {Waveform::sawtooth, 2.75, 0.75f},  {Waveform::sawtooth, -0.25, 0.75f}, {Waveform::inverseSawtooth, 0.0, 1.0f},
        {Waveform::inverseSawtooth, 0.25, 0.75f}, {Waveform::inverseSawtooth, 1.5, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "function " << int(c.function) << " at phase " << c.phase);
        EXPECT_NEAR(Oscillator::shape(c.function, c.phase), c.value, 1e-6f);
    }
}

TEST(OscillatorTest, AWavesValueAtATime)
{
    struct Case {
        const char* name;
        Material::Wave wave; // function, base, amplitude, phase, frequency
        double seconds;
        float value;
    };
    const Case cases[] = {
        {"sine at its peak", {Waveform::sine, 0.5f, 0.5f, 0.0f, 2.0f}, 0.125, 1.0f},
        {"sine at its trough", {Waveform::sine, 0.5f, 0.5f, 0.0f, 2.0f}, 0.375, 0.0f},
        {"the phase shifts the start", {Waveform::square, 1.0f, 2.0f, 0.5f, 1.0f}, 0.0, -1.0f},
        {"half a cycle later", {Waveform::square, 1.0f, 2.0f, 0.5f, 1.0f}, 0.5, 3.0f},
        {"a slow sawtooth", {Waveform::sawtooth, 0.0f, 1.0f, 0.0f, 0.5f}, 1.0, 0.5f},
        {"no amplitude is the base", {Waveform::noise, 7.0f, 0.0f, 0.3f, 5.0f}, 12.3, 7.0f},
        {"a long run keeps the phase", {Waveform::sine, 0.0f, 1.0f, 0.0f, 1.0f}, 86400.25, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(Oscillator::value(c.wave, c.seconds), c.value, 1e-5f);
    }
}

TEST(OscillatorTest, NoiseIsRepeatableSmoothAndVaries)
{
    std::set<float> atWholeCycles;
    for (int cycle = 0; cycle < 16; ++cycle) {
        const float value = Oscillator::shape(Waveform::noise, cycle);
        EXPECT_EQ(value, Oscillator::shape(Waveform::noise, cycle)) << "the same time gives the same value";
        EXPECT_GE(value, -1.0f);
        EXPECT_LE(value, 1.0f);
        atWholeCycles.insert(value);
        for (double step = 0.0; step < 1.0; step += 0.01) {
            const float here = Oscillator::shape(Waveform::noise, cycle + step);
            EXPECT_LT(std::abs(Oscillator::shape(Waveform::noise, cycle + step + 0.01) - here), 0.04f)
                << "no jumps between neighbouring times";
        }
    }
    EXPECT_GT(atWholeCycles.size(), 12u) << "a new value every cycle";
}
