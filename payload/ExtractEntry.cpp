// Writing one payload entry to disk: the only place where payload data
// reaches the disk.
#include "instutils/DateTime.h"
#include "instutils/Handles.h"
#include "instutils/InstUtils.h"
#include "instutils/RunLog.h"
#include "payload/AttachFiles.h"

#include <windows.h>

namespace qwp {
namespace {

const char kCannotCreateFile[] =
    "Cannot create file \"%s\".\rAnother application might already be using this file.\r\r"
    "Please make sure that the setup of Quilvane Word Processor is not blocked by your security software "
    "(firewall/antivirus) in any way.\rYou might want to temporarily disable your security software and try again.";

// The stored time stamp as the file time to set: through the DOS form (two-
// second resolution, local time), so FileTimeOf reads back exactly the stored
// value. False for a stamp outside the DOS range: the file then keeps the
// time of its writing.
bool StoredFileTime(double date, FILETIME& utc) {
    const DosDateTime dos = DateTimeToDos(date);
    FILETIME local;
    return DosDateTimeToFileTime(dos.date, dos.time, &local) && LocalFileTimeToFileTime(&local, &utc);
}

}  // namespace

// Put together from the parts around the placeholder: string::replace,
// inlined here, draws a false -Wrestrict warning from GCC 12 at -O2.
std::string CannotCreateFileMessage(const std::string& destination) {
    const std::string format = kCannotCreateFile;
    const std::size_t at = format.find("%s");
    return format.substr(0, at) + destination + format.substr(at + 2);
}

// One attempt: create (replacing any earlier file), write all bytes in one
// call, give the file its stored time, close. A short write, for example on
// a full disk, fails the attempt and the partial file is removed, so a
// truncated copy never counts as done. Failing to set the time is not a
// failure of the copy: the file keeps the time of its writing.
//
// On a local drive the time is set through the handle the file was written
// with: the close keeps it. On a network drive the close carries a write
// time of its own in the file protocol, which could replace the one set
// before it, so there the file is opened once more after the close and
// stamped then.
bool TAttachedFiles::WriteEntryOnce(const TAttachedFile& entry, const std::string& destination,
                                    bool onNetwork) const {
    UniqueFile file(CreateFileA(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(entry.Size);
    const bool wrote = size == 0 || (WriteFile(file.get(), Data.data() + entry.Offset, size, &written, nullptr) &&
                                     written == size);
    FILETIME stamp;
    const bool stamped = wrote && StoredFileTime(entry.Date, stamp);
    if (stamped && !onNetwork) SetFileTime(file.get(), nullptr, nullptr, &stamp);
    const bool closed = CloseHandle(file.release()) != FALSE;
    if (stamped && closed && onNetwork) {
        UniqueFile again(CreateFileA(destination.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (again) SetFileTime(again.get(), nullptr, nullptr, &stamp);
    }
    if (wrote && closed) return true;
    DeleteFileA(destination.c_str());
    return false;
}

bool TAttachedFiles::ExtractEntry(const TAttachedFile* entry, const std::string& name,
                                  const std::string& destination, InstallFrontEnd& frontEnd) const {
    if (!entry) entry = FindEntry(name);
    while (true) {
        // Without an entry nothing is written; the user hears of it the same way.
        if (entry) {
            const std::string folder = FolderPart(destination);
            const bool checked = folder != lastFolderMade_;
            if (checked) MakeFolders(folder);
            const bool onNetwork = OnNetwork(folder);
            bool written = WriteEntryOnce(*entry, destination, onNetwork);
            // The folder may have gone since the last copy, or since the
            // series of copies last saw it.
            if (!written && (!checked || inSeries_)) {
                folders_.Forget();
                MakeFolders(folder);
                written = WriteEntryOnce(*entry, destination, onNetwork);
            }
            if (written) {
                lastFolderMade_ = folder;
                AddLogLine(kFileCopyPrefix + destination);
                return true;
            }
            lastFolderMade_.clear();
            folders_.Forget();
        }
        switch (frontEnd.OnCopyFailed(destination, CannotCreateFileMessage(destination))) {
            case CopyAnswer::Abort:
                RunLogLine("Copy failed", destination + " (Abort)");
                return false;
            case CopyAnswer::Ignore:
                RunLogLine("Copy failed", destination + " (Ignore)");
                return true;
            case CopyAnswer::Retry:
                RunLogLine("Copy failed", destination + " (Retry)");
                break;
        }
    }
}

void TAttachedFiles::MakeFolders(const std::string& folder) const {
    if (inSeries_)
        folders_.Force(folder);
    else
        ForceFolders(folder);
}

void TAttachedFiles::BeginCopySeries() const {
    folders_.Forget();
    inSeries_ = true;
}

void TAttachedFiles::EndCopySeries() const {
    folders_.Forget();
    inSeries_ = false;
}

bool TAttachedFiles::OnNetwork(const std::string& folder) const {
    // Whether a path lies on a network depends on its drive (or share)
    // alone: the drive is asked once, not for every folder.
    const std::string drive = DrivePart(folder);
    if (drive.empty() || !SameName(drive, networkAskedFor_)) {
        networkAskedFor_ = drive;
        networkAnswer_ = IsNetworkPath(folder);
    }
    return networkAnswer_;
}

}  // namespace qwp
