#include "journal.h"

#include "core/plan.h"
#include "core/rename_one.h"
#include "fsys/checksum.h"
#include "fsys/folder_listing.h"
#include "fsys/header_file.h"
#include "fsys/paths.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <map>
#include <set>

namespace quillmark {

namespace {

constexpr std::string_view kMagic = "quillmark-journal";
constexpr std::string_view kExtension = ".journal";
constexpr std::size_t kKeptRuns = 50;
constexpr std::int64_t kKeptSeconds = 30 * 24 * 60 * 60;
// Finished renames are written in blocks of this size: no call per file.
constexpr std::size_t kBufferLimit = 64 << 10;

std::uint32_t crc32(std::string_view bytes) {
    return quillmark::crc32(bytes.data(), bytes.size());
}

std::string hex(std::uint64_t value, int digits) {
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) {
        text[static_cast<std::size_t>(i)] = "0123456789abcdef"[value & 15];
    }
    return text;
}

// Names may hold any byte but the separator; tabs, line ends and the escape
// itself are written as %HH.
bool needsEscape(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || c == '%';
}

void appendEscaped(std::string& out, std::string_view name) {
    if (std::none_of(name.begin(), name.end(), needsEscape)) {
        out += name;
        return;
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '%') {
            out += '%';
            out += hex(byte, 2);
        } else {
            out += c;
        }
    }
}

// One line appended to `out`: fields after a tag, then the checksum.
class LineWriter {
public:
    LineWriter(std::string& out, char tag) : out_(out), start_(out.size()) { out_ += tag; }
    LineWriter& number(std::uint64_t value) {
        char digits[24];
        out_ += '\t';
        out_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
        return *this;
    }
    LineWriter& signedNumber(std::int64_t value) {
        char digits[24];
        out_ += '\t';
        out_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
        return *this;
    }
    LineWriter& text(std::string_view value) {
        out_ += '\t';
        appendEscaped(out_, value);
        return *this;
    }
    void end() {
        const std::uint32_t sum = crc32(std::string_view(out_).substr(start_));
        out_ += '\t';
        out_ += hex(sum, 8);
        out_ += '\n';
    }

private:
    std::string& out_;
    std::size_t start_;
};

std::optional<std::string> unescaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= text.size() + 0 ||
            std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr !=
                text.data() + i + 3) {
            return std::nullopt;
        }
        out += static_cast<char>(value);
        i += 2;
    }
    return out;
}

template <typename Number> std::optional<Number> number(std::string_view text, int base = 10) {
    Number value{};
    const auto [end, err] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (err != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        parts.push_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) {
            return parts;
        }
        start = tab + 1;
    }
}

// The payload of one whole line whose checksum matches, or nothing.
std::optional<std::string_view> checkedPayload(std::string_view line) {
    const std::size_t tab = line.rfind('\t');
    if (tab == std::string_view::npos) {
        return std::nullopt;
    }
    const auto sum = number<std::uint32_t>(line.substr(tab + 1), 16);
    const std::string_view payload = line.substr(0, tab);
    if (!sum || line.size() - tab != 9 || *sum != crc32(payload)) {
        return std::nullopt;
    }
    return payload;
}

std::string_view kindNames[] = {"batch", "single", "rename", "undo"};

std::optional<RunKind> kindNamed(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kindNames); ++i) {
        if (kindNames[i] == name) {
            return static_cast<RunKind>(i);
        }
    }
    return std::nullopt;
}

std::string absoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? value : "";
}

std::int64_t nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The id of a run started now: its UTC time to the microsecond, so that ids
// sort as the runs started.
std::string newRunId() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count() %
        1'000'000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &utc);
    return std::string(text) + "-" + std::to_string(1'000'000 + micros).substr(1);
}

void pruneRuns(const std::string& journals);

std::string recordPath(const std::string& journals, std::string_view id) {
    return joinPath(journals, std::string(id) + std::string(kExtension));
}

// The ids of the records in `journals`, oldest first.
std::vector<std::string> runIds(const std::string& journals) {
    std::vector<std::string> ids;
    if (!stampAt(journals, LinkMode::Follow)) {
        return ids;
    }
    for (const FolderEntry& entry : readFolder(journals).entries) {
        if (entry.kind == EntryKind::File && entry.name.ends_with(kExtension) &&
            entry.name.front() != '.') {
            ids.push_back(entry.name.substr(0, entry.name.size() - kExtension.size()));
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

std::optional<std::pair<FileStamp, std::uint64_t>> fileIdentity(const std::string& path,
                                                                bool archive) {
    const std::optional<FileStamp> stamp = stampAt(path);
    if (!stamp) {
        return std::nullopt;
    }
    const HeaderBytes header =
        archive ? readArchiveHeader(path).header : readHeaderBytes(path, LinkMode::Follow);
    return std::make_pair(*stamp, headerHash(header));
}

std::string_view runKindName(RunKind kind) {
    return kindNames[static_cast<std::size_t>(kind)];
}

std::string journalFolder() {
    std::string state = absoluteEnv("XDG_STATE_HOME");
    if (state.empty()) {
        const std::string home = absoluteEnv("HOME");
        if (home.empty()) {
            return {};
        }
        state = home + "/.local/state";
    }
    return state + "/quillmark/journal";
}

std::string RunRecord::oldPath(const JournalFile& file) const {
    return joinPath(folders[file.folder].path, file.oldName);
}

std::string RunRecord::newPath(const JournalFile& file) const {
    return joinPath(folders[file.folder].path, file.newName);
}

namespace {

// The record of `text`. A line that broke off, or does not match its
// checksum, is passed over: only the last line a killed run wrote can be one,
// and recovery ends it before it writes on.
RunRecord parseRunRecord(std::string_view text) {
    RunRecord run;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const auto payload = checkedPayload(text.substr(start, end - start));
        start = end + 1;
        if (!payload) {
            run.torn = true;
            continue;
        }
        const auto bad = [&] {
            run.torn = true;
            return run;
        };
        const std::vector<std::string_view> f = fields(*payload);
        const std::string_view tag = f[0];
        const auto fileAt = [&](std::string_view index) -> JournalFile* {
            const auto n = number<std::size_t>(index);
            return n && *n < run.files.size() ? &run.files[*n] : nullptr;
        };
        if (tag == kMagic && f.size() == 6 && f[1] == "1") {
            const auto kind = kindNamed(f[3]);
            const auto started = number<std::int64_t>(f[4]);
            if (!kind || !started) {
                return bad();
            }
            run.id = f[2];
            run.kind = *kind;
            run.started = *started;
            run.undoes = f[5];
        } else if (run.id.empty()) {
            return bad();
        } else if (tag == "F" && f.size() == 4) {
            const auto device = number<std::uint64_t>(f[1]);
            const auto inode = number<std::uint64_t>(f[2]);
            auto folder = unescaped(f[3]);
            if (!device || !inode || !folder) {
                return bad();
            }
            run.folders.push_back({std::move(*folder), *device, *inode});
        } else if (tag == "P" && f.size() == 11) {
            JournalFile file;
            const auto folder = number<std::uint32_t>(f[1]);
            const auto device = number<std::uint64_t>(f[2]);
            const auto inode = number<std::uint64_t>(f[3]);
            const auto size = number<std::int64_t>(f[4]);
            const auto seconds = number<std::int64_t>(f[5]);
            const auto nanos = number<std::int64_t>(f[6]);
            const auto hash = number<std::uint64_t>(f[7], 16);
            auto oldName = unescaped(f[9]);
            auto newName = unescaped(f[10]);
            if (!folder || *folder >= run.folders.size() || !device || !inode || !size ||
                !seconds || !nanos || !hash || !oldName || !newName) {
                return bad();
            }
            file.folder = *folder;
            file.stamp = {*device, *inode, *size, *seconds, *nanos};
            file.hash = *hash;
            file.archive = f[8] == "a";
            file.oldName = std::move(*oldName);
            file.newName = std::move(*newName);
            run.files.push_back(std::move(file));
        } else if ((tag == "T" || tag == "C") && f.size() == 3 && fileAt(f[1]) != nullptr) {
            auto name = unescaped(f[2]);
            if (!name) {
                return bad();
            }
            (tag == "T" ? fileAt(f[1])->temporaries : fileAt(f[1])->claims)
                .push_back(std::move(*name));
        } else if ((tag == "R" || tag == "M") && f.size() == 2 && fileAt(f[1]) != nullptr) {
            fileAt(f[1])->state =
                tag == "R" ? JournalFile::State::Renamed : JournalFile::State::Missing;
            if (tag == "R") {
                run.renameOrder.push_back(*number<std::size_t>(f[1]));
            }
        } else if (tag == "E") {
            run.finished = true;
        } else {
            return bad();
        }
    }
    if (run.id.empty()) {
        run.torn = true;
    }
    return run;
}

} // namespace

RunRecord readRunRecord(const std::string& path) {
    return parseRunRecord(readWholeFile(path));
}

RunJournal::RunJournal(std::string folder, RunKind kind, std::string undoes)
    : folder_(std::move(folder)), kind_(kind), undoes_(std::move(undoes)) {}

RunJournal::~RunJournal() = default;

void RunJournal::fail(const FileFailure& failure) {
    if (!problem_) {
        problem_ = failure;
    }
    file_.reset(); // the record stays unfinished, for recovery
    buffer_.clear();
}

void RunJournal::flush() {
    if (problem_ || !file_ || buffer_.empty()) {
        return;
    }
    try {
        file_->append(buffer_);
        buffer_.clear();
    } catch (const FileFailure& failure) {
        fail(failure);
    }
}

std::uint32_t RunJournal::addFolder(const std::string& path, std::uint64_t device,
                                    std::uint64_t inode) {
    if (!problem_) {
        LineWriter(buffer_, 'F').number(device).number(inode).text(path).end();
    }
    folders_.push_back({path, device, inode});
    renamedIn_.push_back(false);
    return static_cast<std::uint32_t>(folders_.size() - 1);
}

std::size_t RunJournal::addFile(std::uint32_t folder, std::string_view oldName,
                                std::string_view newName, const FileStamp& stamp,
                                std::uint64_t hash, bool archive) {
    if (!problem_) {
        LineWriter(buffer_, 'P')
            .number(folder)
            .number(stamp.device)
            .number(stamp.inode)
            .signedNumber(stamp.size)
            .signedNumber(stamp.modifiedSeconds)
            .signedNumber(stamp.modifiedNanoseconds)
            .text(hex(hash, 16))
            .text(archive ? "a" : "-")
            .text(oldName)
            .text(newName)
            .end();
    }
    renamedIn_[folder] = true;
    return files_++;
}

void RunJournal::beforeRenames() {
    if (problem_ || folder_.empty()) {
        return;
    }
    try {
        if (!file_) {
            makeFolders(folder_);
            started_ = nowSeconds();
            std::string id = newRunId();
            for (int attempt = 1;; ++attempt) {
                try {
                    file_.emplace(AppendFile::create(recordPath(folder_, id)));
                    break;
                } catch (const FileFailure& failure) {
                    if (failure.code() != FileFailureCode::FileAlreadyExists || attempt > 99) {
                        throw;
                    }
                    id = newRunId() + "-" + std::to_string(attempt);
                }
            }
            id_ = id;
            std::string head = std::string(kMagic) + "\t1\t" + id_ + "\t" +
                               std::string(runKindName(kind_)) + "\t" + std::to_string(started_) +
                               "\t" + undoes_;
            buffer_.insert(0, head + "\t" + hex(crc32(head), 8) + "\n");
            try {
                pruneRuns(folder_);
            } catch (const FileFailure&) {
                // Records kept too long are no harm to this run.
            }
        }
        flush();
        if (!durable_ && file_) {
            file_->syncData();
            syncFolder(folder_);
            durable_ = true;
        }
    } catch (const FileFailure& failure) {
        fail(failure);
    }
}

RenameSteps* RunJournal::stepsOf(std::size_t file) {
    current_ = file;
    return this;
}

void RunJournal::beforeTemporaryName(const std::string& path) {
    if (!problem_) {
        LineWriter(buffer_, 'T').number(current_).text(path).end();
    }
    flush(); // before the step: a kill in it must find the name recorded
}

void RunJournal::beforeClaim(const std::string& path) {
    if (!problem_) {
        LineWriter(buffer_, 'C').number(current_).text(path).end();
    }
    flush();
}

void RunJournal::renamed(std::size_t file) {
    if (!problem_) {
        LineWriter(buffer_, 'R').number(file).end();
    }
    ++renamed_;
    if (buffer_.size() >= kBufferLimit) {
        flush();
    }
}

void RunJournal::finish() {
    if (ended_ || !file_ || problem_) {
        return;
    }
    ended_ = true;
    try {
        flush();
        // The renames themselves durable before the end says so: one folder
        // is synced on its own, several at once with their file system.
        std::vector<const JournalFolder*> touched;
        for (std::size_t i = 0; i < folders_.size(); ++i) {
            if (renamedIn_[i]) {
                touched.push_back(&folders_[i]);
            }
        }
        if (renamed_ > 0 && touched.size() == 1) {
            syncFolder(touched.front()->path);
        } else if (renamed_ > 0) {
            std::set<std::uint64_t> devices;
            for (const JournalFolder* folder : touched) {
                if (devices.insert(folder->device).second) {
                    syncFileSystemOf(folder->path);
                }
            }
        }
        LineWriter(buffer_, 'E').number(files_).number(renamed_).end();
        flush();
        if (file_) {
            file_->endAppends();
            file_->syncData();
        }
        file_.reset(); // the lock with it: the run is over
    } catch (const FileFailure& failure) {
        fail(failure);
    }
}

namespace {

bool isFile(const std::string& path, const FileStamp& stamp) {
    const std::optional<FileStamp> found = stampAt(path);
    return found && found->device == stamp.device && found->inode == stamp.inode;
}

std::string folderPrefix(const std::string& folder) {
    return folder + pathSeparatorFor(folder);
}

// Where the file of a dead run is, by the file system; puts it under one
// name and takes away what the run left around it.
RecoveredFile recoverFile(const RunRecord& run, const JournalFile& file) {
    RecoveredFile result{run.oldPath(file), run.newPath(file), Recovered::NotRenamed, 0};
    // A claim is made after the run started; its status changed then.
    for (const std::string& claim : file.claims) {
        result.claimsRemoved += removeLeftClaim(claim, run.started - 1) ? 1 : 0;
    }
    const bool atOld = isFile(result.path, file.stamp);
    const bool atNew = isFile(result.newPath, file.stamp);
    std::string kept;
    if (atNew) {
        kept = result.newPath;
        result.what = atOld && removeSecondLink(kept, result.path) ? Recovered::OldLinkRemoved
                                                                   : Recovered::Renamed;
    } else if (atOld) {
        kept = result.path;
    } else {
        for (const std::string& temporary : file.temporaries) {
            if (!isFile(temporary, file.stamp)) {
                continue;
            }
            const std::string& folder = run.folders[file.folder].path;
            try {
                renameWithoutReplacing(temporary, folderPrefix(folder), file.oldName);
                result.what = Recovered::BackToOldName;
                kept = result.path;
            } catch (const FileFailure&) {
                result.what = Recovered::LeftUnderTemporary;
                result.newPath = temporary;
                kept = temporary;
            }
            break;
        }
        if (kept.empty()) {
            result.what = Recovered::Missing;
            return result;
        }
    }
    // A temporary name the link fallback had given too.
    for (const std::string& temporary : file.temporaries) {
        if (temporary != kept) {
            removeSecondLink(kept, temporary);
        }
    }
    return result;
}

bool touches(const RunRecord& run, const std::vector<FileStamp>& folders,
             const std::vector<std::string>& paths, bool below) {
    if (folders.empty()) {
        return true;
    }
    for (const JournalFolder& mine : run.folders) {
        for (std::size_t i = 0; i < folders.size(); ++i) {
            if ((mine.device == folders[i].device && mine.inode == folders[i].inode) ||
                (below && mine.path.starts_with(folderPrefix(paths[i])))) {
                return true;
            }
        }
    }
    return false;
}

std::string line(std::string_view payload) {
    return std::string(payload) + "\t" + hex(crc32(payload), 8) + "\n";
}

// The fields of the record's last whole line, read from its end only.
std::vector<std::string> lastLine(const std::string& path) {
    constexpr std::size_t kTail = 4096;
    const std::optional<FileStamp> stamp = stampAt(path);
    const auto size = static_cast<std::uint64_t>(stamp ? stamp->size : 0);
    const std::uint64_t from = size > kTail ? size - kTail : 0;
    const std::string tail = readFileRange(path, from, kTail);
    if (tail.empty() || tail.back() != '\n') {
        return {};
    }
    const std::size_t start = tail.rfind('\n', tail.size() - 2);
    const std::string_view line = std::string_view(tail).substr(
        start == std::string::npos ? 0 : start + 1,
        tail.size() - (start == std::string::npos ? 0 : start + 1) - 1);
    const auto payload = checkedPayload(line);
    std::vector<std::string> result;
    if (payload) {
        for (const std::string_view field : fields(*payload)) {
            result.emplace_back(field);
        }
    }
    return result;
}

bool endsFinished(const std::string& path) {
    const std::vector<std::string> last = lastLine(path);
    return last.size() == 3 && last[0] == "E";
}

// Finishes the dead run `id`, unless another process holds it.
std::optional<RecoveryReport> recoverRun(const std::string& journals, const std::string& id,
                                         const std::vector<FileStamp>& folders,
                                         const std::vector<std::string>& paths, bool below) {
    const std::string path = recordPath(journals, id);
    // Most records are finished: their end tells, without reading them.
    if (endsFinished(path)) {
        return std::nullopt;
    }
    std::optional<AppendFile> file = AppendFile::openUnlocked(path);
    if (!file) {
        return std::nullopt; // a run going on
    }
    std::string text = readWholeFile(path);
    RunRecord run = parseRunRecord(text);
    if (run.finished || run.id.empty() || !touches(run, folders, paths, below)) {
        return std::nullopt;
    }
    RecoveryReport report{id, {}};
    // A record a kill left is longer by the zero bytes of its mapping.
    const std::size_t end = text.find_last_not_of('\0');
    text.resize(end == std::string::npos ? 0 : end + 1);
    file->truncate(text.size());
    std::string out = !text.empty() && text.back() != '\n' ? "\n" : "";
    std::size_t renamed = 0;
    for (std::size_t n = 0; n < run.files.size(); ++n) {
        JournalFile& entry = run.files[n];
        if (entry.state == JournalFile::State::Planned) {
            report.files.push_back(recoverFile(run, entry));
            const Recovered what = report.files.back().what;
            if (what == Recovered::Renamed || what == Recovered::OldLinkRemoved) {
                out += line("R\t" + std::to_string(n));
            } else if (what == Recovered::Missing) {
                out += line("M\t" + std::to_string(n));
            }
        }
    }
    for (const JournalFile& entry : run.files) {
        renamed += entry.state == JournalFile::State::Renamed ? 1 : 0;
    }
    for (const RecoveredFile& done : report.files) {
        renamed += done.what == Recovered::Renamed || done.what == Recovered::OldLinkRemoved;
    }
    file->append(out);
    std::set<std::uint64_t> devices;
    for (const JournalFolder& folder : run.folders) {
        if (devices.insert(folder.device).second && stampAt(folder.path, LinkMode::Follow)) {
            syncFileSystemOf(folder.path);
        }
    }
    file->append(line("E\t" + std::to_string(run.files.size()) + "\t" + std::to_string(renamed)));
    file->syncData();
    return report;
}

// Removes the records retention lets go: past the newest kKeptRuns and older
// than kKeptSeconds, finished, and not held by a run.
void pruneRuns(const std::string& journals) {
    const std::vector<std::string> ids = runIds(journals);
    const std::int64_t now = nowSeconds();
    for (std::size_t i = 0; i + kKeptRuns < ids.size(); ++i) {
        const std::string path = recordPath(journals, ids[i]);
        const std::optional<FileStamp> stamp = stampAt(path);
        if (!stamp || now - stamp->modifiedSeconds < kKeptSeconds || isLockedByAnother(path) ||
            !endsFinished(path)) {
            continue;
        }
        removeName(path);
    }
}

// The summary of one record from its head and its end; the whole record is
// read only for an unfinished one.
RunSummary summaryOf(const std::string& path) {
    constexpr std::size_t kPart = 64 << 10;
    const std::string head = readFileRange(path, 0, kPart);
    RunRecord run = parseRunRecord(head.substr(0, head.rfind('\n') + 1));
    RunSummary summary;
    summary.id = run.id;
    summary.kind = run.kind;
    summary.started = run.started;
    summary.undoes = run.undoes;
    summary.folder = run.folders.empty() ? "" : run.folders.front().path;
    const std::vector<std::string> f = lastLine(path);
    if (f.size() == 3 && f[0] == "E") {
        summary.finished = true;
        summary.files = number<std::size_t>(f[1]).value_or(0);
        summary.renamed = number<std::size_t>(f[2]).value_or(0);
        return summary;
    }
    run = readRunRecord(path);
    summary.files = run.files.size();
    summary.renamed = run.renameOrder.size();
    return summary;
}

} // namespace

std::vector<RecoveryReport> recoverRuns(const std::string& journals,
                                        const std::vector<std::string>& folders, bool below) {
    std::vector<FileStamp> identities;
    std::vector<std::string> paths;
    for (const std::string& folder : folders) {
        if (const std::optional<FileStamp> stamp = stampAt(folder, LinkMode::Follow)) {
            identities.push_back(*stamp);
            paths.push_back(folder);
        }
    }
    std::vector<RecoveryReport> reports;
    if (journals.empty() || (!folders.empty() && identities.empty())) {
        return reports;
    }
    for (const std::string& id : runIds(journals)) {
        if (auto report = recoverRun(journals, id, identities, paths, below)) {
            reports.push_back(std::move(*report));
        }
    }
    return reports;
}

std::vector<RunSummary> runHistory(const std::string& journals) {
    std::vector<RunSummary> runs;
    std::set<std::string> undone;
    const std::vector<std::string> ids = runIds(journals);
    for (auto id = ids.rbegin(); id != ids.rend(); ++id) {
        RunSummary summary = summaryOf(recordPath(journals, *id));
        if (summary.id.empty()) {
            continue; // not even its first line was written
        }
        if (summary.kind == RunKind::Undo && summary.finished) {
            undone.insert(summary.undoes);
        }
        runs.push_back(std::move(summary));
    }
    for (RunSummary& run : runs) {
        run.undone = undone.contains(run.id);
    }
    return runs;
}

std::optional<std::string> latestUndoable(const std::string& journals) {
    for (const RunSummary& run : runHistory(journals)) {
        if (!run.undone && run.renamed > 0 && run.kind != RunKind::Undo) {
            return run.id;
        }
    }
    return std::nullopt;
}

UndoReport undoRun(const std::string& journals, const std::string& id) {
    const std::string path = recordPath(journals, id);
    if (id.empty() || id.front() == '.' || id.find(kPathSeparator) != std::string::npos ||
        !stampAt(path)) {
        throw FileFailure(FileFailureCode::FileNotFound,
                          "no run " + id + " is recorded in " + journals);
    }
    if (isLockedByAnother(path)) {
        throw FileFailure(FileFailureCode::FileAlreadyExists,
                          "run " + id + " is still going on: " + path);
    }
    RunRecord run = readRunRecord(path);
    if (!run.finished) {
        recoverRuns(journals, {}, false);
        run = readRunRecord(path);
    }
    UndoReport report;
    report.run = id;
    report.folder = run.folders.empty() ? "" : run.folders.front().path;
    RunJournal journal(journals, RunKind::Undo, id);
    std::vector<std::uint32_t> folderOf(run.folders.size(), UINT32_MAX);
    std::vector<std::pair<std::size_t, std::size_t>> planned; // file of the run, of the undo
    // Newest rename first: a name a later rename took was freed by an earlier one.
    for (auto n = run.renameOrder.rbegin(); n != run.renameOrder.rend(); ++n) {
        const JournalFile& file = run.files[*n];
        UndoneFile undone{run.newPath(file), file.oldName, UndoResult::Restored, std::nullopt};
        try {
            const auto identity = fileIdentity(undone.path, file.archive);
            if (!identity) {
                undone.result = UndoResult::Gone;
            } else if (identity->first != file.stamp || identity->second != file.hash) {
                undone.result = UndoResult::Changed;
            }
        } catch (const FileFailure& failure) {
            undone.result = UndoResult::Changed;
            undone.failure = failure;
        }
        if (undone.result == UndoResult::Restored) {
            std::uint32_t& folder = folderOf[file.folder];
            if (folder == UINT32_MAX) {
                const JournalFolder& from = run.folders[file.folder];
                folder = journal.addFolder(from.path, from.device, from.inode);
            }
            planned.emplace_back(report.files.size(),
                                 journal.addFile(folder, file.newName, file.oldName, file.stamp,
                                                 file.hash, file.archive));
        }
        report.files.push_back(std::move(undone));
    }
    if (!planned.empty()) {
        journal.beforeRenames();
    }
    std::size_t next = 0;
    for (std::size_t i = 0; i < report.files.size(); ++i) {
        UndoneFile& undone = report.files[i];
        if (next < planned.size() && planned[next].first == i) {
            const std::size_t step = planned[next++].second;
            const RenameOutcome outcome = renameIdentifiedFile(
                undone.path, run.files[run.renameOrder[run.renameOrder.size() - 1 - i]].stamp,
                undone.oldName, LinkMode::NoFollow, journal.stepsOf(step));
            undone.failure = outcome.failure;
            if (outcome.result == RenameResult::Renamed) {
                journal.renamed(step);
            } else if (outcome.result == RenameResult::FileChanged) {
                undone.result = UndoResult::Changed;
            } else {
                undone.result =
                    outcome.failure && outcome.failure->code() == FileFailureCode::FileAlreadyExists
                        ? UndoResult::OldNameTaken
                        : UndoResult::Failed;
            }
        }
        (undone.result == UndoResult::Restored ? report.restored : report.skipped) += 1;
    }
    journal.finish();
    report.undoRun = journal.id();
    report.journalProblem = journal.problem();
    return report;
}

} // namespace quillmark
