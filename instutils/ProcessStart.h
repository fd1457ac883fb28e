// What the process sets up before the program's own code runs, for as long
// as this object lives: COM on the one thread of the run (shortcuts need it)
// and the installer utilities' state with its looked-up system functions.
#pragma once

namespace qwp {

// How the run's thread takes part in COM.
enum class ComApartment {
    // OLE in a single-threaded apartment: what windows, the folder picker
    // and drag and drop need.
    WithWindows,
    // A multithreaded apartment, for a run that never shows a window: shell
    // links, whose class serves any apartment, are all it makes. It needs no
    // hidden window of COM's own, which under Wine alone brings in the
    // display driver and some 3.7 MB.
    Windowless,
};

class ProcessStart {
public:
    explicit ProcessStart(ComApartment apartment = ComApartment::WithWindows);
    ~ProcessStart();
    ProcessStart(const ProcessStart&) = delete;
    ProcessStart& operator=(const ProcessStart&) = delete;

private:
    ComApartment apartment_;
    bool comInitialized_;
};

}  // namespace qwp
