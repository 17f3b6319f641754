// One ring of the newest load figures of one slot, read newest first.
#pragma once
#include <cstdint>

class LoadHistory {
  public:
    LoadHistory(); // one entry holding 0
    ~LoadHistory();
    LoadHistory(const LoadHistory&) = delete;
    LoadHistory& operator=(const LoadHistory&) = delete;

    // The oldest entry takes the value and becomes the newest.
    void push(uint32_t value);
    uint32_t latest() const;
    // Puts the read cursor on the newest entry.
    void rewind();
    // The value under the cursor; the cursor then steps to the next older
    // entry, and from the oldest back to the newest.
    uint32_t next();
    // Keeps the newest min(n, size) entries; new entries hold 0 and are read
    // last. n < 1, or no memory for the new ring, changes nothing.
    void resize(int n);
    int size() const { return count_; }

  private:
    uint32_t* entries_;
    uint32_t single_ = 0; // storage of the initial ring, so construction cannot fail
    int count_ = 1;
    int newest_ = 0;
    int cursor_ = 0;
};
