#include "support/system_call_fault.h"

#include <cerrno>

namespace quillmark::test {

namespace {

using Call = SystemCallFault::Call;

// The errno each faulty call sets, by call; lambdas that convert to plain
// function pointers cannot capture it.
int injected[6] = {};

template <Call call, typename Result> Result fail(Result value) {
    errno = injected[static_cast<int>(call)];
    return value;
}

} // namespace

SystemCallFault::SystemCallFault(Call call, int err) : saved_(systemCalls()) {
    injected[static_cast<int>(call)] = err;
    SystemCalls& sys = systemCalls();
    switch (call) {
    case Call::Open:
        sys.open = [](const char*, int) { return fail<Call::Open>(-1); };
        break;
    case Call::Fstat:
        sys.fstat = [](int, struct stat*) { return fail<Call::Fstat>(-1); };
        break;
    case Call::Read:
        sys.read = [](int, void*, size_t) { return fail<Call::Read, ssize_t>(-1); };
        break;
    case Call::RenameNoReplace:
        sys.renameNoReplace = [](const char*, const char*) {
            return fail<Call::RenameNoReplace>(-1);
        };
        break;
    case Call::Link:
        sys.link = [](const char*, const char*) { return fail<Call::Link>(-1); };
        break;
    case Call::Opendir:
        sys.opendir = [](const char*) { return fail<Call::Opendir, DIR*>(nullptr); };
        break;
    }
}

SystemCallFault::~SystemCallFault() {
    systemCalls() = saved_;
}

} // namespace quillmark::test
