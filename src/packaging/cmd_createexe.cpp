// CREATEEXE, CREATEDLL and PLUG: a script with the files it names, packed
// into a copy of the interpreter image or into a plug file.
#include <windows.h>

#include "boxes/boxes.h"
#include "interp/args.h"
#include "interp/commands.h"
#include "interp/errors.h"
#include "packaging/compress_file.h"
#include "packaging/package.h"
#include "packaging/package_format.h"
#include "packaging/scramble.h"
#include "sysadmin/fileops.h"

namespace kes {

namespace {

// The 22-byte header of a 32x32 16-colour icon bitmap. It is stored inverted
// and made at run time: the packager must not find its own copy of it in
// the image it searches.
std::string IconHeader() {
  static const unsigned char inverted[22] = {0xD7, 0xFF, 0xFF, 0xFF, 0xDF, 0xFF, 0xFF, 0xFF, 0xBF, 0xFF, 0xFF,
                                             0xFF, 0xFE, 0xFF, 0xFB, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0xFD};
  volatile unsigned char mask = 0xFF;
  std::string h(22, '\0');
  for (size_t k = 0; k < 22; ++k) h[k] = static_cast<char>(inverted[k] ^ mask);
  return h;
}
// Header, 16-colour palette, colour and mask bits of that bitmap.
constexpr size_t kIconImageSize = 40 + 64 + 512 + 128;

struct Job {
  CreateExeWord word;
  std::string caption;  // the command word, for the gauge
  std::string script, target;
  std::string scriptFolder;
  std::vector<std::string> lines;
  std::vector<size_t> numbers;  // each line's number in its file, for messages
  PackageBuilder files;
  std::vector<std::string> embedded;  // paths already in the package, upper case
  std::vector<std::string> names;     // their file names, upper case
};

std::vector<std::string> TextLines(std::string_view text) {
  std::vector<std::string> out;
  size_t from = 0;
  while (from < text.size()) {
    size_t e = text.find('\n', from);
    if (e == std::string_view::npos) e = text.size();
    std::string_view l = text.substr(from, e - from);
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    out.emplace_back(l);
    from = e + 1;
  }
  return out;
}

std::string TrimBlanks(std::string_view s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string_view::npos) return std::string();
  const size_t b = s.find_last_not_of(" \t");
  return std::string(s.substr(a, b - a + 1));
}

std::string WithScriptPath(const Job& j, std::string s) {
  // %SCRIPTPATH% is the folder of the script being packaged.
  for (size_t p = Upper(s).find("%SCRIPTPATH%"); p != std::string::npos; p = Upper(s).find("%SCRIPTPATH%", p))
    s.replace(p, 12, j.scriptFolder), p += j.scriptFolder.size();
  return s;
}

std::string FileNamePart(const std::string& path) {
  const size_t p = path.find_last_of("\\/");
  return p == std::string::npos ? path : path.substr(p + 1);
}

// A missing file: the box, the half-written target gone.
void MissingFile(Interp& in, Job& j, const std::string& text) {
  in.err.code = kErrNotFound;
  DeleteFileA(j.target.c_str());
  ShowErrorBox(in, text);
}

// Reads the script and its INCLUDE files; INCLUDE lines themselves are not
// kept (the packaged run has the included lines already).
bool CollectLines(Interp& in, Job& j) {
  std::string text;
  if (!FileExists(j.script) || ReadSource(in, j.script, text) != 0) {
    MissingFile(in, j, "\r\n\r\nError 53\r\n" + j.script);
    return false;
  }
  std::vector<std::string> main = TextLines(text);
  if (StartsWith(text, kScrambleMark)) {
    // A scrambled script is packaged plain: its INCLUDE and SET lines must be read.
    main = TextLines(std::string_view(text).substr(kScrambleMark.size()));
    for (auto& l : main) l = UnscrambleOrKeep(TrimBlanks(l));
  }
  std::vector<std::string> included;
  std::vector<size_t> includedNumbers;
  for (size_t n = 0; n < main.size(); ++n) {
    std::string l = TrimBlanks(main[n]);
    if (l.size() >= 8 && Upper(l.substr(0, 8)) == "INCLUDE ") {
      std::string name;
      for (char c : l.substr(8))
        if (c != ' ' && c != '\t' && c != '"') name += c;
      name = WithScriptPath(j, Upper(name));
      std::string inc;
      if (!FileExists(name) || ReadSource(in, name, inc) != 0) {
        MissingFile(in, j, "\r\n\r\nError 53\r\n" + name);
        return false;
      }
      const std::vector<std::string> incLines = TextLines(inc);
      for (size_t k = 0; k < incLines.size(); ++k) {
        included.push_back(TrimBlanks(incLines[k]));
        includedNumbers.push_back(k + 1);
      }
      continue;
    }
    j.lines.push_back(std::move(l));
    j.numbers.push_back(n + 1);
  }
  for (auto& l : included) j.lines.push_back(std::move(l));
  j.numbers.insert(j.numbers.end(), includedNumbers.begin(), includedNumbers.end());
  return true;
}

bool IsComment(const std::string& l) {
  return l.empty() || l[0] == ';' || l[0] == '\'' || (l.size() >= 4 && Upper(l.substr(0, 4)) == "REM ");
}

// SET lines naming ADDONLIST or IMAGELIST files embed those files, each once;
// comment lines are dropped.
bool EmbedFiles(Interp& in, Job& j) {
  std::vector<std::string> kept;
  for (size_t i = 0; i < j.lines.size(); ++i) {
    std::string& l = j.lines[i];
    if (IsComment(l)) continue;
    const std::string up = Upper(l);
    const size_t eq = l.find('=');
    if (StartsWith(up, "SET ") && eq != std::string::npos) {
      const std::string name = Trim(std::string_view(l).substr(4, eq - 4));
      const std::string upName = Upper(name);
      if (upName.find("ADDONLIST") != std::string::npos || upName.find("IMAGELIST") != std::string::npos) {
        std::string path = WithScriptPath(j, Trim(std::string_view(l).substr(eq + 1)));
        RemoveChar(path, '"');
        const std::string key = Upper(path);
        bool seen = false;
        for (const auto& e : j.embedded) seen = seen || e == key;
        const std::string fileName = Upper(FileNamePart(path));
        if (!seen) {
          // Two files of one name would share one extraction path: one of
          // them would be lost in the run.
          for (const auto& n : j.names) {
            if (n != fileName) continue;
            MissingFile(in, j, "\r\n\r\nError 58\r\n\r\nLINE" + std::to_string(j.numbers[i]) + "\r\n\r\n" + path);
            in.err.code = kErrFileExists;
            return false;
          }
          std::string content;
          if (!FileExists(path) || ReadSource(in, path, content) != 0) {
            MissingFile(in, j, "\r\n\r\nError 53\r\n\r\nLINE" + std::to_string(j.numbers[i]) + "\r\n\r\n" + path);
            return false;
          }
          if (!j.files.AddFile(fileName, name, content)) {
            in.err.code = kErrOutOfMemory;  // beyond what the package's lengths can hold
            return false;
          }
          j.embedded.push_back(key);
          j.names.push_back(fileName);
        }
      }
    }
    kept.push_back(std::move(l));
  }
  j.lines.swap(kept);
  return true;
}

// The interpreter image: the chosen file, or the running packaged file, up to
// its main block (a signature after it is dropped with the old package).
bool ReadImage(Interp& in, const Job& j, const std::string& options, std::string& image) {
  std::string file;
  // The descriptor, not the packaged flag: CALL clears that flag while the
  // called script runs.
  if (in.mach.mainLen > 0) {
    file = ImageFilePath();
  } else if (j.word == CreateExeWord::CreateDll) {
    file = in.mach.exeFolder + "Kestrova.DLL";
  } else if (Upper(options).find("LIGHT") != std::string::npos) {
    file = in.mach.exeFolder + "KesLight.exe";
  } else {
    file = in.mach.exeFolder + "Kestrova.EXE";
  }
  if (!FileExists(file) || ReadSource(in, file, image) != 0) {
    in.err.code = kErrNotFound;
    return false;
  }
  const size_t v = FindDescriptorValue(image, '3', kMainFieldLength);
  if (v == std::string::npos) {
    in.err.code = kDamagedPackage;  // not an interpreter image
    return false;
  }
  const uint64_t mainPos = ReadDigits(image, v, 6);
  if (mainPos >= 1 && mainPos - 1 < image.size()) {
    image.resize(static_cast<size_t>(mainPos - 1));
    ClearCertificateDirectory(image);
  }
  return true;
}

// Puts the icon file's 32x32 16-colour image over the interpreter's, at its
// first two places.
bool ReplaceIcon(Interp& in, const std::string& iconFile, std::string& image) {
  std::string icon;
  if (!FileExists(iconFile) || ReadSource(in, iconFile, icon) != 0) {
    in.err.code = kErrNotFound;
    return false;
  }
  const std::string header = IconHeader();
  if (icon.size() < 22 + kIconImageSize || icon.compare(22, 16, header, 0, 16) != 0) {
    in.err.code = kErrUsage;  // not a 32x32 16-colour icon
    return false;
  }
  const std::string_view bits = std::string_view(icon).substr(22, kIconImageSize);
  size_t at = image.find(header);
  for (int k = 0; k < 2 && at != std::string::npos && image.size() - at >= kIconImageSize; ++k) {
    image.replace(at, kIconImageSize, bits);
    at = image.find(header, at + 100);
  }
  return true;
}

// Writes the version text over the FileVersion value of the version
// resource, in its UTF-16 characters, within the length the value has.
void SetVersionText(const std::string& version, std::string& image) {
  auto wide = [](std::string_view s) {
    std::string w;
    for (char c : s) {
      w += c;
      w += '\0';
    }
    return w;
  };
  const size_t info = image.find(wide("VS_VERSION_INFO"));
  if (info == std::string::npos) return;
  const std::string key = wide("FileVersion") + std::string(2, '\0');
  const size_t k = image.find(key, info);
  if (k == std::string::npos || k < 6) return;
  const size_t valueChars = static_cast<unsigned char>(image[k - 4]) | (static_cast<unsigned char>(image[k - 3]) << 8);
  size_t v = k + key.size();
  v = (v + 3) & ~static_cast<size_t>(3);
  if (valueChars == 0 || image.size() < v + valueChars * 2) return;
  std::string text = wide(version.substr(0, valueChars - 1));
  text.resize(valueChars * 2, '\0');
  image.replace(v, text.size(), text);
}

void Build(Interp& in, Job& j) {
  const bool plug = j.word == CreateExeWord::Plug;
  std::string image;
  if (!plug && !ReadImage(in, j, Field(in, 7), image)) return;
  if (!plug && !FieldUnquoted(in, 8).empty() && !ReplaceIcon(in, FieldUnquoted(in, 8), image)) return;
  if (!plug && !Field(in, 9).empty()) SetVersionText(Field(in, 9), image);
  if (!plug) {
    PackageOptions o{FieldUnquoted(in, 3), FieldUnquoted(in, 4), FieldUnquoted(in, 5), Upper(Field(in, 6)) == "ONCE"};
    if ((o.account + "," + o.domain + "," + o.password).size() > 72) {
      in.err.code = kErrUsage;  // the credentials field holds 72 characters
      return;
    }
    const size_t opt = FindDescriptorValue(image, 'O', kOptionFieldLength);
    if (opt != std::string::npos) image.replace(opt, kOptionFieldLength, MakeOptionField(o));
  }
  if (!CollectLines(in, j) || !EmbedFiles(in, j)) return;
  std::string body;
  if (!j.files.Finish(MakeTempEntry("", ""), j.lines, body)) {
    in.err.code = kErrOutOfMemory;
    return;
  }
  j.lines.clear();
  std::string packed = CompressWithGauge(in, body, j.caption + " " + j.target);
  body.clear();
  body.shrink_to_fit();
  if (plug) packed = FramePlug(packed);
  if (!plug) {
    // The main block starts right after the image; its length is what follows.
    const size_t v = FindDescriptorValue(image, '3', kMainFieldLength);
    if (image.size() + 1 > 999999 || packed.size() > kMaxSectionLength) {
      in.err.code = kErrOutOfMemory;
      return;
    }
    WriteDigits(image, v, image.size() + 1, 6);
    WriteDigits(image, v + 6, packed.size(), 8);
  }
  if (const int32_t code = ReplaceTarget(j.target, image, packed)) in.err.code = code;
}

}  // namespace

// CREATEEXE script,target[,account,domain,password,ONCE,LIGHT,icon,version],
// CREATEDLL the same with a .DLL target, PLUG script,target. The target is
// the argument whose name holds ".EXE" (".DLL"; ".KPG" for PLUG, else the
// second). Errors: 1 no target or credentials over 72 characters, 53 a
// missing script, include, embedded, image or icon file (with a box for the
// script's files), 58 two embedded files of one name from different folders
// (with the box), 7 too large for the package, 75 target not writable.
void CmdCreateExe(Interp& in, Ctx& c) {
  in.err.code = kErrNone;
  Job j;
  j.word = c.Word<CreateExeWord>();
  j.caption = j.word == CreateExeWord::CreateExe ? "CREATEEXE" : j.word == CreateExeWord::CreateDll ? "CREATEDLL" : "PLUG";
  const std::string a = FieldUnquoted(in, 1), b = FieldUnquoted(in, 2);
  const std::string ext = j.word == CreateExeWord::Plug ? ".KPG" : "." + j.caption.substr(j.caption.size() - 3);
  if (Upper(a).find(ext) != std::string::npos) {
    j.target = a;
    j.script = b;
  } else if (Upper(b).find(ext) != std::string::npos || (j.word == CreateExeWord::Plug && !b.empty())) {
    j.script = a;
    j.target = b;
  } else {
    in.err.code = kErrUsage;
    return;
  }
  const size_t slash = j.script.find_last_of("\\/");
  j.scriptFolder = slash == std::string::npos ? std::string() : j.script.substr(0, slash);
  Build(in, j);
}

}  // namespace kes
