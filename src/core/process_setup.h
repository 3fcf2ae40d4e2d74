#pragma once
// What every entry point of the program (the window program and korvalog-cli)
// sets up for the whole process before it does anything else.

namespace korvalog {

// Under a file-size limit a write past the limit raises SIGXFSZ, which would
// end the process with its temporary file left beside the target. Ignored,
// the write fails with "File too large" and the save is reported and undone
// like any other failed write. On Windows the standard output and error are
// made binary, so that what is printed is byte for byte what Linux prints.
void SetUpProcess();

// This process's id, as the system numbers it.
unsigned long CurrentProcessId();

}  // namespace korvalog
