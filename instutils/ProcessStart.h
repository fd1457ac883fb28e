// What the process sets up before the program's own code runs, for as long
// as this object lives: OLE on the one GUI thread (shortcuts need it) and the
// installer utilities' state with its looked-up system functions.
#pragma once

namespace qwp {

class ProcessStart {
public:
    ProcessStart();
    ~ProcessStart();
    ProcessStart(const ProcessStart&) = delete;
    ProcessStart& operator=(const ProcessStart&) = delete;

private:
    bool oleInitialized_;
};

}  // namespace qwp
