#include "core/batch_run.h"
#include "fsys/file_failure.h"
#include "fsys/folder_listing.h"
#include "probe_output.h"
#include "probe_verbs.h"
#include "ui/presenter/batch_window_presenter.h"
#include "ui/presenter/header_texts.h"

#include <iostream>
#include <optional>

namespace quillmark {

namespace {

std::string_view outcomeName(BatchOutcome outcome) {
    switch (outcome) {
    case BatchOutcome::Finished:
        return "Finished";
    case BatchOutcome::NoFiles:
        return "NoFiles";
    case BatchOutcome::Aborted:
        break;
    }
    return "Aborted";
}

// Keeps every progress value the window would show, to print them after the report.
class ProgressRecorder : public BatchObserver {
public:
    void runStarted(std::size_t fileCount) override {
        count_ = fileCount;
        values.push_back(0);
    }
    void fileStarted(std::size_t index, std::string_view /*fileName*/) override {
        values.push_back(batchProgress(index, count_));
    }

    std::vector<std::int32_t> values;

private:
    std::size_t count_ = 0;
};

} // namespace

int batchVerb(const std::vector<std::string>& args, NamingStyle style) {
    if (args.size() != 1) {
        return kProbeUsageError;
    }
    const std::string& folder = args[0];
    // A folder that cannot be listed is a failure before the run: the run's
    // fields keep their empty values.
    std::optional<BatchReport> report;
    std::int32_t failureCode = 0;
    ProgressRecorder progress;
    try {
        const std::vector<std::string> fileNames = listFolderFiles(folder);
        NameList names;
        report =
            runBatch(folder, fileNames, NamingRule{style, batchCountrySuffix}, progress, names);
        failureCode = report->failureCode;
    } catch (const FileFailure& failure) {
        failureCode = failure.number();
    }
    const BatchReport empty;
    const BatchReport& shown = report ? *report : empty;
    std::ostream& out = std::cout;
    printField(out, "outcome", report ? outcomeName(shown.outcome) : "");
    printField(out, "totalFiles", shown.totalFiles);
    printField(out, "romCount", shown.romCount);
    printField(out, "renamedCount", shown.renamedCount);
    printField(out, "unknownCount", shown.unknownCount);
    printField(out, "noNameCount", shown.noNameCount);
    printField(out, "alreadyRightCount", shown.alreadyRightCount);
    printField(out, "failureCode", failureCode);
    for (const std::string& name : shown.unknownFiles) {
        printField(out, "unknownFile", name);
    }
    for (const std::string& name : shown.alreadyRightFiles) {
        printField(out, "alreadyRightFile", name);
    }
    for (const std::int32_t value : progress.values) {
        printField(out, "progress", value);
    }
    return 0;
}

} // namespace quillmark
