// The runtime library's own error throws (an index past the end of a string,
// a length beyond max_size, ...), defined here in place of the library's.
// Its versions construct std::logic_error, std::runtime_error and their kin,
// whose constructors keep the message in the older, reference-counted string:
// linking them brings a second whole string implementation, some 45 KB, into
// a program whose download size matters. Here those errors are thrown as
// qwp::SetupError, a std::exception with the same message; the allocation and
// cast errors keep their standard types, which cost nothing extra. The setup
// catches none of the replaced types by name: they only ever reach its
// catch (...) boundaries.
#include "instutils/SetupError.h"

#include <cstdarg>
#include <cstddef>
#include <exception>
#include <new>
#include <string>
#include <typeinfo>
#include <utility>

namespace {

[[noreturn]] void ThrowSetupError(const char* message) { throw qwp::SetupError(message ? message : ""); }

// The library's messages use only "%s", "%zu" and "%%"; anything else is
// copied as it stands.
std::string FormatLibraryMessage(const char* format, va_list args) {
    std::string text;
    for (const char* p = format; *p; ++p) {
        if (p[0] != '%') {
            text += *p;
        } else if (p[1] == '%') {
            text += '%';
            ++p;
        } else if (p[1] == 's') {
            const char* s = va_arg(args, const char*);
            text += s ? s : "";
            ++p;
        } else if (p[1] == 'z' && p[2] == 'u') {
            std::size_t value = va_arg(args, std::size_t);
            char digits[24];
            char* end = digits + sizeof digits;
            char* first = end;
            do {
                *--first = static_cast<char>('0' + value % 10);
                value /= 10;
            } while (value != 0);
            text.append(first, end);
            p += 2;
        } else {
            text += *p;
        }
    }
    return text;
}

}  // namespace

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* message) { ThrowSetupError(message); }
void __throw_domain_error(const char* message) { ThrowSetupError(message); }
void __throw_invalid_argument(const char* message) { ThrowSetupError(message); }
void __throw_length_error(const char* message) { ThrowSetupError(message); }
void __throw_out_of_range(const char* message) { ThrowSetupError(message); }
void __throw_runtime_error(const char* message) { ThrowSetupError(message); }
void __throw_range_error(const char* message) { ThrowSetupError(message); }
void __throw_overflow_error(const char* message) { ThrowSetupError(message); }
void __throw_underflow_error(const char* message) { ThrowSetupError(message); }

void __throw_out_of_range_fmt(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = FormatLibraryMessage(format ? format : "", args);
    va_end(args);
    throw qwp::SetupError(std::move(message));
}

}  // namespace std
