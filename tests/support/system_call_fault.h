#pragma once

#include "fsys/system_calls.h"

namespace quillmark::test {

// Makes one system call of the file layer fail with a chosen errno for the
// lifetime of the object, after letting the first `callsLetThrough` calls
// succeed or fail as they would; then puts the table back as it was.
class SystemCallFault {
public:
    enum class Call { Open, Fstat, Read, RenameNoReplace, Link, Opendir };

    SystemCallFault(Call call, int err, int callsLetThrough = 0);
    ~SystemCallFault();
    SystemCallFault(const SystemCallFault&) = delete;
    SystemCallFault& operator=(const SystemCallFault&) = delete;

private:
    SystemCalls saved_;
};

} // namespace quillmark::test
