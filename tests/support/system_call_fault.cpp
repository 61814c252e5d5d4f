#include "support/system_call_fault.h"

#include <cerrno>

namespace quillmark::test {

namespace {

using Call = SystemCallFault::Call;

// What each faulty call does, by call; lambdas that convert to plain function
// pointers cannot capture it.
struct Injection {
    int err = 0;
    int callsLetThrough = 0; // calls still passed on before the failures start
    SystemCalls before{};    // the table the passed-on calls go to
};
Injection injections[6];

Injection& injection(Call call) {
    return injections[static_cast<int>(call)];
}

// Whether this call goes on to the table the fault replaced; otherwise errno
// is set and the call fails.
template <Call call> bool passOn() {
    Injection& current = injection(call);
    if (current.callsLetThrough > 0) {
        --current.callsLetThrough;
        return true;
    }
    errno = current.err;
    return false;
}

template <Call call> const SystemCalls& before() {
    return injection(call).before;
}

} // namespace

SystemCallFault::SystemCallFault(Call call, int err, int callsLetThrough) : saved_(systemCalls()) {
    injection(call) = Injection{err, callsLetThrough, saved_};
    SystemCalls& sys = systemCalls();
    switch (call) {
    case Call::Open:
        sys.open = [](const char* path, int flags) {
            return passOn<Call::Open>() ? before<Call::Open>().open(path, flags) : -1;
        };
        break;
    case Call::Fstat:
        sys.fstat = [](int fd, struct stat* st) {
            return passOn<Call::Fstat>() ? before<Call::Fstat>().fstat(fd, st) : -1;
        };
        break;
    case Call::Read:
        sys.read = [](int fd, void* buffer, size_t size) {
            return passOn<Call::Read>() ? before<Call::Read>().read(fd, buffer, size) : ssize_t{-1};
        };
        break;
    case Call::RenameNoReplace:
        sys.renameNoReplace = [](const char* from, const char* to) {
            return passOn<Call::RenameNoReplace>()
                       ? before<Call::RenameNoReplace>().renameNoReplace(from, to)
                       : -1;
        };
        break;
    case Call::Link:
        sys.link = [](const char* from, const char* to) {
            return passOn<Call::Link>() ? before<Call::Link>().link(from, to) : -1;
        };
        break;
    case Call::Opendir:
        sys.opendir = [](const char* path) {
            return passOn<Call::Opendir>() ? before<Call::Opendir>().opendir(path)
                                           : static_cast<DIR*>(nullptr);
        };
        break;
    }
}

SystemCallFault::~SystemCallFault() {
    systemCalls() = saved_;
}

} // namespace quillmark::test
