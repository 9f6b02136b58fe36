// The text codec on any bytes: what it accepts as text must come back byte for byte when written
// unedited, and written text must read back as the same text; an edit through the line document
// must read back as the edited text, and so must text added at the end.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/TextCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvarn;
    if (size > (1u << 20)) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const DecodedText decoded = DecodeText(bytes);
    if (!decoded.notText.empty()) return 0;
    if (EncodeText(decoded) != bytes) std::abort();
    const DecodedText again = DecodeText(EncodeText(decoded.text, decoded.encoding));
    if (!again.notText.empty() || again.text != decoded.text) std::abort();

    // Text added at the end (a log, a script's -write|append) leaves the file's bytes and reads back after
    // its text, a line that fits the file's Windows-1252 and one that does not.
    TextEncoding grown = decoded.encoding;
    const std::string added = "\r\nadded \xC3\xA9\r\n\xE2\x86\x92";
    const DecodedText longer = DecodeText(bytes + EncodeAppendedText(added, grown));
    if (!longer.notText.empty() || longer.text != decoded.text + added) std::abort();

    TTextDocument document;
    if (!DecodeDocument(bytes, document).empty() || EncodeDocument(document) != bytes) std::abort();
    // UTF-16 without a mark is known only by its Latin characters, which an edit may take away.
    if (document.encoding == TextEncoding::Utf16LeNoMark || document.encoding == TextEncoding::Utf16BeNoMark) return 0;
    // Drop the first line and add one at the end: the result reads back as that text.
    std::string text = DocumentText(document);
    const std::size_t first = text.find('\n');
    text = (first == std::string::npos ? std::string() : text.substr(first + 1)) + "\nadded \xC3\xA9";
    SetDocumentText(document, text);
    const std::string written = EncodeDocument(document);
    TTextDocument reread;
    if (!DecodeDocument(written, reread).empty() || DocumentText(reread) != text) std::abort();
    return 0;
}
