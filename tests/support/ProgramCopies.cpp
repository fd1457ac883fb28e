#include "tests/support/ProgramCopies.h"

#include "tests/support/SetupWalk.h"
#include "tests/support/Text.h"

namespace qwp::test {

StandInWordProcessor::StandInWordProcessor() : program_(folder_ / "qwp.exe") {
    copied_ = CopyFileA(BuildFile("qwp.exe").c_str(), program_.c_str(), FALSE) != FALSE;
}

StandInWordProcessor::~StandInWordProcessor() { Stop(); }

bool StandInWordProcessor::Start() {
    if (!copied_) return false;
    process_ = std::make_unique<ChildProcess>(Quoted(program_));
    if (!process_->Started()) return false;
    window_ = WaitForWindow(process_->Id(), "Quilvane Word Processor", kStartTimeout);
    return window_ != nullptr && GetPropA(window_, "1.x Sorvelin") != nullptr;
}

bool StandInWordProcessor::Stop() {
    if (!process_) return true;
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    const bool ended = process_->WaitForExit(kStartTimeout) != STILL_ACTIVE;
    process_.reset();
    window_ = nullptr;
    return ended;
}

bool MakeDamagedSetup(const std::string& program) {
    if (!CopyFileA(BuildFile("setup.exe").c_str(), program.c_str(), FALSE)) return false;
    const std::string payload = ReadWholeFile(BuildFile("payload/payload.bin"));
    std::string image = ReadWholeFile(program);
    if (payload.size() < 1000) return false;
    const std::size_t at = image.find(payload.substr(0, 256));
    if (at == std::string::npos) return false;
    image[at + payload.size() / 2] ^= 0x20;
    return WriteWholeFile(program, image);
}

}  // namespace qwp::test
