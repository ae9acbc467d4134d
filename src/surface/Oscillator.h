#pragma once

#include "level/Material.h"

// The periodic values of material scripts: a waveform's shape over one cycle and a wave's
// value at a time. Pure: the same wave at the same time gives the same value, noise included.
class Oscillator {
public:
    // The shape at `phase` cycles. sine, triangle and square run -1..1 and start at 0 (square
    // at 1) rising; the sawtooths run 0..1 (up, and down from 1); noise runs -1..1 smoothly
    // through a new random value at every whole cycle, repeating after 65536 cycles.
    static float shape(Waveform function, double phase);

    // base + amplitude x shape(phase + seconds x frequency).
    static float value(const Material::Wave& wave, double seconds);
    // The same with `extraPhase` cycles added (a deform's spread over positions).
    static float value(const Material::Wave& wave, double seconds, double extraPhase);
};
