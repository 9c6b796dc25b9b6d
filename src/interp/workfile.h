// Whole-file reading and the work-file replacement used by the commands that
// edit text files in place.
#pragma once

#include <string>
#include <string_view>

#include "interp/errors.h"

namespace kes {

// Reads a whole file: 0, 53, 76, 75, 1 for an empty name, or 7 for a file too
// large to hold. shareWrite lets others keep the file open for writing (a
// log being read); an edit asks for exclusive writing instead.
int ReadFileBytes(const std::string& path, std::string& out, bool shareWrite);

// Writes bytes to a work file in the folder of path and moves it over path.
// On any failure the work file is removed and path is left as it was; the
// result is 0 or the error code.
int ReplaceThroughWorkFile(const std::string& path, std::string_view bytes);

// A file that is written piece by piece and must never be seen half-written
// (a download): the bytes go to a work file in the target's folder, and only
// Commit puts it in place of the target. Until then, and after Abandon or a
// failure, the target is as it was.
class WorkFileWriter {
 public:
  WorkFileWriter() = default;
  WorkFileWriter(const WorkFileWriter&) = delete;
  WorkFileWriter& operator=(const WorkFileWriter&) = delete;
  ~WorkFileWriter() { Abandon(); }
  // 0, or the error code: 75 for a read-only target or a folder, else the
  // file-open error of the work file (76 for a missing folder).
  int Open(const std::string& target);
  bool IsOpen() const { return handle_ != nullptr; }
  // False once a write failed (a full disk); the bytes are buffered.
  bool Write(std::string_view bytes);
  // Replaces the target with the work file: 0, or 75 when it cannot.
  int Commit();
  // Closes and removes the work file; the target is untouched.
  void Abandon();
  // Deletes the target at once, for a writer whose old target must not
  // outlive a failure (a download replaces its local file or leaves none).
  void DeleteTarget();

 private:
  bool Flush();
  std::string target_, work_, buffer_;
  void* handle_ = nullptr;
  unsigned long attributes_ = 0;
  bool failed_ = false;
};

// A file read from start to end in pieces (an upload, an attachment), shared
// with other readers and writers.
class FileReader {
 public:
  FileReader() = default;
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;
  ~FileReader() { Close(); }
  // 0, or the error code: 53 missing, 76 missing folder, 75 refused.
  int Open(const std::string& path);
  // Appends up to max bytes to out (none at the end); false when the read
  // fails.
  bool Read(std::string& out, size_t max);
  void Close();

 private:
  void* handle_ = nullptr;
};

}  // namespace kes
