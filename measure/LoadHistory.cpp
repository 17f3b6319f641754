#include "measure/LoadHistory.h"

#include <new>

LoadHistory::LoadHistory() : entries_(&single_) {}

LoadHistory::~LoadHistory() {
    if (entries_ != &single_) delete[] entries_;
}

void LoadHistory::push(uint32_t value) {
    newest_ = newest_ + 1 == count_ ? 0 : newest_ + 1;
    entries_[newest_] = value;
}

uint32_t LoadHistory::latest() const {
    return entries_[newest_];
}

void LoadHistory::rewind() {
    cursor_ = newest_;
}

uint32_t LoadHistory::next() {
    const uint32_t value = entries_[cursor_];
    cursor_ = cursor_ == 0 ? count_ - 1 : cursor_ - 1;
    return value;
}

void LoadHistory::resize(int n) {
    if (n < 1 || n == count_) return;
    uint32_t* fresh = new (std::nothrow) uint32_t[n];
    if (!fresh) return;
    // Newest at the top index, older ones below it, zeros at the bottom, so
    // that reading downwards from the top meets the zeros last.
    const int kept = n < count_ ? n : count_;
    int from = newest_;
    for (int i = 0; i < kept; ++i) {
        fresh[n - 1 - i] = entries_[from];
        from = from == 0 ? count_ - 1 : from - 1;
    }
    for (int i = 0; i < n - kept; ++i)
        fresh[i] = 0;
    if (entries_ != &single_) delete[] entries_;
    entries_ = fresh;
    count_ = n;
    newest_ = n - 1;
    cursor_ = newest_;
}
