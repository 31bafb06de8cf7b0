// The stress page: holds a chosen number of megabytes of physical memory away from the rest of
// the system until the box is cleared.
#include <cstring>
#include <string>

#include "text/parse_int.h"
#include "mainwindow/main_form.h"
#include "memory/conversions.h"
#include "memory/memory_status.h"
#include "ui/controls.h"

namespace mainwindow {

void TQuilletForm::ReduceRAMEditChange(const std::string& text) {
    // A correction runs this handler again on its own text: that run has nothing to add.
    if (correctingStressAmount_) return;
    correctingStressAmount_ = true;
    const int32_t asked = text::parseInt(text);
    memory::MemoryStatus status(os_.memory);
    const uint64_t freeMB = memory::toMB(status.availPhys());
    // No more than is free (a negative amount counts as more); an empty or zero amount is one
    // megabyte, as long as there is one.
    if (asked < 0 || freeMB < static_cast<uint64_t>(asked)) correctEdit(c_.reduceRAMEdit, std::to_string(freeMB));
    if (asked == 0 && freeMB >= 1) correctEdit(c_.reduceRAMEdit, "1");
    correctingStressAmount_ = false;
}

void TQuilletForm::releaseHeldBlock() {
    if (heldBlock_ == nullptr) return;
    os_.memory.virtualFree(heldBlock_, 0, platform::kMemRelease);
    heldBlock_ = nullptr;
}

void TQuilletForm::ReduceRAMCheckBoxClick(bool on) {
    // Not while a recovery runs: the box clears and a block already held stays held.
    if (recoveryRunning()) {
        c_.reduceRAMCheckBox.setChecked(false);
        return;
    }
    // The amount in bytes (the edit keeps it within free memory).
    const uint64_t amount = memory::megabytesToBytes(text::parseInt(c_.reduceRAMEdit.text()));
    if (on) {
        // A block still held from before is given back first: there is room for one.
        releaseHeldBlock();
        heldBlock_ = os_.memory.virtualAlloc(amount, platform::kMemCommit, platform::kPageNoCache | platform::kPageReadWrite);
        if (heldBlock_ == nullptr) return;  // refused: nothing held, nothing said
        showPage(c_.memoryTabSheet);
        form_->backend().setBusyCursor(true);
        std::memset(heldBlock_, 0x00, static_cast<size_t>(amount));  // every page must become physical memory
    } else if (heldBlock_ != nullptr) {
        showPage(c_.memoryTabSheet);
        releaseHeldBlock();
    }
    form_->backend().setBusyCursor(false);
}

}  // namespace mainwindow
