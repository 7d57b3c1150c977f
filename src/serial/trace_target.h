#pragma once

// Where a wire trace may be written. A trace replaces its file's content as soon as it
// starts, so a forgotten name (`tarnik --trace dom.zvn`) would turn a settings file into
// trace text: a file the same run reads, and an existing file that is not a trace, are
// refused before anything is written.

#include <string>
#include <vector>

namespace tarnik {

// Why `path` may not take the trace of a run that reads `inputs`, as a Polish sentence
// naming the file; empty when it may. Refused: a file that is one of the inputs (also
// through a link or a second name; a path that does not exist yet by its name), and an
// existing regular file whose first line is not a trace's (kTraceFileStart). An empty
// file, an earlier trace, a device (/dev/null) and a path that does not exist are fine.
std::string traceFileProblem(const std::string& path, const std::vector<std::string>& inputs);

}  // namespace tarnik
