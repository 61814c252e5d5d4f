#pragma once

namespace quillmark::test {

// Makes one system call of the file layer fail with a chosen errno for the
// lifetime of the object, then puts the real call back.
class SystemCallFault {
public:
    enum class Call { Open, Fstat, Read, RenameNoReplace, Link, Opendir };

    SystemCallFault(Call call, int err);
    ~SystemCallFault();
    SystemCallFault(const SystemCallFault&) = delete;
    SystemCallFault& operator=(const SystemCallFault&) = delete;

private:
    Call call_;
};

} // namespace quillmark::test
