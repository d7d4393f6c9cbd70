// Joins stereo 32-bit float WAV files (as vsthost writes them) one after the
// other, with a short pause between them: the bank auditions of the demo.
//
//     join_wavs OUT.wav IN.wav... [--gap SECONDS]

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "vsthost/wav_writer.h"

namespace tvx {

namespace {

struct Sound {
    int sampleRate = 0;
    std::vector<float> left, right;
};

uint32_t read32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t read16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }

bool readFile(const char* path, std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return true;
}

// Only the format vsthost writes: RIFF/WAVE, format 3, two channels, 32 bits.
bool readWav(const char* path, Sound& sound, std::string& error) {
    std::vector<unsigned char> b;
    if (!readFile(path, b)) return error = "cannot read " + std::string(path), false;
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
        return error = std::string(path) + " is not a WAV file", false;
    bool haveFormat = false;
    for (size_t pos = 12; pos + 8 <= b.size();) {
        const unsigned char* chunk = b.data() + pos;
        size_t size = read32(chunk + 4);
        if (size > b.size() - pos - 8) return error = std::string(path) + " is truncated", false;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            if (read16(chunk + 8) != 3 || read16(chunk + 10) != 2 || read16(chunk + 22) != 32)
                return error = std::string(path) + " is not stereo 32-bit float", false;
            sound.sampleRate = static_cast<int>(read32(chunk + 12));
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && haveFormat) {
            size_t frames = size / 8;
            sound.left.resize(frames);
            sound.right.resize(frames);
            for (size_t i = 0; i < frames; ++i) {
                std::memcpy(&sound.left[i], chunk + 8 + i * 8, 4);
                std::memcpy(&sound.right[i], chunk + 12 + i * 8, 4);
            }
            return true;
        }
        pos += 8 + size + (size & 1);
    }
    return error = std::string(path) + " has no audio data", false;
}

}  // namespace

}  // namespace tvx

int main(int argc, char** argv) {
    using namespace tvx;
    std::vector<const char*> inputs;
    double gap = 0.3;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gap") == 0 && i + 1 < argc)
            gap = std::atof(argv[++i]);
        else
            inputs.push_back(argv[i]);
    }
    if (argc < 3 || inputs.empty()) {
        std::fprintf(stderr, "usage: join_wavs OUT.wav IN.wav... [--gap SECONDS]\n");
        return 2;
    }
    Sound joined;
    for (const char* path : inputs) {
        Sound sound;
        std::string error;
        if (!readWav(path, sound, error)) {
            std::fprintf(stderr, "join_wavs: %s\n", error.c_str());
            return 1;
        }
        if (joined.sampleRate == 0) joined.sampleRate = sound.sampleRate;
        if (sound.sampleRate != joined.sampleRate) {
            std::fprintf(stderr, "join_wavs: %s has another sample rate\n", path);
            return 1;
        }
        if (!joined.left.empty()) {
            size_t pause = static_cast<size_t>(gap * joined.sampleRate);
            joined.left.insert(joined.left.end(), pause, 0.0f);
            joined.right.insert(joined.right.end(), pause, 0.0f);
        }
        joined.left.insert(joined.left.end(), sound.left.begin(), sound.left.end());
        joined.right.insert(joined.right.end(), sound.right.begin(), sound.right.end());
    }
    std::string error;
    if (!vsthost::writeWavFile(argv[1], joined.left, joined.right, joined.sampleRate, error)) {
        std::fprintf(stderr, "join_wavs: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
