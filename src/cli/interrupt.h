#pragma once

namespace quillmark::cli {

// From now on the first SIGINT or SIGTERM only asks the run to stop (after
// the file it is working on); a second one ends the program at once. A
// write to a closed pipe fails instead of ending the program.
void catchStopSignals();

// Whether a stop was asked for.
bool stopAsked();

} // namespace quillmark::cli
