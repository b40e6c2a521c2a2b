// Opens arbitrary bytes as a song file, with the test add-ons in the add-on folders. The
// length word and the message header's size and checksum are made right, so that the bytes
// reach the song reader rather than stopping at the header.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/player.h"
#include "engine/song.h"
#include "fuzz/fuzz_song.h"
#include "message/byte_order.h"
#include "message/flat_message_reader.h"
#include "platform/media/sound_output.h"

namespace {

std::string song_path;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    song_path = StartFuzzSong(ENGINE_TEST_ROOT, "velloran-fuzz");
    return song_path.empty() ? 1 : 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8> bytes(4 + size);
    std::copy(data, data + size, bytes.begin() + 4);
    WriteLE32(bytes.data(), uint32(size));
    if (size >= flat::kHeaderSize) {
        uint8* header = bytes.data() + 4;
        WriteLE32(header + 8, uint32(size));
        WriteLE32(header + 4, flat::Checksum(uint32(size), ReadLE32(header + 12), header[16]));
    }
    FILE* file = std::fopen(song_path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (song->Open(song_path.c_str()) == 1) {
        // Whatever was accepted must be safe to play and to save.
        song->Play();
        static float out[2 * kBigBufferFrames];
        for (int i = 0; i < 4; i++) {
            SoundOutput::Default().Render(out, bigbuflen[1 - bigbufnr] - bigbufpos);
            PumpPlayer();
        }
        song->Stop();
        song->Save(song_path.c_str());
    }
    return 0;
}
