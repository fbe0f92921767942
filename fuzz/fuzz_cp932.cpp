// The text codecs are lossless: bytes -> text -> bytes gives the same bytes.
#include "fuzz/FuzzSupport.h"
#include "platform/text/Cp932.h"
#include "platform/text/FileText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    bool ok = false;
    FUZZ_CHECK(text::EncodeCp932(text::DecodeCp932(bytes), &ok) == bytes);
    FUZZ_CHECK(ok);

    for (const text::Encoding encoding : {text::Encoding::Cp932, text::Encoding::Utf8}) {
        text::Encoding written = encoding == text::Encoding::Cp932 ? text::Encoding::Utf8 : text::Encoding::Cp932;
        FUZZ_CHECK(text::EncodeFileText(text::DecodeText(bytes, encoding), encoding, &written) == bytes);
        FUZZ_CHECK(written == encoding);
    }

    const text::DecodedText file = text::DecodeFileText(bytes);
    FUZZ_CHECK(file.encoding == text::DetectEncoding(bytes));
    FUZZ_CHECK(text::EncodeFileText(file.text, file.encoding) == bytes);

    FUZZ_CHECK(text::EncodeFileName(text::DecodeFileName(bytes)) == bytes);
    return 0;
}
