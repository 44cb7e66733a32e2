#pragma once

namespace tarnwell {

// Called first thing in main, as the last guard: a write to a connection that the server has closed
// raises SIGPIPE on POSIX systems, which ends the program without a word (exit status 141 and nothing on
// standard error). Every write of the program already asks not to raise it (the socket calls and the TLS
// channel); ignoring the signal keeps a write missed there from killing an unattended run. Does nothing
// on Windows, which has no such signal.
void IgnoreBrokenPipes();

}  // namespace tarnwell
