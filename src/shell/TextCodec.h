// The one text decoder and encoder of the program. Every text file it reads (config.txt, settings,
// descriptors, level-of-detail files, scripts, tables, the text view's files) goes through here, so
// that each is read in the encoding it is in and written back in it, line by line.
//
// A file is read as bytes: a UTF-16 mark (either order) makes it UTF-16; NUL bytes arranged as
// UTF-16 text shows them make it UTF-16 without a mark; a UTF-8 mark is dropped and remembered; valid
// UTF-8 is taken as it is; otherwise each line is taken alone, as UTF-8 when it is valid and as
// Windows-1252 when it is not. Any other NUL byte means the file is not text. Line ends are kept as
// they were, line by line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell/Text.h"

namespace kelvarn {

enum class TLineEnd : std::uint8_t { CrLf, Lf, Cr, None };

std::string_view LineEndText(TLineEnd end);

// Cuts text into lines at CR LF, LF or a lone CR, as every reader counts them.
struct TLineSplitter {
    std::string_view text;
    std::size_t pos = 0;
    bool done = false;
    // The next line and its end; the last line (possibly empty) has the end None.
    bool Next(std::string_view& line, TLineEnd& end);
};

// DecodeText without a copy where none is needed: `text` views `bytes` (past a mark) when they are
// UTF-8 as they stand, else the converted text in `storage`.
struct TDecodedView {
    std::string_view text;
    TextEncoding encoding = TextEncoding::Utf8;
    std::vector<std::uint32_t> latinLines;  // as in DecodedText
    std::string notText;
};
TDecodedView DecodeTextView(std::string_view bytes, std::string& storage);

// A text file as lines, for editors that write back what they read: each line keeps its own end and,
// in a UTF-8 file, a line that came in Windows-1252 goes back in it. The last line has no end; a file
// that ends with a line end has an empty last line.
struct TTextLine {
    std::string text;  // UTF-8
    TLineEnd end = TLineEnd::None;
    bool latin = false;
};

struct TTextDocument {
    TextEncoding encoding = TextEncoding::Utf8;
    TLineEnd newLineEnd = TLineEnd::CrLf;  // for lines the file had no end for: its first end
    std::vector<TTextLine> lines{TTextLine{}};
};

// Text to add at the end of a file read in `encoding`, encoded as new lines of that file are: UTF-16
// in the file's byte order (no mark); in a Windows-1252 file each line in Windows-1252 when it fits,
// else in UTF-8; otherwise UTF-8. The bytes already in the file stay as they are. `encoding` becomes
// what the file then reads as (a Windows-1252 file given a UTF-8 line reads as UTF-8 with
// Windows-1252 lines).
std::string EncodeAppendedText(std::string_view utf8, TextEncoding& encoding);

// Empty on success; else why the bytes are not text (the document is then empty, in UTF-8).
std::string DecodeDocument(std::string_view bytes, TTextDocument& document);
std::string EncodeDocument(const TTextDocument& document);
// The lines joined by "\n", as an editor shows them.
std::string DocumentText(const TTextDocument& document);
// Takes an editor's text (lines at "\n") as the new content. Lines that did not change keep their
// end and encoding; a changed line keeps those of the line it replaces; a new line takes the end of
// the line before it.
void SetDocumentText(TTextDocument& document, std::string_view text);

}  // namespace kelvarn
