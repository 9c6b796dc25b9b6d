// KesDyn: the self-unpacking stub that PACK writes in front of the files it
// packs. It finds its pack through the field below (rewritten by PACK),
// unscrambles the index with the pack's key, and writes each file, decoded,
// to its destination (a relative one is taken from the stub's folder;
// environment references are expanded; missing folders are created). Exit
// code 0, 13 for a damaged pack, else the Windows error of the first file
// that could not be written. Built without the C++ library: kernel32 only.
#include <windows.h>

extern "C" {
// offset (10 digits, 0-based) and length (10 digits) of the pack in this file
volatile char kesDynPack[] = "KESDYNP:00000000000000000000";

void* memset(void* d, int c, size_t n) {
  unsigned char* p = static_cast<unsigned char*>(d);
  while (n--) *p++ = static_cast<unsigned char>(c);
  return d;
}
void* memcpy(void* d, const void* s, size_t n) {
  unsigned char* p = static_cast<unsigned char*>(d);
  const unsigned char* q = static_cast<const unsigned char*>(s);
  while (n--) *p++ = *q++;
  return d;
}
}

namespace {

constexpr DWORD kDamaged = 13;
constexpr DWORD kNoLimit = 0xFFFFFFFFu;

DWORD Digits(const volatile char* s, int n) {
  DWORD v = 0;
  for (int i = 0; i < n; ++i) {
    if (s[i] < '0' || s[i] > '9') return kNoLimit;
    v = v * 10 + static_cast<DWORD>(s[i] - '0');
  }
  return v;
}

unsigned char* Alloc(DWORD n) {
  return static_cast<unsigned char*>(VirtualAlloc(nullptr, n ? n : 1, MEM_COMMIT, PAGE_READWRITE));
}

// The decoder of the program's compressed stream: flag bytes (1 = literal),
// references b1 b2 that copy (b2 & 15) + 3 bytes from ring position
// (b1 | (b2 & 0xF0) << 4) + 15 of a 4096-byte ring that starts as spaces
// and is written from 0; a reference reads its whole slice before writing.
// Output stops at cap; returns its length.
DWORD Decode(const unsigned char* in, DWORD n, unsigned char* out, DWORD cap) {
  static unsigned char ring[4096];
  for (int k = 0; k < 4096; ++k) ring[k] = ' ';
  DWORD r = 0, o = 0, i = 0;
  while (i < n) {
    const unsigned flags = in[i++];
    for (int bit = 0; bit < 8 && i < n; ++bit) {
      if (flags & (1u << bit)) {
        if (o == cap) return o;
        out[o++] = ring[r] = in[i++];
        r = (r + 1) & 4095;
        continue;
      }
      if (i + 1 >= n) return o;
      const DWORD pos = (in[i] | ((in[i + 1] & 0xF0u) << 4)) + 15;
      const DWORD len = (in[i + 1] & 0x0Fu) + 3;
      i += 2;
      unsigned char slice[18];
      for (DWORD k = 0; k < len; ++k) slice[k] = ring[(pos + k) & 4095];
      for (DWORD k = 0; k < len; ++k) {
        if (o == cap) return o;
        out[o++] = ring[r] = slice[k];
        r = (r + 1) & 4095;
      }
    }
  }
  return o;
}

int Nibble(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The program's scrambling, reversed in place: hexadecimal pairs, each byte
// XORed with the key and the previous scrambled byte. Returns the length, or
// kNoLimit on a character that is not a hexadecimal digit.
DWORD Unscramble(unsigned char* s, DWORD n, const unsigned char* key, DWORD keyLen) {
  unsigned char prev = 0x3C;
  DWORD o = 0;
  for (DWORD i = 0; i + 1 < n; i += 2) {
    const int h = Nibble(s[i]), l = Nibble(s[i + 1]);
    if (h < 0 || l < 0) return kNoLimit;
    const unsigned char c = static_cast<unsigned char>(h * 16 + l);
    s[o] = static_cast<unsigned char>(c ^ key[o % keyLen] ^ prev);
    prev = c;
    ++o;
  }
  return o;
}

DWORD Number(const unsigned char*& p, const unsigned char* end) {
  DWORD v = 0;
  bool any = false;
  while (p < end && *p >= '0' && *p <= '9') {
    if (v > 400000000u) return kNoLimit;
    v = v * 10 + (*p++ - '0');
    any = true;
  }
  if (!any || p >= end || *p != ',') return kNoLimit;
  ++p;
  return v;
}

void MakeParents(char* path) {
  for (char* p = path + 3; *p; ++p) {
    if (*p != '\\') continue;
    *p = 0;
    CreateDirectoryA(path, nullptr);
    *p = '\\';
  }
}

DWORD WriteOne(const char* folder, const char* dest, DWORD destLen, const unsigned char* data, DWORD size) {
  char raw[MAX_PATH * 2], path[MAX_PATH * 2];
  DWORD k = 0;
  const bool absolute = (destLen >= 2 && dest[1] == ':') || (destLen >= 2 && dest[0] == '\\' && dest[1] == '\\');
  if (!absolute)
    for (const char* f = folder; *f && k < MAX_PATH; ++f) raw[k++] = *f;
  for (DWORD i = 0; i < destLen && k < sizeof raw - 1; ++i) raw[k++] = dest[i];
  raw[k] = 0;
  const DWORD n = ExpandEnvironmentStringsA(raw, path, sizeof path);
  if (n == 0 || n > sizeof path) return ERROR_BAD_PATHNAME;
  MakeParents(path);
  HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  DWORD put = 0;
  const BOOL ok = WriteFile(h, data, size, &put, nullptr) && put == size;
  const DWORD err = ok ? 0 : GetLastError();
  CloseHandle(h);
  return ok ? 0 : (err ? err : ERROR_WRITE_FAULT);
}

DWORD Unpack() {
  char self[MAX_PATH + 1];
  const DWORD sl = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (sl == 0 || sl >= MAX_PATH) return ERROR_BAD_PATHNAME;
  self[sl] = 0;
  char folder[MAX_PATH + 1];
  DWORD cut = 0;
  for (DWORD i = 0; i < sl; ++i) {
    folder[i] = self[i];
    if (self[i] == '\\') cut = i + 1;
  }
  folder[cut] = 0;

  const DWORD offset = Digits(kesDynPack + 8, 10), length = Digits(kesDynPack + 18, 10);
  if (offset == kNoLimit || length == kNoLimit || length < 24) return kDamaged;
  HANDLE h = CreateFileA(self, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  const DWORD fileSize = GetFileSize(h, nullptr);
  unsigned char* pack = nullptr;
  DWORD got = 0;
  if (fileSize != INVALID_FILE_SIZE && offset <= fileSize && fileSize - offset >= length &&
      SetFilePointer(h, static_cast<LONG>(offset), nullptr, FILE_BEGIN) == offset && (pack = Alloc(length)))
    ReadFile(h, pack, length, &got, nullptr);
  CloseHandle(h);
  if (!pack || got != length) return kDamaged;

  // key (16 bytes), 8 digits of index length, the index, the data
  const unsigned char* key = pack;
  DWORD indexLen = 0;
  for (int i = 16; i < 24; ++i) {
    if (pack[i] < '0' || pack[i] > '9') return kDamaged;
    indexLen = indexLen * 10 + (pack[i] - '0');
  }
  if (indexLen > length - 24) return kDamaged;
  unsigned char* index = pack + 24;
  const DWORD plainLen = Unscramble(index, indexLen, key, 16);
  if (plainLen == kNoLimit) return kDamaged;
  const unsigned char* data = pack + 24 + indexLen;
  const DWORD dataLen = length - 24 - indexLen;

  // one line per file: offset,compressed length,size,destination CR LF
  const unsigned char* p = index;
  const unsigned char* end = index + plainLen;
  while (p < end) {
    const DWORD at = Number(p, end), clen = Number(p, end), size = Number(p, end);
    if (at == kNoLimit || clen == kNoLimit || size == kNoLimit || at > dataLen || clen > dataLen - at) return kDamaged;
    if (size > clen * 9 + 18) return kDamaged;  // more than any stream of that length gives
    const unsigned char* d = p;
    while (p < end && *p != '\r' && *p != '\n') ++p;
    const DWORD destLen = static_cast<DWORD>(p - d);
    while (p < end && (*p == '\r' || *p == '\n')) ++p;
    unsigned char* out = Alloc(size);
    if (!out) return ERROR_NOT_ENOUGH_MEMORY;
    const DWORD n = Decode(data + at, clen, out, size);
    if (n != size) return kDamaged;
    const DWORD err = WriteOne(folder, reinterpret_cast<const char*>(d), destLen, out, size);
    VirtualFree(out, 0, MEM_RELEASE);
    if (err) return err;
  }
  return 0;
}

}  // namespace

extern "C" void __stdcall StubMain() { ExitProcess(Unpack()); }
