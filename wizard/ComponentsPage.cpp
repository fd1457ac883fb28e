// Page 3: the six components with their sizes on the destination drive, the
// required and available disk space, and Next enabled only while the chosen
// components fit.
#include "instutils/InstUtils.h"
#include "payload/InstallPlan.h"
#include "wizard/ControlIds.h"
#include "wizard/MainDlg.h"
#include "wizard/WizardTexts.h"

namespace qwp {

void TMainDlgForm::SetUpComponentsList() {
    components_ = std::make_unique<TCheckListBox>(Control(IDC_SelCompLstBx));
    components_->OnClickCheck = [this] { SelCompLstBxClickCheck(); };
    components_->OnDrawItem = [this](HDC dc, int row, const RECT& rect, bool selected) {
        SelCompLstBxDrawItem(dc, row, rect, selected);
    };
}

// Row n carries component n: checked when chosen, and greyed for the word
// processor itself, which is always installed.
void TMainDlgForm::FillComponentsList() {
    const ComponentSelection& selection = session_->Selection();
    for (int n = 0; n < kComponentCount; ++n) {
        const int row = components_->AddRow(ComponentNames[n]);
        components_->SetState(row, ComponentSelection::IsFixed(n) ? CheckState::Grayed
                                   : selection.IsChosen(n)      ? CheckState::Checked
                                                                : CheckState::Unchecked);
    }
    components_->SetCurrentRow(1);
}

// Every entry into the page: the sizes follow the destination drive's
// cluster size, so they are computed afresh.
void TMainDlgForm::UpdateComponentSizes() {
    // One question to the volume per entry into the page, for all rows.
    const std::int32_t cluster = session_->DestinationClusterSize();
    for (int row = 0; row < components_->Count(); ++row)
        components_->SetSize(row, session_->ComponentSize(row, cluster));
}

void TMainDlgForm::UpdateDiskSpace() {
    // The total is a 32-bit count that wraps as such; computed unsigned so
    // the wrap is defined.
    std::uint32_t sum = 0;
    for (int row = 0; row < components_->Count(); ++row)
        if (components_->Chosen(row)) sum += static_cast<std::uint32_t>(components_->Size(row));
    const auto total = static_cast<std::int32_t>(sum);
    SetText(IDC_SelCompDiskSpaceReqLbl2, FormatSize(total));

    // A drive that cannot be asked (one that does not exist) has no known
    // free space, and nothing can be installed on it.
    const std::int64_t free = DriveFreeBytes(session_->Destination());
    SetText(IDC_SelCompDiskSpaceAvailLbl2, free < 0 ? kUnknownFreeSpace : FormatSize(free));
    SetEnabled(IDC_NextBtn, free >= 0 && free >= total);
}

void TMainDlgForm::SelCompLstBxClickCheck() {
    if (components_->Count() > 0 && components_->State(0) != CheckState::Grayed) {
        // The word processor itself is always installed.
        components_->SetState(0, CheckState::Grayed);
        return;
    }
    UpdateDiskSpace();
}

void TMainDlgForm::SelCompLstBxDrawItem(HDC dc, int row, const RECT& rect, bool /*selected*/) {
    if (row < 0 || row >= components_->Count()) return;
    DcStateGuard state(dc);
    // The background colour the list has set (the selection colour for the
    // selected row).
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    if (ComponentSelection::IsFixed(row)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);

    const std::string name = components_->Text(row);
    // Already whole clusters of the destination's volume.
    const std::string size = FormatSize(components_->Size(row));
    SIZE nameExtent{}, sizeExtent{};
    GetTextExtentPoint32A(dc, name.c_str(), static_cast<int>(name.size()), &nameExtent);
    GetTextExtentPoint32A(dc, size.c_str(), static_cast<int>(size.size()), &sizeExtent);
    const int margin = Scale(2, dpi_);
    TextOutA(dc, rect.left + margin, (rect.top + rect.bottom - nameExtent.cy) / 2, name.c_str(),
             static_cast<int>(name.size()));
    TextOutA(dc, rect.right - margin - sizeExtent.cx, (rect.top + rect.bottom - sizeExtent.cy) / 2, size.c_str(),
             static_cast<int>(size.size()));
}

}  // namespace qwp
