// LESoundFileCheck: the sound file check (see LESoundFileCheck.h).
#include "LESoundFileCheck.h"

#include <algorithm>  // Required for: std::max
#include <cmath>      // Required for: std::ceil
#include <cstdint>
#include <cstring>    // Required for: memcmp, strlen

static uint32_t Little32(const unsigned char* p)
{
    return uint32_t(p[0] | p[1] << 8 | p[2] << 16) | uint32_t(p[3]) << 24;
}

static uint16_t Little16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

static bool Starts(const unsigned char* file, size_t size, const char* magic)
{
    const size_t length = strlen(magic);
    return size >= length && memcmp(file, magic, length) == 0;
}

bool LESoundFileIsMp3(const unsigned char* file, size_t size)
{
    return Starts(file, size, "ID3") || (size >= 2 && file[0] == 0xFF && (file[1] & 0xE6) == 0xE2);
}

namespace {

enum class Coding { Pcm, Float, Companded, Adpcm };

// What a WAV format chunk says, once SDL's reader would take it.
struct WaveFormat {
    Coding coding = Coding::Pcm;
    uint32_t channels = 0, rate = 0, blockAlign = 0, bits = 0;
};

// A format chunk SDL can read: a sample coding it knows, with channels, a rate,
// and blocks that hold a sample of every channel.
const char* ReadWaveFormat(const unsigned char* format, uint32_t length, WaveFormat* out)
{
    if (length < 16) return "its format chunk is damaged";
    uint16_t coding = Little16(format);
    const uint16_t channels = Little16(format + 2), blockAlign = Little16(format + 12), bits = Little16(format + 14);
    const uint32_t rate = Little32(format + 4);
    if (coding == 0xFFFE && length >= 26) coding = Little16(format + 24);  // extensible: its sub-format
    if (channels == 0 || channels > 255 || rate == 0 || rate > uint32_t(INT32_MAX) || blockAlign == 0)
        return "its format chunk is damaged";
    const bool pcm = coding == 1, floating = coding == 3, companded = coding == 6 || coding == 7,
               adpcm = coding == 2 || coding == 0x11;
    if (!pcm && !floating && !companded && !adpcm) return "it is in a sound format the game cannot play";
    const bool bitsFit = pcm        ? bits == 8 || bits == 16 || bits == 24 || bits == 32
                         : floating ? bits == 32
                         : companded ? bits == 8
                                     : true;
    if (!bitsFit || (!adpcm && blockAlign < uint32_t(channels) * bits / 8)) return "its format chunk is damaged";
    out->coding = pcm ? Coding::Pcm : floating ? Coding::Float : companded ? Coding::Companded : Coding::Adpcm;
    out->channels = channels, out->rate = rate, out->blockAlign = blockAlign, out->bits = bits;
    return nullptr;
}

// An upper bound on the bytes the sound takes once SDL has decoded it and
// SDL_mixer has converted it to the mixer's output: the converter reserves room
// for samples turned to floats, to two channels and to the mixer's rate (twice
// over, as scratch), whatever the file itself holds.
double DecodedBytes(const WaveFormat& format, uint32_t dataBytes)
{
    double frames = 0.0, sampleBytes = 2.0;
    if (format.coding == Coding::Adpcm) {
        // At most two four-bit samples a byte, and those in the block's header.
        const double blocks = std::ceil(double(dataBytes) / double(format.blockAlign));
        frames = blocks * (2.0 * double(format.blockAlign) / double(format.channels) + 2.0);
    } else {
        frames = double(dataBytes / format.blockAlign);
        if (format.coding == Coding::Pcm) sampleBytes = format.bits == 8 ? 1.0 : format.bits == 16 ? 2.0 : 4.0;
        if (format.coding == Coding::Float) sampleBytes = 4.0;
    }
    const double decoded = frames * double(format.channels) * sampleBytes;
    const bool asMixed = sampleBytes == 2.0 && format.channels == uint32_t(LE_SOUND_MIX_CHANNELS) &&
                         format.rate == uint32_t(LE_SOUND_MIX_RATE);
    if (asMixed) return decoded;
    double growth = 4.0 / sampleBytes;
    if (format.channels < uint32_t(LE_SOUND_MIX_CHANNELS)) growth *= double(LE_SOUND_MIX_CHANNELS);
    if (format.rate != uint32_t(LE_SOUND_MIX_RATE))
        growth *= 2.0 * std::ceil(std::max(1.0, double(LE_SOUND_MIX_RATE) / double(format.rate)));
    return decoded * growth;
}

// A WAV file read as SDL's reader reads it: from the RIFF header, or from the
// form type alone, chunk after chunk, each padded to an even length. Every
// chunk must lie inside the file (the reader reserves a data chunk's declared
// size before reading it), the first format chunk must come before the sound
// data and say a format SDL can play, and the sound must fit in memory.
const char* CheckWave(const unsigned char* file, size_t size, size_t firstChunk)
{
    WaveFormat format;
    bool formatRead = false, dataFound = false;
    uint32_t dataBytes = 0;
    for (size_t at = firstChunk; at + 8 <= size;) {
        const uint64_t length = Little32(file + at + 4);
        if (length > size - at - 8) return "a chunk of the WAV file claims more bytes than the file holds";
        const unsigned char* tag = file + at;
        if (memcmp(tag, "fmt ", 4) == 0 && !formatRead && !dataFound) {
            if (const char* why = ReadWaveFormat(file + at + 8, uint32_t(length), &format)) return why;
            formatRead = true;
        } else if (memcmp(tag, "data", 4) == 0 && !dataFound) {
            dataFound = true;
            dataBytes = uint32_t(length);
        }
        at += 8 + size_t(length) + (length & 1);
    }
    if (!formatRead) return "the WAV file has no format chunk before its sound data";
    if (!dataFound) return "the WAV file holds no sound data";
    if (DecodedBytes(format, dataBytes) > double(LE_SOUND_MAX_DECODED_BYTES))
        return "played, it would take more memory than any sound the game plays";
    return nullptr;
}

}  // namespace

const char* LESoundFileDamage(const unsigned char* file, size_t size)
{
    if (size > LE_SOUND_MAX_FILE_BYTES) return "larger than any sound the game plays";
    if (size < 12) return "the file is too short to be a sound";
    if (Starts(file, size, "RIFF")) {
        if (memcmp(file + 8, "WAVE", 4) != 0) return "it is a RIFF file that holds no WAV sound";
        return CheckWave(file, size, 12);
    }
    if (Starts(file, size, "WAVE")) return CheckWave(file, size, 4);
    if (LESoundFileIsMp3(file, size)) return nullptr;  // read frame by frame, as far as the file goes
    if (Starts(file, size, "FORM")) return "it is an AIFF sound, a format the game does not play";
    if (Starts(file, size, "Crea")) return "it is a Creative voice file, a format the game does not play";
    return "it is in a sound format the game cannot play";
}
