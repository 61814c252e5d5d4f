#include "support/system_call_fault.h"

#include <atomic>
#include <cerrno>
#include <string>
#include <strings.h>
#include <type_traits>

namespace quillmark::test {

namespace {

// What a faulty call does, one for each call; plain function pointers cannot
// capture it. Atomic, as the file layer may call from several threads.
struct Injection {
    int err = 0;
    std::atomic<int> callsLetThrough = 0; // calls still passed on before the failures
    std::atomic<int> failures = -1;       // failures still to come; -1: no end
    SystemCalls before{};                 // the table the passed-on calls go to
};

// Whether this call goes on to the table the fault replaced; otherwise errno
// is set and the call fails.
bool passOn(Injection& current) {
    if (current.callsLetThrough.fetch_sub(1) > 0 || current.failures.load() == 0 ||
        current.failures.fetch_sub(1) == 0) {
        return true;
    }
    errno = current.err;
    return false;
}

template <auto member, typename Function> struct Faulty;

template <auto member, typename Result, typename... Args>
struct Faulty<member, Result (*)(Args...)> {
    static inline Injection current;
    static Result function(Args... args) {
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

// Puts the fault on `member` of the table in use; the calls let through go to `before`.
template <auto member>
void putFault(const SystemCalls& before, int err, int letThrough, int failures) {
    using Fault = Faulty<member, std::remove_cvref_t<decltype(before.*member)>>;
    Fault::current.err = err;
    Fault::current.callsLetThrough = letThrough;
    Fault::current.failures = failures;
    Fault::current.before = before;
    systemCalls().*member = &Fault::function;
}

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

using Call = SystemCallFault::Call;
const Call Call::Open{putFault<&SystemCalls::open>}, Call::Fstat{putFault<&SystemCalls::fstat>},
    Call::Read{putFault<&SystemCalls::read>}, Call::Pread{putFault<&SystemCalls::pread>},
    Call::Lstat{putFault<&SystemCalls::lstat>},
    Call::RenameNoReplace{putFault<&SystemCalls::renameNoReplace>},
    Call::Link{putFault<&SystemCalls::link>}, Call::Unlink{putFault<&SystemCalls::unlink>},
    Call::RenameReplacing{putFault<&SystemCalls::renameReplacing>},
    Call::CreateExclusive{putFault<&SystemCalls::createExclusive>},
    Call::Futimens{putFault<&SystemCalls::futimens>},
    Call::Opendir{putFault<&SystemCalls::opendir>}, Call::Readdir{putFault<&SystemCalls::readdir>};

SystemCallFault::SystemCallFault(Call call, int err, int callsLetThrough, int failures) {
    call.install(saved_, err, callsLetThrough, failures);
}

CaseInsensitiveFileSystem::CaseInsensitiveFileSystem(bool inodePerSpelling) {
    inodePerSpelling_ = inodePerSpelling;
    systemCalls().lstat = [](const char* path, struct stat* st) {
        const std::string entry = reached(path);
        const int result = realSystemCalls().lstat(entry.c_str(), st);
        st->st_ino ^= inodePerSpelling_ && entry != path ? 0x5A5A : 0;
        return result;
    };
    // A name that reaches an entry is taken; a new entry keeps its spelling.
    systemCalls().renameNoReplace = [](const char* from, const char* to) {
        struct stat st {};
        if (realSystemCalls().lstat(reached(to).c_str(), &st) == 0) {
            return errno = EEXIST, -1;
        }
        return realSystemCalls().renameNoReplace(reached(from).c_str(), to);
    };
}

} // namespace quillmark::test
