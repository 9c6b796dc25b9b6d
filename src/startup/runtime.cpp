// Two pieces of the C++ runtime, replaced because the library's own bring
// about 100 KB into the executable for nothing it needs (see the README,
// "Size budget"). This file is linked as an object into Kestrova.exe and
// the unit tests, never through a library, so the linker always takes
// these definitions before it looks into libstdc++.
//
// - The terminate handler: the library's prints the demangled type of the
//   exception on stderr, which drags in the whole demangler (46 KB); a GUI
//   program has no stderr, so it only aborts, as the library's does after
//   printing.
// - The helpers the standard headers call to throw (string bounds, stoi,
//   vector::at, a too long string...): the library's build std::logic_error
//   and its kin around a reference-counted string, which drags in a second
//   string implementation (45 KB). Here a length error is std::bad_alloc
//   (the line guard gives both the "not enough memory" code), the others
//   are one std::exception whose what() is the library's message.
#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

namespace {

// A library error that owns its message in a fixed buffer: throwing it
// allocates nothing beyond the exception object itself.
class LibraryError : public std::exception {
 public:
  explicit LibraryError(const char* what) { Append(what, nullptr); }
  LibraryError(const char* fmt, va_list* ap) { Append(fmt, ap); }
  const char* what() const noexcept override { return text_; }

 private:
  // The library's messages use %s, %zu and %%; anything else is copied.
  void Append(const char* fmt, va_list* ap) {
    size_t n = 0;
    auto put = [&](char c) {
      if (n + 1 < sizeof text_) text_[n++] = c;
    };
    for (const char* p = fmt ? fmt : ""; *p; ++p) {
      if (!ap || *p != '%') {
        put(*p);
      } else if (p[1] == 's') {
        for (const char* s = va_arg(*ap, const char*); s && *s; ++s) put(*s);
        ++p;
      } else if (p[1] == 'z' && p[2] == 'u') {
        char digits[24];
        size_t d = sizeof digits, v = va_arg(*ap, size_t);
        do digits[--d] = static_cast<char>('0' + v % 10);
        while ((v /= 10) != 0);
        while (d < sizeof digits) put(digits[d++]);
        p += 2;
      } else if (p[1] == '%') {
        put('%');
        ++p;
      } else {
        put(*p);
      }
    }
    text_[n] = '\0';
  }
  char text_[256];
};

}  // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_length_error(const char*) { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_logic_error(const char* s) { throw LibraryError(s); }
void __throw_domain_error(const char* s) { throw LibraryError(s); }
void __throw_invalid_argument(const char* s) { throw LibraryError(s); }
void __throw_out_of_range(const char* s) { throw LibraryError(s); }
void __throw_runtime_error(const char* s) { throw LibraryError(s); }
void __throw_range_error(const char* s) { throw LibraryError(s); }
void __throw_overflow_error(const char* s) { throw LibraryError(s); }
void __throw_underflow_error(const char* s) { throw LibraryError(s); }
void __throw_out_of_range_fmt(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  LibraryError e(fmt, &ap);
  va_end(ap);
  throw e;
}
}  // namespace std
