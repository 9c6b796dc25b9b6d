#include "packaging/package.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

#include "interp/args.h"
#include "interp/commands.h"
#include "interp/errors.h"
#include "interp/log.h"
#include "packaging/compress_file.h"
#include "packaging/package_format.h"

namespace kes {

std::string ImageFilePath() {
  // The module whose code this is: GetModuleHandleEx is not on Windows 2000.
  MEMORY_BASIC_INFORMATION mbi{};
  HMODULE module = nullptr;
  if (VirtualQuery(reinterpret_cast<const void*>(&ImageFilePath), &mbi, sizeof mbi))
    module = static_cast<HMODULE>(mbi.AllocationBase);
  char path[MAX_PATH + 1];
  const DWORD n = GetModuleFileNameA(module, path, sizeof path);
  if (n == 0 || n >= sizeof path) return std::string();
  return std::string(path, n);
}

bool ReadFileRange(const std::string& path, uint64_t offset, uint64_t length, std::string& out, std::string& why) {
  out.clear();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    why = "cannot open " + path + " (" + std::to_string(GetLastError()) + ")";
    return false;
  }
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(h, &size) != 0;
  const uint64_t fileSize = ok ? static_cast<uint64_t>(size.QuadPart) : 0;
  if (ok && (offset > fileSize || fileSize - offset < length)) {
    why = path + " holds " + std::to_string(fileSize) + " bytes, the package claims " + std::to_string(length) +
          " at " + std::to_string(offset) + ": cut short";
    ok = false;
  }
  if (ok && length > kMaxPackageBody) {
    why = "package of " + std::to_string(length) + " bytes refused";
    ok = false;
  }
  if (ok) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    out.resize(static_cast<size_t>(length));
    size_t done = 0;
    ok = SetFilePointerEx(h, at, nullptr, FILE_BEGIN) != 0;
    while (ok && done < out.size()) {
      DWORD got = 0;
      const DWORD want = static_cast<DWORD>(std::min<size_t>(out.size() - done, 1u << 24));
      if (!ReadFile(h, &out[done], want, &got, nullptr) || got == 0) ok = false;
      done += got;
    }
    if (!ok) {
      why = "read error in " + path;
      out.clear();
    }
  }
  CloseHandle(h);
  return ok;
}

namespace {

void Refuse(Interp& in, const std::string& why) {
  in.err.code = kDamagedPackage;
  WriteLog(in, "Package: " + why);
}

// Reads a package: its files go to the embedded file table with their
// variables, its script to text. Damaged: nothing is kept.
bool LoadPackage(Interp& in, std::string_view compressed, std::string& text) {
  text.clear();
  PackageContents p;
  std::string why;
  PackageRead r;
  try {
    r = ReadPackage(compressed, p, why);
  } catch (const std::bad_alloc&) {
    r = PackageRead::Damaged;
    why = "not enough memory for the package";
  }
  if (r == PackageRead::Damaged) {
    Refuse(in, why);
    return false;
  }
  in.pkg.loaded = true;
  if (r == PackageRead::NotPackage) {
    text.swap(p.script);
    return !text.empty();
  }
  in.pkg.askIndex.swap(p.tempEntry);
  auto body = std::make_shared<const std::string>(std::move(p.body));
  for (const auto& e : p.entries) {
    EmbeddedFile f;
    f.path = in.mach.tempPrefix + e.fileName;
    f.var = e.varName;
    f.body = body;
    f.offset = e.offset;
    f.size = e.size;
    if (!f.var.empty()) SetVariable(in, f.var, f.path);
    in.mach.tempFiles.push_back(f.path);
    in.pkg.files.push_back(std::move(f));
  }
  text.swap(p.script);
  return !text.empty();
}

// The main block of another packaged file: located by that file's own
// descriptor, else from our main block position to the end; a plug file is
// read between its marks.
bool PlugArgumentBlock(Interp& in, const std::string& file, std::string& block, std::string& why) {
  std::string data;
  if (const int32_t code = ReadSource(in, file, data)) {
    why = "cannot read " + file + " (" + std::to_string(code) + ")";
    return false;
  }
  if (IsFramedPackage(data)) {
    block.assign(UnframePlug(data));
    return true;
  }
  const size_t v = FindDescriptorValue(data, '3', kMainFieldLength);
  uint64_t pos = v != std::string::npos ? ReadDigits(data, v, 6) : 0;
  uint64_t len = v != std::string::npos ? ReadDigits(data, v + 6, 8) : 0;
  if (pos == 0) pos = static_cast<uint64_t>(in.mach.mainPos);
  if (pos == 0 || pos - 1 > data.size()) {
    why = file + " holds no package";
    return false;
  }
  if (len == 0) len = data.size() - (pos - 1);
  if (data.size() - (pos - 1) < len) {
    why = file + " is cut short";
    return false;
  }
  block = data.substr(static_cast<size_t>(pos - 1), static_cast<size_t>(len));
  return true;
}

}  // namespace

bool PackagedScriptText(Interp& in, std::string_view arguments, std::string& text) {
  text.clear();
  std::string block, why;
  const std::string args = Trim(arguments);
  const bool plug = Upper(args.substr(0, 5)) == "/PLUG" && (args.size() == 5 || args[5] == ' ' || args[5] == '"');
  bool ok;
  if (plug) {
    std::string file = Trim(std::string_view(args).substr(5));
    RemoveChar(file, '"');
    ok = PlugArgumentBlock(in, file, block, why);
  } else {
    // Exactly the block the descriptor names: whatever follows it (a
    // signature's certificate table) is not part of the package.
    const MachineInfo& m = in.mach;
    if (m.mainPos < 1) {
      why = "no main block position in the executable";
      ok = false;
    } else {
      ok = ReadFileRange(ImageFilePath(), static_cast<uint64_t>(m.mainPos - 1), static_cast<uint64_t>(m.mainLen), block,
                         why);
    }
  }
  if (!ok) {
    Refuse(in, why);
    return false;
  }
  return LoadPackage(in, block, text);
}

bool PackageFileScript(Interp& in, std::string_view body, std::string& text) {
  return LoadPackage(in, body, text);
}

const EmbeddedFile* FindEmbedded(const Interp& in, std::string_view path) {
  for (const EmbeddedFile& f : in.pkg.files)
    if (EqualsNoCase(f.path, path)) return &f;
  return nullptr;
}

HBITMAP LoadBitmapFile(const Interp& in, const std::string& path) {
  const EmbeddedFile* f = GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? FindEmbedded(in, path) : nullptr;
  if (!f) return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  // A .bmp file: the file header, then the bitmap header and bits.
  const std::string_view bmp = std::string_view(*f->body).substr(f->offset, f->size);
  if (bmp.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) || bmp[0] != 'B' || bmp[1] != 'M') return nullptr;
  BITMAPFILEHEADER fh;
  std::memcpy(&fh, bmp.data(), sizeof fh);
  if (fh.bfOffBits >= bmp.size() || fh.bfOffBits < sizeof fh + sizeof(BITMAPINFOHEADER)) return nullptr;
  // Nothing is read past the content: plain RGB bitmaps whose header,
  // colour table and rows all lie inside it.
  BITMAPINFOHEADER bi;
  std::memcpy(&bi, bmp.data() + sizeof fh, sizeof bi);
  const uint64_t width = static_cast<uint64_t>(bi.biWidth > 0 ? bi.biWidth : 0);
  const uint64_t height = static_cast<uint64_t>(bi.biHeight < 0 ? -static_cast<int64_t>(bi.biHeight) : bi.biHeight);
  const unsigned bpp = bi.biBitCount;
  if (bi.biSize < sizeof bi || bi.biCompression != BI_RGB || width == 0 || width > 65535 || height > 65535 ||
      (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32))
    return nullptr;
  const uint64_t colours = bi.biClrUsed ? bi.biClrUsed : (bpp <= 8 ? (1u << bpp) : 0);
  const uint64_t stride = (width * bpp + 31) / 32 * 4;
  if (sizeof fh + bi.biSize + colours * 4 > bmp.size() || stride * height > bmp.size() - fh.bfOffBits) return nullptr;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(bmp.data() + sizeof fh);
  HDC dc = GetDC(nullptr);
  HBITMAP h = CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, bmp.data() + fh.bfOffBits, info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  return h;
}

void ApplyPackageOptions(Interp& in) {
  PackageOptions o;
  if (!ReadOptionField(in.mach.optionField, o)) return;
  in.mach.selfDelete = o.once;
  if (o.account.empty() && o.domain.empty() && o.password.empty()) return;
  SetVariable(in, "ADMINACCOUNT", o.account);
  SetVariable(in, "ADMINDOMAIN", o.domain);
  SetVariable(in, "ADMINPASSWORD", o.password);
}

// ADDONWRITE name[,path]: writes an embedded file to the path its variable
// holds, or to the path given. The name is the variable (ADDONLIST1), or the
// extraction path itself; the bare words ADDONLIST and IMAGELIST write every
// file of that list. The result is the path written (the count for a list).
// Errors: 53 no such embedded file, 75 the file cannot be written.
void CmdAddonWrite(Interp& in, Ctx&) {
  const std::string name = Upper(FieldUnquoted(in, 1));
  const std::string given = FieldUnquoted(in, 2);
  in.err.code = kErrNone;
  const bool wholeList = name == "ADDONLIST" || name == "IMAGELIST";
  int written = 0;
  std::string last;
  for (const EmbeddedFile& f : in.pkg.files) {
    const std::string var = Upper(f.var);
    const bool match = wholeList ? StartsWith(var, name) : (var == name || EqualsNoCase(f.path, name));
    if (!match) continue;
    std::string target = given;
    if (target.empty() || wholeList) target = f.var.empty() ? std::string() : GetVariable(in, f.var);
    if (target.empty()) target = f.path;
    const std::string_view content = std::string_view(*f.body).substr(f.offset, f.size);
    if (const int32_t code = ReplaceTarget(target, {}, content)) {
      in.err.code = code;
      return;
    }
    ++written;
    last = target;
    if (!wholeList) break;
  }
  if (written == 0 && !wholeList) {
    in.err.code = kErrNotFound;
    return;
  }
  in.line.result = wholeList ? std::to_string(written) : last;
}

}  // namespace kes
