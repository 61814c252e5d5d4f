#pragma once

#include <cstdint>
#include <string_view>

namespace quillmark {

// What a batch run tells the window while it runs, one call per change, in
// the order the run makes them. Every method does nothing by default, so a
// caller overrides only what it shows. The views passed are valid only for the
// duration of the call.
class BatchObserver {
public:
    virtual ~BatchObserver() = default;

    // The run starts: clear the value labels and empty both result lists.
    virtual void onRunStart() {}
    // The new progress value, 0–100; sent before every file, also when unchanged.
    virtual void onProgress(std::int32_t /*value*/) {}
    // The status line's text.
    virtual void onStatus(std::string_view /*text*/) {}
    // The file is no ROM image: hide the rename button, clear the proposed name.
    virtual void onNotRom() {}
    // The built-in demo table gave a title: show it as the full name.
    virtual void onDemoTitle(std::string_view /*title*/) {}
    // An unknown ROM image, by its file name: append it to the unknown list.
    virtual void onUnknownFile(std::string_view /*fileName*/) {}
    // The proposed name or marker text of a ROM image: show it.
    virtual void onProposedName(std::string_view /*name*/) {}
    // A ROM image that already had its proposed name: append it to that list.
    virtual void onAlreadyRight(std::string_view /*fileName*/) {}
};

} // namespace quillmark
