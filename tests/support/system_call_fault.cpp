#include "support/system_call_fault.h"

#include <atomic>
#include <cerrno>
#include <string>
#include <strings.h>
#include <type_traits>

namespace quillmark::test {

namespace {

using Call = SystemCallFault::Call;

// What each faulty call does, by call; plain function pointers cannot
// capture it. Atomic, as the file layer may call from several threads.
struct Injection {
    int err = 0;
    std::atomic<int> callsLetThrough = 0; // calls still passed on before the failures
    std::atomic<int> failures = -1;       // failures still to come; -1: no end
    SystemCalls before{};                 // the table the passed-on calls go to
};
Injection injections[static_cast<int>(Call::Readdir) + 1];

// Whether this call goes on to the table the fault replaced; otherwise errno
// is set and the call fails.
bool passOn(Injection& current) {
    if (current.callsLetThrough.fetch_sub(1) > 0) {
        return true;
    }
    if (current.failures.load() == 0 || current.failures.fetch_sub(1) == 0) {
        return true;
    }
    errno = current.err;
    return false;
}

template <Call call, auto member, typename Function> struct Faulty;

template <Call call, auto member, typename Result, typename... Args>
struct Faulty<call, member, Result (*)(Args...)> {
    static Result function(Args... args) {
        Injection& current = injections[static_cast<int>(call)];
        if (passOn(current)) {
            return (current.before.*member)(args...);
        }
        if constexpr (std::is_pointer_v<Result>) {
            return nullptr;
        } else {
            return Result{-1};
        }
    }
};

template <Call call, auto member> void install(SystemCalls& sys) {
    using Function = std::remove_reference_t<decltype(sys.*member)>;
    sys.*member = &Faulty<call, member, Function>::function;
}

using Installer = void (*)(SystemCalls&);
// In the order of Call.
constexpr Installer kInstallers[] = {install<Call::Open, &SystemCalls::open>,
                                     install<Call::Fstat, &SystemCalls::fstat>,
                                     install<Call::Read, &SystemCalls::read>,
                                     install<Call::Lstat, &SystemCalls::lstat>,
                                     install<Call::RenameNoReplace, &SystemCalls::renameNoReplace>,
                                     install<Call::Link, &SystemCalls::link>,
                                     install<Call::Unlink, &SystemCalls::unlink>,
                                     install<Call::RenameReplacing, &SystemCalls::renameReplacing>,
                                     install<Call::CreateExclusive, &SystemCalls::createExclusive>,
                                     install<Call::Opendir, &SystemCalls::opendir>,
                                     install<Call::Readdir, &SystemCalls::readdir>};

// `path` with its last part spelt as the entry of its folder it reaches;
// unchanged when it reaches none.
std::string reached(const char* path) {
    std::string result(path);
    const std::size_t nameStart = result.rfind('/') + 1;
    const std::string name = result.substr(nameStart);
    DIR* dir = ::opendir(result.substr(0, nameStart).c_str());
    while (const dirent* entry = dir != nullptr ? ::readdir(dir) : nullptr) {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
            result.replace(nameStart, std::string::npos, entry->d_name);
            break;
        }
    }
    if (dir != nullptr) {
        ::closedir(dir);
    }
    return result;
}

} // namespace

SystemCallFault::SystemCallFault(Call call, int err, int callsLetThrough, int failures) {
    Injection& current = injections[static_cast<int>(call)];
    current.err = err;
    current.callsLetThrough = callsLetThrough;
    current.failures = failures;
    current.before = saved_;
    kInstallers[static_cast<int>(call)](systemCalls());
}

CaseInsensitiveFileSystem::CaseInsensitiveFileSystem() {
    systemCalls().lstat = [](const char* path, struct stat* st) {
        return realSystemCalls().lstat(reached(path).c_str(), st);
    };
    // A name that reaches an entry is taken; a new entry keeps its spelling.
    systemCalls().renameNoReplace = [](const char* from, const char* to) {
        struct stat st {};
        if (realSystemCalls().lstat(reached(to).c_str(), &st) == 0) {
            errno = EEXIST;
            return -1;
        }
        return realSystemCalls().renameNoReplace(reached(from).c_str(), to);
    };
}

} // namespace quillmark::test
