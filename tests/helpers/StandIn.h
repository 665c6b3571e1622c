#pragma once
// How the stand-in regsvr32.exe ends, so that a test can tell a child that could not
// log from one that never got as far as trying.

namespace standin {

enum ExitCode : unsigned long {
    kLogged = 0,
    kNoTurn = 2,          // the mutex that orders the appends could not be had
    kLogNotOpened = 3,
    kLineNotWritten = 4,
};

}  // namespace standin
