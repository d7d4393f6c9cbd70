#include "vsthost/wav_writer.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace tvx {

namespace vsthost {

namespace {

void put16(std::vector<unsigned char>& out, uint16_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF);
}

void putTag(std::vector<unsigned char>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

bool writeWavFile(const std::string& path, const std::vector<float>& left, const std::vector<float>& right,
                  int sampleRate, std::string& error) {
    const uint32_t frames = static_cast<uint32_t>(left.size() < right.size() ? left.size() : right.size());
    const uint32_t dataBytes = frames * 8;
    std::vector<unsigned char> header;
    putTag(header, "RIFF");
    put32(header, 4 + (8 + 18) + (8 + 4) + (8 + dataBytes));
    putTag(header, "WAVE");
    putTag(header, "fmt ");
    put32(header, 18);
    put16(header, 3);  // IEEE float
    put16(header, 2);
    put32(header, static_cast<uint32_t>(sampleRate));
    put32(header, static_cast<uint32_t>(sampleRate) * 8);
    put16(header, 8);
    put16(header, 32);
    put16(header, 0);
    putTag(header, "fact");
    put32(header, 4);
    put32(header, frames);
    putTag(header, "data");
    put32(header, dataBytes);

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(header.data(), 1, header.size(), f) == header.size();
    std::vector<float> interleaved(2 * static_cast<size_t>(frames));
    for (uint32_t i = 0; i < frames; ++i) {
        interleaved[2 * i] = left[i];
        interleaved[2 * i + 1] = right[i];
    }
    if (ok && frames) ok = std::fwrite(interleaved.data(), sizeof(float), interleaved.size(), f) == interleaved.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) error = "cannot write '" + path + "': disk full or write error";
    return ok;
}

}  // namespace vsthost

}  // namespace tvx
