// The picture service alone: decoding the first image of arbitrary bytes, whole or in two pieces.
#include "FuzzCheck.h"

#include "base/RuntimeError.h"

#include <cstdint>
#include <optional>

using namespace skarvel;

namespace {

struct Loaded {
    Picture picture;
    std::optional<RuntimeError::Number> error;
    std::int64_t bytes = -1;
};

Loaded load(PictureDecoder& decoder, QByteArrayView tail, const PictureLimits& limits)
{
    Loaded loaded;
    PictureReading reading;
    try {
        loaded.picture = decoder.load(tail, limits, &reading);
    } catch (const RuntimeError& error) {
        loaded.error = error.number();
    }
    loaded.bytes = reading.pictureBytes;
    return loaded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    // The limits' checks matter, not their size: small ones keep every input quick to decode.
    PictureLimits limits;
    limits.maxPixels = 1 << 20;
    limits.maxBytes = std::int64_t(4) << 20;

    PictureDecoder decoder(bytes);
    const Loaded whole = load(decoder, {}, limits);
    if (!whole.error) {
        fuzz::checkPicture(whole.picture);
        FUZZ_CHECK(whole.bytes == FrameCost(whole.picture.pixelWidth(), whole.picture.pixelHeight(), true));
        FUZZ_CHECK(whole.bytes <= limits.maxBytes);
    } else {
        FUZZ_CHECK(whole.picture.isNull());
    }

    // Where the bytes are cut must not matter.
    const qsizetype cut = size ? qsizetype(data[size - 1]) * qsizetype(size) / 256 : 0;
    PictureDecoder cutDecoder(bytes.first(cut));
    // Twice with the same decoder: one kept from a first picture decodes the second alike.
    for (int round = 0; round < 2; ++round) {
        const Loaded pieces = load(cutDecoder, bytes.sliced(cut), limits);
        FUZZ_CHECK(pieces.error == whole.error);
        FUZZ_CHECK(pieces.bytes == whole.bytes);
        FUZZ_CHECK(pieces.picture.image() == whole.picture.image());
    }
    return 0;
}
