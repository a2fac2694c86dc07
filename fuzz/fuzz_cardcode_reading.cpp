// Fuzz target: arbitrary bytes through cardcode's record reader (as lines,
// and as delimited records with each separator), its UTF-16 decoder and
// its reading of text without a mark (UTF-8 or Windows-1252), each fed in
// pieces cut where the input says, against models written independently:
// the records by an index walk over the whole text, the UTF-16 decoder by a
// loop over whole code units, the encoding decision by decoding the one
// sequence at the first non-ASCII byte of the whole text.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/cardcode/cardcode_decode.h"
#include "app/cardcode/cardcode_records.h"

namespace {

struct Record {
  std::string raw;
  std::vector<std::string> fields;
  std::string lineEnd;
  uint64_t line = 0;
  bool quoteOpen = false;
  bool operator==(const Record& other) const {
    return raw == other.raw && fields == other.fields && lineEnd == other.lineEnd && line == other.line &&
           quoteOpen == other.quoteOpen;
  }
};

[[noreturn]] void Mismatch(const char* what, size_t index) {
  fprintf(stderr, "%s differs at record %zu\n", what, index);
  abort();
}

// The model: separator < 0 means lines, where quotes are text.
std::vector<Record> ModelRecords(const std::string& s, int separator) {
  std::vector<Record> records;
  size_t i = 0, n = s.size();
  uint64_t line = 1;
  auto isEnd = [&](size_t k) { return s[k] == '\r' || s[k] == '\n'; };
  while (i < n) {
    Record record;
    record.line = line;
    record.fields.push_back("");
    size_t start = i;
    for (;;) {
      std::string& field = record.fields.back();
      if (separator >= 0 && i < n && s[i] == '"') {
        i++;
        bool closed = false;
        while (i < n && !closed) {
          if (s[i] == '"') {
            if (i + 1 < n && s[i + 1] == '"') {
              field += '"';
              i += 2;
            } else {
              i++;
              closed = true;
            }
          } else if (s[i] == '\r' && i + 1 < n && s[i + 1] == '\n') {
            field += "\r\n";
            i += 2;
            line++;
          } else {
            if (isEnd(i)) line++;
            field += s[i++];
          }
        }
        if (!closed) record.quoteOpen = true;
      }
      while (i < n && !isEnd(i) && (separator < 0 || s[i] != (char)separator)) field += s[i++];
      if (i < n && separator >= 0 && s[i] == (char)separator) {
        i++;
        record.fields.push_back("");
        continue;
      }
      break;
    }
    record.raw = s.substr(start, i - start);
    if (i < n) {
      record.lineEnd = s[i] == '\r' && i + 1 < n && s[i + 1] == '\n' ? "\r\n" : std::string(1, s[i]);
      i += record.lineEnd.size();
      line++;
    }
    records.push_back(record);
  }
  return records;
}

struct Collected {
  std::vector<Record> records;
  Record current;
  RecordReader* reader;
};

void CollectRaw(void* context, const char* bytes, size_t length) {
  static_cast<Collected*>(context)->current.raw.append(bytes, length);
}

void CollectContent(void* context, int32_t field, const char* bytes, size_t length) {
  Collected* collected = static_cast<Collected*>(context);
  if (collected->current.fields.size() <= (size_t)field) collected->current.fields.resize((size_t)field + 1);
  collected->current.fields[(size_t)field].append(bytes, length);
}

int CollectEnd(void* context, const char* lineEnd, size_t length) {
  Collected* collected = static_cast<Collected*>(context);
  Record& record = collected->current;
  record.fields.resize((size_t)collected->reader->field + 1);
  record.lineEnd.assign(lineEnd, length);
  record.line = collected->reader->recordLine;
  record.quoteOpen = collected->reader->quoteOpen != 0;
  collected->records.push_back(record);
  record = Record();
  return 0;
}

// Piece lengths from a small generator seeded by the input.
struct Cutter {
  uint32_t state;
  size_t Next(size_t rest) {
    state = state * 1103515245u + 12345u;
    size_t piece = (state >> 16) % 19;
    return piece < rest ? piece : rest;
  }
};

void CheckRecords(const std::string& text, int separator, uint32_t seed) {
  static const RecordSink sink = {CollectRaw, CollectContent, nullptr, CollectEnd};
  RecordReader reader;
  Collected collected;
  collected.reader = &reader;
  RecordsStart(&reader, separator < 0 ? RECORD_LINES : separator, &sink, &collected);
  reader.wantedField = RECORD_EVERY_FIELD;
  Cutter cutter = {seed};
  for (size_t at = 0; at < text.size();) {
    size_t piece = cutter.Next(text.size() - at);
    RecordsFeed(&reader, text.data() + at, piece);
    at += piece;
  }
  RecordsFinish(&reader);
  std::vector<Record> expected = ModelRecords(text, separator);
  if (collected.records.size() != expected.size()) Mismatch("record count", collected.records.size());
  for (size_t i = 0; i < expected.size(); i++) {
    if (!(collected.records[i] == expected[i])) Mismatch("record", i);
  }
}

void Utf8Append(std::string* out, uint32_t code) {
  if (code < 0x80) {
    *out += (char)code;
  } else if (code < 0x800) {
    *out += (char)(0xC0 | (code >> 6));
    *out += (char)(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out += (char)(0xE0 | (code >> 12));
    *out += (char)(0x80 | ((code >> 6) & 0x3F));
    *out += (char)(0x80 | (code & 0x3F));
  } else {
    *out += (char)(0xF0 | (code >> 18));
    *out += (char)(0x80 | ((code >> 12) & 0x3F));
    *out += (char)(0x80 | ((code >> 6) & 0x3F));
    *out += (char)(0x80 | (code & 0x3F));
  }
}

std::string ModelUtf16(const std::string& bytes, bool bigEndian) {
  std::vector<uint32_t> units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    uint32_t a = (unsigned char)bytes[i], b = (unsigned char)bytes[i + 1];
    units.push_back(bigEndian ? a << 8 | b : b << 8 | a);
  }
  std::string out;
  for (size_t i = 0; i < units.size(); i++) {
    uint32_t u = units[i];
    bool high = u >= 0xD800 && u <= 0xDBFF, low = u >= 0xDC00 && u <= 0xDFFF;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      Utf8Append(&out, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      i++;
    } else {
      Utf8Append(&out, high || low ? 0xFFFD : u);
    }
  }
  if (bytes.size() % 2) Utf8Append(&out, 0xFFFD);
  return out;
}

void CheckUtf16(const std::string& bytes, bool bigEndian, uint32_t seed) {
  Utf16Decoder decoder;
  Utf16Start(&decoder, bigEndian);
  std::string decoded;
  std::vector<char> out(UTF16_DECODED_MAX(bytes.size() + 32));
  Cutter cutter = {seed};
  for (size_t at = 0; at < bytes.size();) {
    size_t piece = cutter.Next(bytes.size() - at);
    size_t made = Utf16Decode(&decoder, reinterpret_cast<const unsigned char*>(bytes.data()) + at, piece, out.data());
    if (made > UTF16_DECODED_MAX(piece)) Mismatch("decoded size bound", at);
    decoded.append(out.data(), made);
    at += piece;
  }
  decoded.append(out.data(), Utf16Finish(&decoder, out.data()));
  if (decoded != ModelUtf16(bytes, bigEndian)) Mismatch("UTF-16 decoding", 0);
}

// Whether a valid UTF-8 sequence starts at s[i], by its code point.
bool ModelUtf8At(const std::string& s, size_t i) {
  unsigned char c = (unsigned char)s[i];
  int n = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xC0 && c < 0xE0 ? 1 : -1;
  if (n < 0 || i + (size_t)n >= s.size()) return false;
  uint32_t code = c & (0x3Fu >> n);
  for (int k = 1; k <= n; k++) {
    unsigned char b = (unsigned char)s[i + (size_t)k];
    if ((b & 0xC0) != 0x80) return false;
    code = code << 6 | (b & 0x3Fu);
  }
  static const uint32_t smallest[] = {0, 0x80, 0x800, 0x10000};
  return code >= smallest[n] && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
}

// The text as read: unchanged unless its first non-ASCII byte starts no
// UTF-8 sequence; then Windows-1252 from there on.
std::string ModelPlain(const std::string& s, bool* windows1252) {
  static const char* const high[32] = {"€", "\xC2\x81", "‚", "ƒ", "„", "…", "†", "‡", "ˆ", "‰", "Š",
                                       "‹", "Œ", "\xC2\x8D", "Ž", "\xC2\x8F", "\xC2\x90", "‘", "’", "“", "”", "•",
                                       "–", "—", "˜", "™", "š", "›", "œ", "\xC2\x9D", "ž", "Ÿ"};
  size_t first = 0;
  while (first < s.size() && (unsigned char)s[first] < 0x80) first++;
  *windows1252 = first < s.size() && !ModelUtf8At(s, first);
  if (!*windows1252) return s;
  std::string out = s.substr(0, first);
  for (size_t i = first; i < s.size(); i++) {
    unsigned char c = (unsigned char)s[i];
    if (c >= 0x80 && c < 0xA0) {
      out += high[c - 0x80];
    } else {
      Utf8Append(&out, c);
    }
  }
  return out;
}

void CheckPlain(const std::string& bytes, uint32_t seed) {
  PlainDecoder decoder;
  PlainStart(&decoder);
  std::string decoded;
  std::vector<char> out(PLAIN_DECODED_MAX(bytes.size() + 32));
  Cutter cutter = {seed};
  for (size_t at = 0; at < bytes.size();) {
    size_t piece = cutter.Next(bytes.size() - at), made = 0;
    const char* text = PlainDecode(&decoder, reinterpret_cast<const unsigned char*>(bytes.data()) + at, piece,
                                   out.data(), &made);
    if (made > PLAIN_DECODED_MAX(piece)) Mismatch("decoded size bound", at);
    decoded.append(text, made);
    at += piece;
  }
  decoded.append(out.data(), PlainFinish(&decoder, out.data()));
  bool windows1252 = false;
  if (decoded != ModelPlain(bytes, &windows1252)) Mismatch("the text without a mark", 0);
  if (windows1252 != (decoder.kind == PLAIN_WINDOWS_1252)) Mismatch("the encoding decision", 0);
  // The echo of such an input gives back every byte.
  std::vector<char> encoded(decoded.size() + 1);
  size_t length = Windows1252Encode(decoded.data(), decoded.size(), encoded.data());
  if (windows1252 && std::string(encoded.data(), length) != bytes) Mismatch("Windows-1252 encoding", 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  uint32_t seed = data[0];
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (int separator : {-1, (int)';', (int)',', (int)'\t'}) CheckRecords(text, separator, seed);
  CheckUtf16(text, false, seed);
  CheckUtf16(text, true, seed + 1);
  CheckPlain(text, seed + 2);
  return 0;
}
