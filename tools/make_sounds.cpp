// Synthesizes the game's nine samples: make_sounds OUTPUT_FOLDER writes
// 0.WAV .. 8.WAV there (44100 Hz, 16-bit PCM, mono).
//
// Everything is built from square and triangle oscillators, noise from our
// own little generator, one-pole filters, pitch glides and envelopes. Only
// additions and multiplications are used on the samples (no library maths),
// so the output is the same byte for byte on every run and machine.
//
//   0  soft blip (loaded, never played)
//   1  shot: bright downward sweep
//   2  explosion: rumbling noise over a falling thump
//   3  hit: short crisp noise crack with a quick falling tone
//   4-7  march notes, one step of a descending figure each, played 5 6 7 4
//   8  two-tone alarm siren, about 1.5 s
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int RATE = 44100;
using Buffer = std::vector<double>;

int samplesFor(double seconds) { return static_cast<int>(seconds * RATE); }

// --- sources -------------------------------------------------------------

struct Noise {
  uint32_t state;
};

// xorshift32: white noise in [-1, 1).
double nextNoise(Noise& noise) {
  uint32_t x = noise.state;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  noise.state = x;
  return static_cast<double>(x) / 2147483648.0 - 1.0;
}

struct Oscillator {
  double phase = 0.0;  // 0 .. 1
};

// Advances by one sample at the given frequency; returns the phase increment.
double advance(Oscillator& osc, double frequency) {
  double step = frequency / RATE;
  osc.phase += step;
  if (osc.phase >= 1.0) osc.phase -= 1.0;
  return step;
}

// Smooths a jump of the waveform at phase 0 over one sample on each side,
// which keeps high notes from folding back into harsh whistles.
double blepCorrection(double t, double step) {
  if (t < step) {
    t /= step;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - step) {
    t = (t - 1.0) / step;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

double squareWave(const Oscillator& osc, double step) {
  double value = osc.phase < 0.5 ? 1.0 : -1.0;
  double half = osc.phase + 0.5;
  if (half >= 1.0) half -= 1.0;
  return value + blepCorrection(osc.phase, step) - blepCorrection(half, step);
}

// Starts at 0 for phase 0.25, peaks at phase 0.5.
double triangleWave(const Oscillator& osc) {
  double distance = osc.phase - 0.5;
  if (distance < 0.0) distance = -distance;
  return 1.0 - 4.0 * distance;
}

struct Lowpass {
  double value = 0.0;
};

// One-pole low-pass; coefficient 0..1, smaller is darker.
double lowpass(Lowpass& filter, double input, double coefficient) {
  filter.value += coefficient * (input - filter.value);
  return filter.value;
}

// --- shaping ---------------------------------------------------------------

// Exactly 0 on the first and last sample, rising and falling linearly over
// the given lengths: no clicks when the sample starts or ends.
double edges(int i, int count, int attack, int release) {
  double gain = 1.0;
  if (i < attack) gain = static_cast<double>(i) / attack;
  int left = count - 1 - i;
  if (left < release) {
    double tail = static_cast<double>(left) / release;
    if (tail < gain) gain = tail;
  }
  return gain;
}

// Per-sample factor of an exponential decay with the given time constant.
double decayFactor(double seconds) { return 1.0 - 1.0 / (seconds * RATE); }

void scaleToPeak(Buffer& buffer, double peak) {
  double highest = 0.0;
  for (double v : buffer) {
    double magnitude = v < 0.0 ? -v : v;
    if (magnitude > highest) highest = magnitude;
  }
  if (highest == 0.0) return;
  double factor = peak / highest;
  for (double& v : buffer) v *= factor;
}

// Peak levels as fractions of full scale. They leave room for two or three
// sounds at once (a shot, a hit and a march note) before the mix clips.
constexpr double DB_MINUS_5 = 0.5623;
constexpr double DB_MINUS_6 = 0.5012;
constexpr double DB_MINUS_8 = 0.3981;
constexpr double DB_MINUS_14 = 0.1995;

// --- the samples -------------------------------------------------------------

Buffer softBlip() {
  int count = samplesFor(0.06);
  Buffer out(count);
  Oscillator osc;
  osc.phase = 0.25;
  double amplitude = 1.0, decay = decayFactor(0.03);
  for (int i = 0; i < count; ++i) {
    advance(osc, 1047.0);
    out[i] = triangleWave(osc) * amplitude * edges(i, count, samplesFor(0.002), samplesFor(0.01));
    amplitude *= decay;
  }
  scaleToPeak(out, DB_MINUS_14);
  return out;
}

Buffer shot() {
  int count = samplesFor(0.22);
  Buffer out(count);
  Oscillator tone, sub;
  sub.phase = 0.25;
  double frequency = 2200.0, amplitude = 1.0, decay = decayFactor(0.12);
  for (int i = 0; i < count; ++i) {
    double step = advance(tone, frequency);
    advance(sub, frequency * 0.5);
    double v = 0.75 * squareWave(tone, step) + 0.35 * triangleWave(sub);
    out[i] = v * amplitude * edges(i, count, samplesFor(0.001), samplesFor(0.012));
    frequency *= 0.99977;  // about three octaves down over the shot
    amplitude *= decay;
  }
  scaleToPeak(out, DB_MINUS_6);
  return out;
}

Buffer explosion() {
  int count = samplesFor(1.0);
  Buffer rumble(count), thump(count);
  Noise noise{0x2545F491u};
  Lowpass first, second;
  double brightness = 0.3, amplitude = 1.0, decay = decayFactor(0.33);
  for (int i = 0; i < count; ++i) {
    double v = lowpass(first, nextNoise(noise), brightness);
    rumble[i] = lowpass(second, v, brightness) * amplitude;
    brightness *= 0.99993;  // the roar darkens as it dies away
    amplitude *= decay;
  }
  scaleToPeak(rumble, 1.0);
  Oscillator low;
  low.phase = 0.25;
  double frequency = 95.0, punch = 1.0, punchDecay = decayFactor(0.15);
  for (int i = 0; i < count; ++i) {
    advance(low, frequency);
    thump[i] = triangleWave(low) * punch;
    frequency = 34.0 + (frequency - 34.0) * 0.9998;
    punch *= punchDecay;
  }
  scaleToPeak(thump, 1.0);
  Buffer out(count);
  for (int i = 0; i < count; ++i) {
    out[i] = (0.75 * rumble[i] + 0.6 * thump[i]) * edges(i, count, samplesFor(0.002), samplesFor(0.06));
  }
  scaleToPeak(out, DB_MINUS_5);
  return out;
}

Buffer hit() {
  int count = samplesFor(0.14);
  Buffer crack(count), tone(count);
  Noise noise{0x9E3779B9u};
  Lowpass body;
  double amplitude = 1.0, decay = decayFactor(0.035);
  for (int i = 0; i < count; ++i) {
    double white = nextNoise(noise);
    crack[i] = (white - lowpass(body, white, 0.15)) * amplitude;  // high-passed: crisp
    amplitude *= decay;
  }
  scaleToPeak(crack, 1.0);
  Oscillator osc;
  double frequency = 1000.0;
  amplitude = 1.0;
  decay = decayFactor(0.06);
  for (int i = 0; i < count; ++i) {
    double step = advance(osc, frequency);
    tone[i] = squareWave(osc, step) * amplitude;
    frequency *= 0.99975;
    amplitude *= decay;
  }
  scaleToPeak(tone, 1.0);
  Buffer out(count);
  for (int i = 0; i < count; ++i) {
    out[i] = (0.7 * crack[i] + 0.5 * tone[i]) * edges(i, count, samplesFor(0.001), samplesFor(0.015));
  }
  scaleToPeak(out, DB_MINUS_6);
  return out;
}

// A low, round "boom": a filtered square with a triangle under it, starting
// a little sharp and dropping onto its pitch.
Buffer marchNote(double pitch) {
  int count = samplesFor(0.18);
  Buffer out(count);
  Oscillator reed, round;
  round.phase = 0.25;
  Lowpass first, second;
  double frequency = pitch * 1.6, amplitude = 1.0, decay = decayFactor(0.1);
  for (int i = 0; i < count; ++i) {
    double step = advance(reed, frequency);
    advance(round, frequency);
    double body = lowpass(second, lowpass(first, squareWave(reed, step), 0.06), 0.06);
    double v = body + 0.8 * triangleWave(round);
    out[i] = v * amplitude * edges(i, count, samplesFor(0.002), samplesFor(0.025));
    frequency = pitch + (frequency - pitch) * 0.9992;
    amplitude *= decay;
  }
  scaleToPeak(out, DB_MINUS_6);
  return out;
}

Buffer siren() {
  int count = samplesFor(1.5);
  int segment = samplesFor(0.375);  // high, low, high, low
  Buffer out(count);
  Oscillator reed, round;
  round.phase = 0.25;
  Lowpass tone;
  double frequency = 740.0;
  for (int i = 0; i < count; ++i) {
    double target = (i / segment) % 2 == 0 ? 740.0 : 554.0;
    frequency += (target - frequency) * 0.004;  // a quick glide between the two tones
    double step = advance(reed, frequency);
    advance(round, frequency);
    double v = lowpass(tone, squareWave(reed, step), 0.25) + 0.6 * triangleWave(round);
    out[i] = v * edges(i, count, samplesFor(0.01), samplesFor(0.04));
  }
  scaleToPeak(out, DB_MINUS_8);
  return out;
}

// --- output ------------------------------------------------------------------

void putU32(std::vector<uint8_t>& bytes, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void putU16(std::vector<uint8_t>& bytes, uint16_t v) {
  bytes.push_back(static_cast<uint8_t>(v));
  bytes.push_back(static_cast<uint8_t>(v >> 8));
}
void putTag(std::vector<uint8_t>& bytes, const char* tag) { bytes.insert(bytes.end(), tag, tag + 4); }

int16_t toPcm(double v) {
  double scaled = v * 32767.0;
  scaled += scaled < 0.0 ? -0.5 : 0.5;  // round halves away from zero
  if (scaled > 32767.0) scaled = 32767.0;
  if (scaled < -32768.0) scaled = -32768.0;
  return static_cast<int16_t>(scaled);
}

bool writeWav(const std::string& path, const Buffer& buffer) {
  uint32_t dataBytes = static_cast<uint32_t>(buffer.size() * 2);
  std::vector<uint8_t> bytes;
  putTag(bytes, "RIFF");
  putU32(bytes, 36 + dataBytes);
  putTag(bytes, "WAVE");
  putTag(bytes, "fmt ");
  putU32(bytes, 16);
  putU16(bytes, 1);  // PCM
  putU16(bytes, 1);  // mono
  putU32(bytes, RATE);
  putU32(bytes, RATE * 2);  // bytes per second
  putU16(bytes, 2);         // bytes per frame
  putU16(bytes, 16);        // bits per sample
  putTag(bytes, "data");
  putU32(bytes, dataBytes);
  for (double v : buffer) putU16(bytes, static_cast<uint16_t>(toPcm(v)));
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const Buffer samples[9] = {softBlip(),       shot(),           explosion(),      hit(),  marchNote(73.42),
                             marchNote(98.00), marchNote(87.31), marchNote(77.78), siren()};
  for (int n = 0; n < 9; ++n) {
    std::string path = folder + "/" + std::to_string(n) + ".WAV";
    if (!writeWav(path, samples[n])) {
      std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
