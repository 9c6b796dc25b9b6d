// COMPRESS and UNCOMPRESS: files in the compressed file format.
#include <windows.h>

#include <algorithm>

#include "boxes/boxes.h"
#include "interp/commands.h"
#include "net/http.h"
#include "packaging/compress.h"
#include "packaging/compress_file.h"
#include "sysadmin/fileops.h"

namespace kes {

std::string CompressedFileHeader(uint32_t length) {
  std::string h(kCompressedHeaderSize, '\0');
  h[0] = 1;
  h[4] = 2;
  h[8] = 3;
  h[9] = 0;
  for (int k = 0; k < 4; ++k) h[10 + k] = static_cast<char>((length >> (8 * k)) & 0xFF);
  return h;
}

int64_t SavedPercent(uint64_t compressed, uint64_t uncompressed) {
  // Nothing to save on nothing: the header alone is not counted as a loss.
  if (uncompressed == 0) return 0;
  // R in hundredths, rounded half up; then 100 - R rounded down.
  const uint64_t r100 = ((compressed + kCompressedHeaderSize) * 20000 + uncompressed) / (2 * uncompressed);
  const int64_t left = 10000 - static_cast<int64_t>(r100);
  return left >= 0 ? left / 100 : -((-left + 99) / 100);
}

std::string CompressWithGauge(Interp& in, std::string_view input, std::string_view caption, bool keepGaugeOpen) {
  if (input.size() <= kGaugeThreshold) return Compress(input);
  GaugeUpdate(in, "ON," + std::string(caption));
  std::string last;
  std::string out = Compress(input, [&in, &last](size_t pos, size_t total) {
    last = std::to_string(pos) + "," + std::to_string(total) + ",%";
    GaugeUpdate(in, last, true);
  });
  if (!keepGaugeOpen) GaugeUpdate(in, "OFF");
  else if (!last.empty()) GaugeUpdate(in, last);  // a gauge left open shows its last value
  return out;
}

namespace {

bool IsHttp(std::string_view path) { return StartsWithNoCase(path, "http://"); }

// The existence test: a file (not a folder), or an HTTP address that answers
// with a document.
bool SourceExists(Interp& in, const std::string& path) {
  return IsHttp(path) ? HttpExists(in, path) : FileExists(path);
}

}  // namespace

// Reads a whole source. 0, or the error code: the HTTP client's error when an
// address cannot be fetched, 75 when the file cannot be opened or read to its end (a locked
// file, a read error: a part of the file is never taken for all of it).
int32_t ReadSource(Interp& in, const std::string& path, std::string& out) {
  out.clear();
  if (IsHttp(path)) {
    HttpGetRequest r;
    r.address = path;
    r.keepBody = true;
    const int32_t e = HttpGet(in, r);
    out.swap(r.body);
    return e;
  }
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return kErrNotAccessible;
  DWORD high = 0;
  const DWORD low = GetFileSize(h, &high);
  if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || low > 0x7FFF0000u) {
    CloseHandle(h);
    return low == INVALID_FILE_SIZE ? kErrNotAccessible : kErrOutOfMemory;  // larger than memory can hold
  }
  int32_t code = 0;
  out.resize(low);
  size_t done = 0;
  while (done < out.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(out.size() - done, 1u << 24));
    if (!ReadFile(h, &out[done], want, &got, nullptr) || got == 0) {
      code = kErrNotAccessible;
      break;
    }
    done += got;
  }
  CloseHandle(h);
  if (code) out.clear();
  return code;
}

namespace {

// The folder part of a path, for a work file beside the target.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos) return path.substr(0, slash + 1);
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  return ".";
}

}  // namespace

static bool WriteAll(HANDLE h, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD put = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
    if (!WriteFile(h, bytes.data() + done, want, &put, nullptr) || put == 0) return false;
    done += put;
  }
  return true;
}

// Replaces the target with head + body. The bytes go to a work file in the
// target's folder first; only when it is complete is the old target deleted
// and the work file renamed, so a failed write (a full disk) loses nothing,
// not even a source that is also the target. 0 or the error code (75 when the
// target cannot be created or replaced, else the failed call's error).
int32_t ReplaceTarget(const std::string& target, std::string_view head, std::string_view body) {
  if (FolderExists(target)) return kErrNotAccessible;
  char work[MAX_PATH + 16];
  if (!GetTempFileNameA(FolderOf(target).c_str(), "kes", 0, work)) return kErrNotAccessible;
  HANDLE h = CreateFileA(work, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DeleteFileA(work);
    return kErrNotAccessible;
  }
  int32_t code = 0;
  if (!WriteAll(h, head) || !WriteAll(h, body)) {
    code = static_cast<int32_t>(GetLastError());
    if (code == 0) code = kErrNotAccessible;
  }
  if (!CloseHandle(h) && code == 0) code = kErrNotAccessible;
  if (code == 0) {
    const DWORD attr = GetFileAttributesA(target.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && !DeleteFileA(target.c_str())) code = kErrNotAccessible;  // locked or read-only
    else if (!MoveFileA(work, target.c_str()) && !CopyFileA(work, target.c_str(), FALSE)) code = kErrNotAccessible;
  }
  DeleteFileA(work);  // gone already after a rename
  return code;
}

namespace {

void RunCompress(Interp& in, Ctx& c, const std::string& source, const std::string& target) {
  std::string data;
  if (const int32_t code = ReadSource(in, source, data)) {
    in.err.code = code;
    return;
  }
  std::string caption = c.lineText;
  if (caption.empty()) caption = in.line.word + " " + in.line.args;
  const std::string packed = CompressWithGauge(in, data, caption);
  // The length field holds 32 bits; sources are below 2 GB.
  const std::string head = CompressedFileHeader(static_cast<uint32_t>(data.size()));
  if (const int32_t code = ReplaceTarget(target, head, packed)) {
    in.err.code = code;
    return;
  }
  in.line.result = std::to_string(SavedPercent(packed.size(), data.size()));
}

void RunUncompress(Interp& in, const std::string& source, const std::string& target) {
  std::string data;
  if (const int32_t code = ReadSource(in, source, data)) {
    in.err.code = code;
    return;
  }
  // The header is not checked, nor its length trusted: the stream alone says
  // what comes out (the length only sizes the buffer). A file shorter than
  // the header gives an empty target.
  std::string_view stream;
  size_t expected = 0;
  if (data.size() > kCompressedHeaderSize) {
    stream = std::string_view(data).substr(kCompressedHeaderSize);
    for (int k = 3; k >= 0; --k) expected = expected << 8 | static_cast<unsigned char>(data[10 + k]);
  }
  const std::string plain = Decompress(stream, SIZE_MAX, nullptr, expected);
  data.clear();
  data.shrink_to_fit();
  if (const int32_t code = ReplaceTarget(target, {}, plain)) in.err.code = code;
}

}  // namespace

// COMPRESS source,target and UNCOMPRESS source,target. COMPRESS answers the
// percentage of space saved (negative when the file grew, 0 for an empty
// source); UNCOMPRESS gives no value. Errors: 53 missing source (or a folder),
// 1 no target, 75 a source or target that cannot be read or replaced, 7 not
// enough memory (from the dispatcher's guard, or a source too large to hold).
void CmdCompress(Interp& in, Ctx& c) {
  const std::string source = FieldUnquoted(in, 1);
  const std::string target = FieldUnquoted(in, 2);
  if (source.empty() || !SourceExists(in, source)) {
    in.err.code = kErrNotFound;
    return;
  }
  if (target.empty()) {
    in.err.code = kErrUsage;
    return;
  }
  in.err.code = 0;
  if (c.Word<CompressWord>() == CompressWord::Uncompress) RunUncompress(in, source, target);
  else RunCompress(in, c, source, target);
}

}  // namespace kes
