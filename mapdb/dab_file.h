// CDabFile: reads a whole .DAB file into one buffer and hands it out line by
// line as UTF-16, whatever the file's encoding, with the tag search the
// database parser uses to find its sections.
#pragma once

#include "platform/win32_drawing.h"

#include <cstdint>
#include <vector>

enum DabEncoding : std::int32_t {
    Ansi1252 = 0,  // no byte-order mark: code page 1252
    Utf16LE = 1,   // FF FE
    Utf16BE = 2,   // FE FF
    Utf8 = 3,      // EF BB BF
};

class CDabFile {
public:
    BYTE* buffer = nullptr;    // the file's bytes as stored, mark included
    BYTE* position = nullptr;  // read position within buffer
    DWORD size = 0;            // in: optional bound (0 = whole file); out: bytes held
    std::int32_t encoding = Ansi1252;

    // Reads the whole file (up to the size bound) with one read. The position
    // is left on the byte-order mark: call Rewind before the first line.
    bool Open(LPCWSTR path);
    // Releases the buffer; false when none was held. Leaves the fields as
    // they are.
    bool Close();
    // Moves to the first line, past any byte-order mark.
    void Rewind();
    // Stores the next line (at most capacity - 1 units and a terminating zero)
    // into dest and returns its length, or -1 when no line is left. A longer
    // line is cut and its rest skipped. CR LF ends a line as one pair; a lone
    // CR or a lone LF ends it alone. When truncated is given it tells whether
    // the line was cut.
    int ReadLine(WCHAR* dest, int capacity, bool* truncated = nullptr);
    // Rewinds, then reads lines until one begins with tag.
    bool FindTag(LPCWSTR tag);
    // The same search from the current position.
    bool FindNextTag(LPCWSTR tag);

private:
    const BYTE* data_end() const { return buffer + size; }
    void index_tag_lines();
    bool find_indexed_tag(LPCWSTR tag, int tagLength);

    // Offsets of the lines that begin with '<', for the buffer they were
    // found in; rebuilt when another buffer is read.
    std::vector<std::uint32_t> m_tagLines;
    const BYTE* m_tagLinesFor = nullptr;
};
